// What the benchmarks share: the largest test a school meets, files written without checks of
// their own, and the timing and printing of each step.
#pragma once

#include "analysis/testdefinition.h"
#include "ui/messages.h"
#include "ui/seams.h"
#include "ui/stringgrid.h"
#include "workbook/tfwyniki.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace bench {

// The usual size; bench_workbook takes others on its command line.
inline int pupils = 40;
inline int tasks = 60;
// --keys: every task two true/false statements keyed "PF", a point for each, typed as letters.
inline bool keyed = false;
// --requirements N: N requirements, a tenth of them general; every task checks two specific ones and
// their general ones, so that every requirement has tasks.
inline int requirements = 0;

inline void addRequirements(TestDefinition *test)
{
    const int general = std::max(1, requirements / 10);
    const int specific = std::max(1, requirements - general);
    for (int g = 0; g < general; ++g)
        test->requirements.append({QStringLiteral("G%1").arg(g + 1),
                                   QStringLiteral("Wymaganie ogólne numer %1 w obszarze testu").arg(g + 1),
                                   {}});
    for (int s = 0; s < requirements - general; ++s)
        test->requirements.append(
            {QStringLiteral("S%1").arg(s + 1),
             QStringLiteral("Uczeń wykonuje czynność opisaną w wymaganiu szczegółowym %1").arg(s + 1),
             QStringLiteral("G%1").arg(s % general + 1)});
    for (int t = 0; t < test->taskCount; ++t) {
        QStringList codes;
        for (const int s : {t % specific, (t * 7 + 3) % specific}) {
            if (s >= requirements - general)
                continue;
            codes.append(QStringLiteral("G%1").arg(s % general + 1));
            codes.append(QStringLiteral("S%1").arg(s + 1));
        }
        codes.removeDuplicates();
        test->taskRequirements.append(codes);
    }
}

// Tasks of 2 points in the five standards in turn: for 60 tasks five standards of 24 points,
// 120 points in all.
inline TestDefinition largestTest()
{
    TestDefinition test;
    test.taskCount = tasks;
    test.maxTotalPoints = 2 * tasks;
    for (int t = 0; t < tasks; ++t) {
        test.taskLabels.append(QStringLiteral("Zad.%1").arg(t + 1));
        test.taskStandards.append(t % 5 + 1);
        test.taskMaxPoints.append(2);
        test.taskClosed.append(true);
        test.taskKeys.append(keyed ? TaskKey{QStringLiteral("PF"), QStringLiteral("PF"), true} : TaskKey{});
    }
    for (int s = 0; s < 5; ++s) {
        test.standardMaxPoints.append(2 * ((tasks - s + 4) / 5));
        test.standardAbbreviations.append(QStringLiteral("St.%1").arg(s + 1));
        test.standardDescriptions.append(QStringLiteral("Standard %1").arg(s + 1));
    }
    if (requirements > 0)
        addRequirements(&test);
    return test;
}

// A class's answers file of the test's size, every pupil but each ninth present; shift changes
// the points, so that two schools differ.
inline QByteArray answersFile(int shift = 0)
{
    QByteArray bytes = "L.p.;Kod ucznia;Ob.;";
    for (int t = 1; t <= tasks; ++t)
        bytes += "Zad." + QByteArray::number(t) + ';';
    for (int p = 1; p <= pupils; ++p) {
        bytes += "\r\n" + QByteArray::number(p) + ";U" + QByteArray::number(p) + (p % 9 ? ";T;" : ";N;");
        for (int t = 0; t < tasks; ++t)
            bytes += QByteArray::number((p + t + shift) % 3) + ';';
    }
    return bytes;
}

// The letters giving answersFile's points under the "PF" keys: 0 "FP", 1 "PP", 2 "PF".
inline QByteArray choicesFile(int shift = 0)
{
    static const char *const letters[] = {"FP", "PP", "PF"};
    QByteArray bytes;
    for (int p = 1; p <= pupils; ++p) {
        bytes += 'U' + QByteArray::number(p);
        for (int t = 0; t < tasks; ++t)
            bytes += QByteArray(";") + letters[(p + t + shift) % 3];
        bytes += "\r\n";
    }
    return bytes;
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Reports the figures in own instead of ms when given (a step timed inside the round).
inline void report(const char *what, QList<double> ms, double target, const QList<double> *own = nullptr)
{
    if (own && !own->isEmpty())
        ms = *own;
    std::sort(ms.begin(), ms.end());
    if (target > 0)
        std::printf("  %-60s median %7.2f ms, worst %7.2f ms (target: under %.0f ms)\n", what,
                    ms[ms.size() / 2], ms.back(), target);
    else
        std::printf("  %-60s median %7.2f ms, worst %7.2f ms (no target at this size)\n", what,
                    ms[ms.size() / 2], ms.back());
}

// The process's peak resident memory so far, in MiB.
inline double peakMemoryMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Milliseconds of each round of step; setUp runs before each round, untimed.
inline QList<double> timeIt(int rounds, const std::function<void()> &setUp, const std::function<void()> &step)
{
    QList<double> ms;
    for (int i = 0; i < rounds; ++i) {
        setUp();
        QElapsedTimer timer;
        timer.start();
        step();
        ms.append(double(timer.nsecsElapsed()) / 1e6);
    }
    return ms;
}

// Messages go to the error stream, never into a box that would wait for a click; those that
// contain quiet (confirmations the benchmark expects) are not shown at all.
inline void printMessages(const QString &quiet = QString())
{
    messages::setPresenter([quiet](const messages::Message &message) {
        if (quiet.isEmpty() || message.kind != messages::Kind::Plain || !message.text.contains(quiet))
            std::fprintf(stderr, "message: %s\n", qPrintable(message.text));
        return QMessageBox::Ok;
    });
}

// Sets up, in location, a school of the largest test with classes of 40 pupils each, as a teacher
// does on the setup page.
inline void setUpSchool(TfWyniki &workbook, const QString &location, int classes)
{
    ui::folderChooser = [location](QWidget *, const QString &, const QString &) { return location; };
    workbook.session().useNewSchoolTest(largestTest());
    workbook.findChild<QPushButton *>(QStringLiteral("bKatalog"))->click();
    workbook.findChild<QLineEdit *>(QStringLiteral("eLiczbaKlas"))->setText(QString::number(classes));
    for (int i = 1; i <= classes; ++i)
        workbook.tabela1()->setCell(2, i, QString::number(pupils));
    workbook.findChild<QLineEdit *>(QStringLiteral("eNazwaKatalogu"))->setText(QStringLiteral("Szkola"));
    workbook.findChild<QPushButton *>(QStringLiteral("bAkceptuj"))->click();
    if (workbook.pageCount() != classes + 2)
        qFatal("the school was not set up");
}

} // namespace bench
