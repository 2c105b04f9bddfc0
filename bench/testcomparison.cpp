// How long "Porównanie testów" takes to open on five schools of 25 classes of 40 pupils, each
// folder read with its own test of 60 tasks.
#include "bench/benchsupport.h"

#include "app/sondarykapplication.h"
#include "core/cp1250.h"
#include "workbook/tfporownanietestow.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

using namespace bench;

namespace {

constexpr int schools = 5;
constexpr int classes = 25;

void makeSchool(const QString &folder, int school)
{
    QDir().mkpath(folder);
    TestDefinition test = largestTest();
    test.testName = QStringLiteral("Test %1").arg(school + 1);
    test.testDate = QStringLiteral("2026-0%1-15").arg(school + 1);
    writeFile(folder + QStringLiteral("/Setup.ini"), testDefinitionFileBytes(test));
    QString ini = QStringLiteral("[Ustawienia]\r\nLiczbaKlas=%1\r\n").arg(classes);
    for (int i = 1; i <= classes; ++i) {
        const QString label = QStringLiteral("Klasa %1").arg(i);
        ini += QStringLiteral("\r\n[Klasa%1]\r\nEtykieta=%2\r\nLiczbaUczniow=%3\r\n")
                   .arg(i)
                   .arg(label)
                   .arg(pupils);
        QDir().mkpath(folder + u'/' + label);
        writeFile(folder + u'/' + label + QStringLiteral("/Odpowiedzi.tmp"), answersFile(school));
    }
    writeFile(folder + QStringLiteral("/Szkola.ini"), cp1250::encode(ini));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    SondarykApplication app(argc, argv);
    printMessages();
    const int rounds = argc >= 2 ? std::max(1, atoi(argv[1])) : 10;

    QTemporaryDir location;
    QStringList folders;
    for (int s = 0; s < schools; ++s) {
        folders.append(location.filePath(QStringLiteral("Szkola%1").arg(s + 1)));
        makeSchool(folders.last(), s);
    }

    std::printf("Porównanie testów, %d schools of %d classes of %d pupils, %d tasks (%d rounds)\n", schools,
                classes, pupils, tasks, rounds);
    report("window opened on five schools (each read with its own test)",
           timeIt(
               rounds, [] {},
               [&] {
                   TfPorownanieTestow window;
                   if (window.addSchools(folders) != schools)
                       qFatal("a school was not read");
                   window.show();
                   QCoreApplication::processEvents();
               }),
           300);
    return 0;
}
