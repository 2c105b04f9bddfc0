#include "school/schoolfolder.h"

#include "analysis/scorecheck.h"
#include "documents/analysissheet.h"
#include "files/inifile.h"
#include "files/statisticsfile.h"

#include <QDir>

SchoolFolder::SchoolFolder(const QString &root, const QStringList &classLabels,
                           const QList<qint32> &pupilCounts)
    : m_paths{root, classLabels}, m_pupilCounts(pupilCounts)
{}

WriteStatus SchoolFolder::write(const QString &path, const QByteArray &bytes) const
{
    // Without a folder (an analysis shown on its own) there is no folder to keep the file in.
    if (root().isEmpty())
        return writeFileAtomically(path, bytes).status;
    return writeFileInside(root(), path, bytes).status;
}

ReadStatus SchoolFolder::read(const QString &path, QByteArray *bytes, qint64 limit) const
{
    return readFileInside(root(), path, bytes, limit);
}

WriteStatus SchoolFolder::writeSchoolFile(const SchoolSetup &setup) const
{
    return write(m_paths.file(schoolfiles::setup), schoolFileBytes(setup));
}

SchoolFileReader SchoolFolder::readSchoolFile(ReadStatus *status) const
{
    // Twenty-five classes with the longest labels fit many times over.
    constexpr qint64 largestSchoolFile = 1024 * 1024;
    QByteArray bytes;
    *status = read(m_paths.file(schoolfiles::setup), &bytes, largestSchoolFile);
    if (*status != ReadStatus::Ok)
        bytes.clear();
    return SchoolFileReader(IniFile::fromBytes(bytes));
}

WriteStatus SchoolFolder::writeGrid(const QString &path, const GridRows &rows) const
{
    return write(path, gridFileBytes(rows));
}

std::optional<GridRows> SchoolFolder::readGrid(const QString &path, qsizetype rows, qsizetype columns,
                                               ReadStatus *status) const
{
    const GridLimits limits = gridLimitsFor(rows, columns);
    QByteArray bytes;
    *status = read(path, &bytes, limits.bytes);
    if (*status != ReadStatus::Ok)
        return std::nullopt;
    std::optional<GridRows> parsed = parseGridFileWithin(bytes, limits);
    if (!parsed)
        *status = ReadStatus::Failed;
    return parsed;
}

WriteStatus SchoolFolder::writeReport(const QString &path, const ReportContent &content) const
{
    return write(path, reportBytes(content));
}

WriteStatus SchoolFolder::writeSpreadsheet(const QString &path, const QList<Sheet> &sheets) const
{
    QString problem;
    const std::optional<QByteArray> bytes = xlsxBytes(sheets, &problem);
    if (!bytes)
        return WriteStatus::Failed;
    return write(path, *bytes);
}

WriteStatus SchoolFolder::writeStatistics(const QString &path, const StatisticsLines &lines,
                                          int valueCount) const
{
    const int count = std::min<int>(valueCount, int(lines.averages.size()));
    return write(path, statisticsFileBytes(lines.averages.mid(0, count), lines.facilities.mid(0, count)));
}

std::optional<GridRows> SchoolFolder::readStatistics(const QString &path, qsizetype columns) const
{
    QByteArray bytes;
    if (read(path, &bytes, statisticsLimitsFor(columns).bytes) != ReadStatus::Ok)
        return std::nullopt;
    return parseStatisticsFile(bytes, columns);
}

std::optional<ClassResults> SchoolFolder::classResults(int classIndex, const TestDefinition &test,
                                                       QString *note) const
{
    const QString label = classLabels().value(classIndex);
    const qint32 pupils = m_pupilCounts.value(classIndex);
    ReadStatus status = ReadStatus::Ok;
    const std::optional<GridRows> rows = readGrid(m_paths.classFile(classIndex, schoolfiles::answers),
                                                  pupils + 1, test.taskCount + 3, &status);
    switch (status) {
    case ReadStatus::OutsideSchool:
        *note = QStringLiteral("Plik wyników klasy „%1” jest dowiązaniem symbolicznym (albo leży w takim "
                               "katalogu), które prowadzi poza katalog szkoły; klasa została pominięta.")
                    .arg(label);
        return std::nullopt;
    case ReadStatus::Missing:
        *note = QStringLiteral("Klasa „%1” nie ma jeszcze zapisanych wyników. Wpisz je na stronie tej klasy "
                               "i naciśnij „Oblicz” lub „Zapisz”.")
                    .arg(label);
        return std::nullopt;
    case ReadStatus::Failed:
        *note =
            QStringLiteral("Nie mogę odczytać pliku wyników klasy „%1”; klasa została pominięta.").arg(label);
        return std::nullopt;
    case ReadStatus::Ok:
        break;
    }
    return classResultsFromGrid(*rows, label, pupils, test, note);
}

QList<ClassSheetInput> SchoolFolder::classSheetInputs(const TestDefinition &test) const
{
    QList<ClassSheetInput> classes;
    for (int i = 0; i < classCount(); ++i) {
        const qint32 pupils = m_pupilCounts.value(i);
        ReadStatus status = ReadStatus::Ok;
        if (const std::optional<GridRows> rows =
                readGrid(m_paths.classFile(i, schoolfiles::answers), pupils + 1, test.taskCount + 3, &status))
            classes.append({classLabels()[i], rows->mid(0, pupils + 1)});
    }
    return classes;
}

std::optional<StaffMeetingAnalysis> SchoolFolder::analysis(int classIndex, const TestDefinition &test,
                                                           const QString &setupIniPath, QStringList *problems,
                                                           bool rankInSchool) const
{
    StaffMeetingAnalysis analysis;
    analysis.settings = loadAnalysisSettingsFrom(setupIniPath);
    *problems = analysis.settings.problems;
    if (classIndex >= 0) {
        QString note;
        const std::optional<ClassResults> results = classResults(classIndex, test, &note);
        if (!results) {
            problems->append(note);
            return std::nullopt;
        }
        analysis.classes = {*results};
        analysis.report = analyseClass(*results, test, analysis.settings);
    } else {
        QStringList notes;
        for (int i = 0; i < classCount(); ++i) {
            QString classNote;
            if (const std::optional<ClassResults> results = classResults(i, test, &classNote))
                analysis.classes.append(*results);
            else
                notes.append(classNote);
        }
        analysis.report = analyseSchool(analysis.classes, notes, test, analysis.settings);
    }
    // The school's own figures, with Setup.ini's for what the school has not entered.
    QByteArray bytes;
    read(m_paths.file(schoolfiles::comparison), &bytes, IniFile::maxFileSize);
    analysis.comparison =
        readComparison(IniFile::fromBytes(bytes), IniFile::load(setupIniPath), test, problems);
    // A class's pupils are ranked in the whole school too, among every class that can be read.
    QList<ClassResults> school;
    for (int i = 0; rankInSchool && classIndex >= 0 && i < classCount(); ++i) {
        QString classNote;
        if (const std::optional<ClassResults> results = classResults(i, test, &classNote))
            school.append(*results);
    }
    analysis.schoolClasses = school;
    analysis.figures = staffMeetingFigures(analysis.report.overall, analysis.classes, test,
                                           analysis.settings.pupilStanineBounds, analysis.comparison,
                                           analysis.settings.comparisonThreshold, school);
    return analysis;
}

QList<Sheet> SchoolFolder::analysisSheets(int classIndex, const TestDefinition &test,
                                          const QString &setupIniPath) const
{
    QStringList problems;
    // The class's own ranks only: ranking its pupils in the school would read every class's file on
    // every Save; the school's file ranks every pupil of the school.
    const std::optional<StaffMeetingAnalysis> made =
        analysis(classIndex, test, setupIniPath, &problems, false);
    if (!made)
        return {analysisSheetNote(problems.value(problems.size() - 1))};
    return {analysisSheet(made->report, made->figures, test, made->settings)};
}

QString outsideSchoolMessage(const QString &path, const QString &root, bool writing)
{
    return (writing ? QStringLiteral("Nie mogę zapisać pliku:\n%1\nPlik albo jego katalog jest dowiązaniem "
                                     "symbolicznym, które prowadzi poza katalog szkoły (%2). Dla "
                                     "bezpieczeństwa program niczego nie zapisał.")
                    : QStringLiteral("Nie mogę odczytać pliku:\n%1\nPlik albo jego katalog jest dowiązaniem "
                                     "symbolicznym, które prowadzi poza katalog szkoły (%2). Dla "
                                     "bezpieczeństwa program go nie odczytał."))
        .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(root));
}
