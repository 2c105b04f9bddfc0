#include "school/schoolfolder.h"

#include "analysis/scorecheck.h"
#include "documents/analysissheet.h"
#include "files/choicesfile.h"
#include "files/inifile.h"
#include "files/statisticsfile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <exception>
#include <stop_token>
#include <thread>
#include <vector>

namespace {

FileMisfit misfitOf(const QString &path, const GridFit &fit, qsizetype columns, qsizetype firstTaskColumn)
{
    FileMisfit misfit;
    misfit.path = path;
    if (fit.widest != columns)
        misfit.heldTasks = fit.widest - firstTaskColumn;
    else if (fit.narrowest != columns)
        misfit.heldTasks = fit.narrowest - firstTaskColumn;
    misfit.rowsBeyond = fit.rowsBeyond;
    return misfit;
}

} // namespace

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
    // Figures made from a file kept under another test would be plainly wrong.
    const GridFit fit = gridFit(*rows, pupils + 1, test.taskCount + 3);
    if (!fit.fits) {
        const FileMisfit misfit =
            misfitOf(m_paths.classFile(classIndex, schoolfiles::answers), fit, test.taskCount + 3, 3);
        *note = misfitMessage(misfit, test) + QStringLiteral(" Klasa „%1” została pominięta.").arg(label);
        return std::nullopt;
    }
    std::optional<ClassResults> results = classResultsFromGrid(*rows, label, pupils, test, note);
    if (results && test.hasKeys()) {
        QString problem;
        if (const std::optional<ClassChoices> choices = classChoices(classIndex, test, *rows, &problem))
            for (qsizetype p = 0; p < results->pupils.size() && p < choices->size(); ++p)
                results->pupils[p].choices = choices->at(p);
        else if (!problem.isEmpty())
            *note = problem;
    }
    return results;
}

std::optional<ClassChoices> SchoolFolder::classChoices(int classIndex, const TestDefinition &test,
                                                       const GridRows &pointRows, QString *problem) const
{
    const QString label = classLabels().value(classIndex);
    const qint32 pupils = m_pupilCounts.value(classIndex);
    const QString path = m_paths.classFile(classIndex, schoolfiles::choices);
    const GridLimits limits = gridLimitsFor(pupils, test.taskCount + 1);
    QByteArray bytes;
    switch (read(path, &bytes, limits.bytes)) {
    case ReadStatus::Missing:
        return std::nullopt;
    case ReadStatus::OutsideSchool:
        *problem = QStringLiteral("Plik wybranych odpowiedzi klasy „%1” (Wybory.tmp) jest dowiązaniem "
                                  "symbolicznym, które prowadzi poza katalog szkoły; litery odpowiedzi "
                                  "pominięto, punkty zostają bez zmian.")
                       .arg(label);
        return std::nullopt;
    case ReadStatus::Failed:
        *problem = QStringLiteral("Nie mogę odczytać pliku wybranych odpowiedzi klasy „%1” (Wybory.tmp); "
                                  "litery odpowiedzi pominięto, punkty zostają bez zmian.")
                       .arg(label);
        return std::nullopt;
    case ReadStatus::Ok:
        break;
    }
    const std::optional<ChoicesFile> file = parseChoicesFile(bytes, limits);
    QString reason = QStringLiteral("plik jest za duży");
    std::optional<ClassChoices> choices;
    if (file)
        choices = readClassChoices(file->lines, pointRows, pupils, test, &reason);
    if (!choices)
        *problem =
            QStringLiteral("Plik wybranych odpowiedzi klasy „%1” (Wybory.tmp) jest uszkodzony albo nie "
                           "pasuje do zapisanych punktów (%2). Litery odpowiedzi pominięto, punkty "
                           "zostają bez zmian.")
                .arg(label, reason);
    return choices;
}

QList<ClassSheetInput> SchoolFolder::classSheetInputs(const TestDefinition &test,
                                                      const ProgressReport &progress) const
{
    QList<ClassSheetInput> classes;
    for (int i = 0; i < classCount(); ++i) {
        const qint32 pupils = m_pupilCounts.value(i);
        ReadStatus status = ReadStatus::Ok;
        std::optional<GridRows> rows =
            readGrid(m_paths.classFile(i, schoolfiles::answers), pupils + 1, test.taskCount + 3, &status);
        if (rows && gridFit(*rows, pupils + 1, test.taskCount + 3).fits) {
            // Lines beyond the class's pupils hold nothing (gridFit says so); the rest is kept as read.
            if (rows->size() > pupils + 1)
                rows->resize(pupils + 1);
            classes.append({classLabels()[i], std::move(*rows)});
        }
        reportProgress(progress, i + 1, classCount());
    }
    return classes;
}

QList<std::optional<ClassResults>> SchoolFolder::allClassResults(const TestDefinition &test,
                                                                 QStringList *notes,
                                                                 const std::function<void()> &fileRead) const
{
    const int count = classCount();
    const auto size = static_cast<std::size_t>(std::max(count, 0));
    std::vector<std::optional<ClassResults>> results(size);
    std::vector<QString> classNotes(size);
    std::vector<std::exception_ptr> failures(size);
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    const auto readOne = [&](int i) {
        try {
            results[std::size_t(i)] = classResults(i, test, &classNotes[std::size_t(i)]);
        } catch (...) {
            failures[std::size_t(i)] = std::current_exception();
        }
        ++done;
    };
    {
        // The helpers take classes until none is left; this thread reads too and tells of the
        // progress. Leaving the block (also by an exception) stops and joins them.
        const auto helper = [&](const std::stop_token &stop) {
            for (int i = 0; !stop.stop_requested() && (i = next++) < count;)
                readOne(i);
        };
        const int helpers = std::min(int(std::thread::hardware_concurrency()) - 1, std::min(count - 1, 7));
        std::vector<std::jthread> threads;
        for (int h = 0; h < helpers; ++h)
            threads.emplace_back(helper);
        int told = 0;
        for (int i; (i = next++) < count;) {
            readOne(i);
            for (; told < done; ++told)
                fileRead();
        }
        for (std::jthread &thread : threads)
            thread.join();
        for (; told < count; ++told)
            fileRead();
    }
    QList<std::optional<ClassResults>> ordered;
    ordered.reserve(count);
    for (std::size_t i = 0; i < size; ++i) {
        if (failures[i])
            std::rethrow_exception(failures[i]);
        if (!classNotes[i].isEmpty())
            notes->append(classNotes[i]);
        ordered.append(std::move(results[i]));
    }
    return ordered;
}

std::optional<StaffMeetingAnalysis> SchoolFolder::analysis(int classIndex, const TestDefinition &test,
                                                           const QString &setupIniPath, QStringList *problems,
                                                           bool rankInSchool,
                                                           const ProgressReport &progress) const
{
    // Files read: the class's own, then every class's for the ranks in the school; or every class's.
    const bool rankedInSchool = rankInSchool && classIndex >= 0;
    const qint64 filesToRead = classIndex < 0 ? classCount() : 1 + (rankedInSchool ? classCount() : 0);
    qint64 filesRead = 0;
    const auto fileRead = [&] { reportProgress(progress, ++filesRead, filesToRead); };
    StaffMeetingAnalysis analysis;
    analysis.settings = loadAnalysisSettingsFrom(setupIniPath);
    *problems = analysis.settings.problems;
    if (classIndex >= 0) {
        QString note;
        const std::optional<ClassResults> results = classResults(classIndex, test, &note);
        fileRead();
        if (!results) {
            problems->append(note);
            return std::nullopt;
        }
        // A damaged Wybory.tmp: the points are analysed, the letters are not.
        if (!note.isEmpty())
            problems->append(note);
        analysis.classes = {*results};
        analysis.report = analyseClass(*results, test, analysis.settings);
    } else {
        QStringList notes;
        for (std::optional<ClassResults> &results : allClassResults(test, &notes, fileRead))
            if (results)
                analysis.classes.append(std::move(*results));
        analysis.report = analyseSchool(analysis.classes, notes, test, analysis.settings);
    }
    // The school's own figures, with Setup.ini's for what the school has not entered.
    QByteArray bytes;
    read(m_paths.file(schoolfiles::comparison), &bytes, IniFile::maxFileSize);
    analysis.comparison =
        readComparison(IniFile::fromBytes(bytes), IniFile::load(setupIniPath), test, problems);
    // A class's pupils are ranked in the whole school too, among every class that can be read.
    QList<ClassResults> school;
    if (rankedInSchool) {
        QStringList notes;
        for (std::optional<ClassResults> &results : allClassResults(test, &notes, fileRead))
            if (results)
                school.append(std::move(*results));
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

std::optional<ReportContent> SchoolFolder::readReport(const QString &path, qsizetype rows,
                                                      qsizetype columns) const
{
    // Two grids, each read as generously as a grid file of their size.
    const qint64 limit = std::min<qint64>(maxReadSize, 2 * gridLimitsFor(rows, columns).bytes);
    QByteArray bytes;
    if (read(path, &bytes, limit) != ReadStatus::Ok)
        return std::nullopt;
    return parseReport(bytes);
}

QStringList SchoolFolder::refreshAnalysisSheets(const TestDefinition &test,
                                                const ProgressReport &progress) const
{
    QStringList notWritten;
    // An analysis shown without a folder has no files to refresh.
    if (root().isEmpty())
        return notWritten;
    const QString setupIni = testFile();
    const qsizetype columns = test.taskCount + 3;
    // Every file is made before any is written, so that a step stopped halfway leaves them all as
    // they were.
    QList<std::pair<QString, std::optional<QByteArray>>> files;
    const auto make = [&](const QString &path, const QList<Sheet> &sheets, const ProgressReport &part = {}) {
        files.append({path, xlsxBytes(sheets, nullptr, part)});
    };
    // The classes' files are small; the school's, with every pupil, takes the most.
    const ProgressReport classesPart = progressPart(progress, 0, 400);
    for (int i = 0; i < classCount(); ++i) {
        reportProgress(classesPart, i, classCount());
        const QString spreadsheet = m_paths.classFile(i, schoolfiles::classSpreadsheet);
        if (!QFileInfo::exists(spreadsheet))
            continue;
        const std::optional<ReportContent> report =
            readReport(m_paths.classFile(i, schoolfiles::classReport), m_pupilCounts.value(i) + 1, columns);
        if (report)
            make(spreadsheet, classWorkbook(*report) + analysisSheets(i, test, setupIni));
    }
    reportProgress(progress, 400, 1000);
    const QString spreadsheet = m_paths.schoolFile(schoolfiles::schoolSpreadsheet);
    std::optional<ReportContent> report;
    if (QFileInfo::exists(spreadsheet))
        report = readReport(m_paths.schoolFile(schoolfiles::schoolReport), 2 * classCount() + 3, columns);
    if (report) {
        report->firstGrid = withSchoolPageHeading(report->firstGrid);
        report->secondGrid = withSchoolPageHeading(report->secondGrid);
        make(spreadsheet,
             schoolWorkbook(*report, classSheetInputs(test, progressPart(progress, 400, 550))) +
                 analysisSheets(-1, test, setupIni),
             progressPart(progress, 550, 750));
    }
    reportProgress(progress, 1000, 1000);
    for (const auto &[path, bytes] : std::as_const(files)) {
        if (!bytes || write(path, *bytes) != WriteStatus::Ok)
            notWritten.append(QDir(root()).relativeFilePath(path));
    }
    return notWritten;
}

std::optional<QByteArray> SchoolFolder::ownTestBytes(ReadStatus *status) const
{
    QByteArray bytes;
    *status = read(testFile(), &bytes, IniFile::maxFileSize);
    if (*status != ReadStatus::Ok)
        return std::nullopt;
    return bytes;
}

bool SchoolFolder::hasResults() const
{
    for (int i = 0; i < classCount(); ++i) {
        if (QFileInfo::exists(m_paths.classFile(i, schoolfiles::answers)))
            return true;
    }
    return false;
}

std::optional<FileMisfit> SchoolFolder::gridMisfit(const QString &path, qsizetype rows, qsizetype columns,
                                                   qsizetype firstTaskColumn, bool exact) const
{
    // Read as widely as any file could be: the reader for the page would refuse a much wider
    // file as damaged, and then the teacher would never learn that it was kept under another test.
    const GridLimits limits = gridLimitsFor(std::max<qsizetype>(rows, 1000),
                                            std::max<qsizetype>(columns, TestDefinition::maxTaskCount + 3));
    QByteArray bytes;
    if (read(path, &bytes, limits.bytes) != ReadStatus::Ok)
        return std::nullopt;
    const std::optional<GridRows> parsed = parseGridFileWithin(bytes, limits);
    if (!parsed)
        return std::nullopt;
    const GridFit fit = gridFit(*parsed, rows, columns);
    if (exact ? fit.exact : fit.fits)
        return std::nullopt;
    return misfitOf(path, fit, columns, firstTaskColumn);
}

QList<FileMisfit> SchoolFolder::misfits(const TestDefinition &test) const
{
    QList<FileMisfit> found;
    const auto check = [&](const QString &path, qsizetype rows, qsizetype columns, qsizetype firstTask) {
        if (const std::optional<FileMisfit> misfit = gridMisfit(path, rows, columns, firstTask, true))
            found.append(*misfit);
    };
    const qsizetype columns = test.taskCount + 3;
    for (int i = 0; i < classCount(); ++i) {
        check(m_paths.classFile(i, schoolfiles::answers), m_pupilCounts.value(i) + 1, columns, 3);
        // Two lines, one value per task; the rows beyond them hold nothing by their format.
        check(m_paths.classFile(i, schoolfiles::taskStatistics), 2, test.taskCount, 0);
    }
    check(m_paths.schoolFile(schoolfiles::schoolSummary), 2 * classCount() + 3, columns, 3);
    check(m_paths.schoolFile(schoolfiles::taskStatistics), 2, test.taskCount, 0);
    return found;
}

QString misfitMessage(const FileMisfit &misfit, const TestDefinition &test)
{
    const QString path = QDir::toNativeSeparators(misfit.path);
    if (misfit.heldTasks != 0 || misfit.rowsBeyond == 0)
        return QStringLiteral("Plik „%1” zawiera wyniki %2 zadań, a test „%3” ma %4 zadań.")
            .arg(path)
            .arg(misfit.heldTasks)
            .arg(test.testName)
            .arg(test.taskCount);
    return QStringLiteral("Plik „%1” zawiera wyniki większej liczby uczniów (%2 wierszy więcej), niż liczy "
                          "klasa według pliku Szkola.ini.")
        .arg(path)
        .arg(misfit.rowsBeyond);
}

bool holdsSchoolFiles(const QString &folder)
{
    const QDir dir(folder);
    if (!dir.exists())
        return false;
    if (dir.exists(schoolfiles::setup.toString()) || dir.exists(schoolfiles::test.toString()))
        return true;
    // Empty folders, as a failed acceptance may leave, hold nothing to lose.
    const QStringList subfolders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : subfolders) {
        for (const QStringView file : {schoolfiles::answers, schoolfiles::taskStatistics,
                                       schoolfiles::standardStatistics, schoolfiles::schoolSummary}) {
            if (QFileInfo::exists(dir.filePath(name + QLatin1Char('/') + file.toString())))
                return true;
        }
    }
    return false;
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
