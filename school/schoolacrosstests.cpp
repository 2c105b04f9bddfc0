#include "school/schoolacrosstests.h"

#include "school/schoolfolder.h"

#include "analysis/analysissettings.h"
#include "analysis/comparison.h"
#include "analysis/testdefinition.h"
#include "core/numbers.h"
#include "files/inifile.h"
#include "files/savefile.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

std::optional<SchoolAtTest> readSchoolAtTest(const QString &folder, QString *why,
                                             const ProgressReport &progress)
{
    const auto refuse = [&](const QString &reason) {
        *why = QStringLiteral("Katalog „%1”: %2").arg(native(folder), reason);
        return std::nullopt;
    };
    const SchoolFolder bare(folder, {}, {});
    if (!QFileInfo::exists(bare.paths().file(schoolfiles::setup)))
        return refuse(QStringLiteral("nie ma tu szkoły (brak pliku Szkola.ini)."));
    ReadStatus status = ReadStatus::Ok;
    const SchoolFileReader reader = bare.readSchoolFile(&status);
    if (status != ReadStatus::Ok)
        return refuse(QStringLiteral("nie mogę odczytać pliku Szkola.ini."));
    const int classCount = reader.classCount();
    if (classCount < 1 || classCount > 25)
        return refuse(QStringLiteral("plik Szkola.ini jest uszkodzony (liczba klas %1).").arg(classCount));
    QStringList labels;
    QList<qint32> counts;
    for (int n = 1; n <= classCount; ++n) {
        labels.append(reader.label(n));
        const qint32 pupils = parseInteger(reader.pupilsText(n)).value_or(0);
        if (pupils < 1 || pupils > 999)
            return refuse(
                QStringLiteral("plik Szkola.ini jest uszkodzony (liczba uczniów klasy nr %1).").arg(n));
        counts.append(pupils);
    }

    const SchoolFolder school(folder, labels, counts);
    const std::optional<QByteArray> own = school.ownTestBytes(&status);
    if (!own)
        return refuse(status == ReadStatus::Missing
                          ? QStringLiteral("szkoła nie ma własnej definicji testu (Setup.ini). Otwórz ją raz "
                                           "w zeszycie wyników („Otwórz szkołę…”), a program ją zapisze.")
                          : QStringLiteral("nie mogę odczytać pliku Setup.ini szkoły."));
    const IniFile testIni = IniFile::fromBytes(*own);
    const TestDefinition test = loadTestDefinition(testIni);

    QList<ClassResults> classes;
    QStringList notes;
    for (int i = 0; i < school.classCount(); ++i) {
        reportProgress(progress, i, school.classCount());
        QString note;
        if (const std::optional<ClassResults> results = school.classResults(i, test, &note))
            classes.append(*results);
        else
            notes.append(note);
    }
    if (classes.isEmpty())
        return refuse(QStringLiteral("żadna klasa nie ma zapisanych wyników tego testu."));

    const AnalysisSettings settings = loadAnalysisSettingsFrom(school.testFile());
    QStringList problems;
    QByteArray comparisonBytes;
    school.read(school.paths().file(schoolfiles::comparison), &comparisonBytes, IniFile::maxFileSize);
    const ComparisonFigures comparison =
        readComparison(IniFile::fromBytes(comparisonBytes), testIni, test, &problems);
    return schoolAtTest(QDir::cleanPath(folder), classes, notes, test, settings, comparison);
}

QString testComparisonSpreadsheetPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("Porównanie testów.xlsx"));
}

QString testComparisonPdfPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("Porównanie testów.pdf"));
}

QStringList writeTestComparison(const QString &folder, const QByteArray &xlsx, const QByteArray &pdf)
{
    QStringList notWritten;
    for (const auto &[path, bytes] : {std::pair{testComparisonSpreadsheetPath(folder), &xlsx},
                                      std::pair{testComparisonPdfPath(folder), &pdf}}) {
        if (bytes->isEmpty() || !writeFileAtomically(path, *bytes))
            notWritten.append(QFileInfo(path).fileName());
    }
    return notWritten;
}
