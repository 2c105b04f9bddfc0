#include "school/schoolsession.h"

#include "analysis/classstatistics.h"
#include "analysis/schoolstatistics.h"
#include "analysis/scorecheck.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "files/inifile.h"
#include "files/report.h"
#include "files/spreadsheet.h"
#include "school/recentschools.h"
#include "school/setupchecks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString cannotRead = QStringLiteral("Nie mogę odczytać pliku!");

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString misfitsText(const QList<FileMisfit> &misfits, const TestDefinition &test)
{
    QStringList lines;
    for (const FileMisfit &misfit : misfits.first(std::min<qsizetype>(misfits.size(), 5)))
        lines.append(misfitMessage(misfit, test));
    if (misfits.size() > 5)
        lines.append(QStringLiteral("Takich plików jest więcej: razem %1.").arg(misfits.size()));
    return lines.join(u'\n');
}

// Fields beyond the grid's shape are dropped: no one reads them.
void putRows(GridRows *grid, const GridRows &rows, int firstCol, int firstRow)
{
    for (int j = 0; j < rows.size(); ++j) {
        const int row = firstRow + j;
        if (row >= grid->size())
            break;
        QStringList &cells = (*grid)[row];
        const QStringList &fields = rows[j];
        for (int k = 0; k < fields.size() && firstCol + k < cells.size(); ++k)
            cells[firstCol + k] = fields[k];
    }
}

// Empty cells, rows numbered in column 0 from row 1 on.
GridRows emptyGrid(int columns, int rows)
{
    GridRows grid(rows, QStringList(columns));
    for (int r = 1; r < rows; ++r)
        grid[r][0] = QString::number(r);
    return grid;
}

void readFailure(ReadStatus status, const QString &path, const QString &root, Outcome *outcome)
{
    if (status == ReadStatus::OutsideSchool)
        outcome->fileError(outsideSchoolMessage(path, root, false));
    else if (status == ReadStatus::Failed)
        outcome->fileError(cannotRead);
}

QList<qint32> classCountsOf(const SchoolFileReader &reader, QStringList *labels)
{
    QList<qint32> counts;
    for (int n = 1; n <= reader.classCount(); ++n) {
        labels->append(reader.label(n));
        counts.append(parseInteger(reader.pupilsText(n)).value_or(0));
    }
    return counts;
}

// Why Szkola.ini's classes cannot be opened, or "".
QString schoolFileProblem(int classes, const QStringList &labels, const QList<qint32> &counts)
{
    if (classes < 1 || classes > 25)
        return QStringLiteral("liczba klas (%1) nie mieści się w granicach od 1 do 25.").arg(classes);
    for (int i = 0; i < counts.size(); ++i) {
        if (counts[i] <= 0)
            return QStringLiteral("klasa nr %1 nie ma podanej liczby uczniów.").arg(i + 1);
    }
    QString problem = pupilCountsProblem(counts);
    return problem.isEmpty() ? classLabelsProblem(labels) : problem;
}

} // namespace

QString cannotWriteText(const QStringList &names)
{
    const QString cannotWrite = QStringLiteral("Nie mogę zapisać pliku!");
    if (names.size() <= 1)
        return cannotWrite;
    return cannotWrite + QStringLiteral(" Nie zapisano: %1.").arg(names.join(QStringLiteral(", ")));
}

QString setupPageCaption()
{
    return QStringLiteral("Liczba klas - liczba uczniów w danej klasie");
}

QString classPageCaption(const QString &classLabel)
{
    return QStringLiteral("Wyniki uczniów za poszczególne zadania - ") + classLabel;
}

QString schoolPageCaption()
{
    return QStringLiteral("Podsumowanie");
}

QString summaryCaption()
{
    return QStringLiteral("Wyniki uczniów - podsumowanie:");
}

QString testSummary(const TestDefinition &test)
{
    return QStringLiteral("„%1”, %2 – zadań: %3, punktów: %4")
        .arg(test.testName, test.testDate)
        .arg(test.taskCount)
        .arg(test.maxTotalPoints);
}

// A file the folder could not write is said at once when it leads out of the school; otherwise,
// while a step writes several files, its name is kept and the names are said once at the end. The
// first gathering Writes of a step gathers for every write made in it.
class SchoolSession::Writes
{
public:
    Writes(const SchoolSession &session, const QString &root, Outcome *outcome, bool gather)
        : m_session(session), m_root(root), m_outcome(outcome)
    {
        if (gather && !m_session.m_gathering)
            m_session.m_gathering = this;
    }
    ~Writes()
    {
        if (m_session.m_gathering == this)
            m_session.m_gathering = nullptr;
    }
    Writes(const Writes &) = delete;
    Writes &operator=(const Writes &) = delete;

    bool operator()(WriteStatus status, const QString &path)
    {
        if (status == WriteStatus::OutsideSchool)
            m_outcome->fileError(outsideSchoolMessage(path, m_root, true));
        else if (status == WriteStatus::Failed && m_session.m_gathering)
            m_session.m_gathering->m_names.append(QFileInfo(path).fileName());
        else if (status == WriteStatus::Failed)
            m_outcome->fileError(cannotWriteText({}));
        return status == WriteStatus::Ok;
    }

    // Said once, by the Writes that gathered them.
    void finish()
    {
        if (m_session.m_gathering != this)
            return;
        m_session.m_gathering = nullptr;
        if (!m_names.isEmpty())
            m_outcome->fileError(cannotWriteText(m_names));
    }

private:
    const SchoolSession &m_session;
    QString m_root;
    Outcome *m_outcome;
    QStringList m_names;
};

namespace {

// Runs a step that writes files; an error that ends it is kept for the window to show after the
// step's notices, as it would have been shown had the notices been shown at once.
template <typename Result, typename Writes, typename Session, typename Body>
Result run(const Session &session, bool gather, Body body)
{
    Result outcome;
    Writes writes(session, session.schoolDirectory(), &outcome, gather);
    try {
        body(writes, outcome);
        writes.finish();
    } catch (...) {
        outcome.ok = false;
        outcome.error = std::current_exception();
    }
    return outcome;
}

} // namespace

SchoolSession::SchoolSession() : m_location(QDir::homePath()) {}

QString SchoolSession::testIniPath() const
{
    return isOpen() ? m_folder.testFile() : m_chosenTestPath;
}

Outcome SchoolSession::chooseTest(const QString &path)
{
    m_chosenTestPath = path;
    m_chosenBytes.clear();
    QFile file(path);
    if (file.size() <= IniFile::maxFileSize && file.open(QIODevice::ReadOnly))
        m_chosenBytes = file.readAll();
    m_chosenTest = loadTestDefinition(IniFile::fromBytes(m_chosenBytes));
    m_chosenFileTest = m_chosenTest;
    Outcome outcome;
    if (!m_chosenTest.problems.isEmpty())
        outcome.message(problemsMessage(m_chosenTest.problems));
    // Before a school is set up the pages follow the chosen test; a school keeps its own.
    if (!isOpen())
        m_test = m_chosenTest;
    return outcome;
}

void SchoolSession::useNewSchoolTest(const TestDefinition &test, const QByteArray &bytes)
{
    m_chosenTest = test;
    if (!bytes.isEmpty()) {
        m_chosenBytes = bytes;
        m_chosenFileTest = test;
    }
    if (!isOpen())
        m_test = test;
}

QByteArray SchoolSession::newSchoolTestBytes() const
{
    const QByteArray written = testDefinitionFileBytes(m_chosenTest);
    if (!m_chosenBytes.isEmpty() && written == testDefinitionFileBytes(m_chosenFileTest))
        return m_chosenBytes;
    return written;
}

QByteArray SchoolSession::definitionBytes() const
{
    if (!isOpen())
        return newSchoolTestBytes();
    ReadStatus status = ReadStatus::Ok;
    return m_folder.ownTestBytes(&status).value_or(testDefinitionFileBytes(m_test));
}

bool SchoolSession::testLocked() const
{
    if (!isOpen())
        return false;
    for (const ClassSheets &sheets : m_classes) {
        if (sheets.modified)
            return true;
    }
    return m_folder.hasResults();
}

Outcome SchoolSession::replaceTest(const QByteArray &windows1250Bytes)
{
    return run<Outcome, Writes>(*this, false, [&](Writes &written, Outcome &outcome) {
        outcome.ok = written(m_folder.write(m_folder.testFile(), windows1250Bytes), m_folder.testFile());
        if (outcome.ok)
            m_test = loadTestDefinition(IniFile::fromBytes(windows1250Bytes));
    });
}

SchoolSetup SchoolSession::readSchoolFile(Outcome *outcome) const
{
    // Before a school is open, Szkola.ini of the chosen location.
    const SchoolFolder folder = isOpen() ? m_folder : SchoolFolder(m_location, {}, {});
    ReadStatus status = ReadStatus::Ok;
    const SchoolFileReader reader = folder.readSchoolFile(&status);
    // An unreadable file gives the defaults without a word, as a missing one does; one reached
    // through a symlink out of the school folder is said.
    if (status == ReadStatus::OutsideSchool)
        readFailure(status, folder.paths().file(schoolfiles::setup), folder.root(), outcome);
    SchoolSetup setup;
    setup.classCount = reader.classCount();
    for (int c = 0; c < 3; ++c)
        setup.headings.append(reader.heading(c));
    for (int n = 1; n <= std::max(setup.classCount, 1); ++n) {
        setup.labels.append(reader.label(n));
        setup.pupilTexts.append(reader.pupilsText(n));
    }
    return setup;
}

ExistingSchool SchoolSession::existingSchoolAt(const QString &folder) const
{
    ExistingSchool existing;
    const QString cleaned = QDir::cleanPath(folder);
    existing.hasSchoolFile = QFileInfo::exists(SchoolPaths{cleaned, {}}.file(schoolfiles::setup));
    ReadStatus status = ReadStatus::Ok;
    existing.classCount = SchoolFolder(cleaned, {}, {}).readSchoolFile(&status).classCount();
    return existing;
}

bool SchoolSession::makeFolders(const QStringList &paths, Outcome *outcome) const
{
    for (const QString &path : paths) {
        QDir().mkdir(path);
        if (!QFileInfo(path).isDir()) {
            // The teacher can choose another location and accept again.
            outcome->message(QStringLiteral("Nie można utworzyć katalogu w podanej lokalizacji!"));
            return false;
        }
    }
    return true;
}

Outcome SchoolSession::setUpNewSchool(const QString &folder, const SchoolSetup &setup,
                                      const QList<qint32> &counts)
{
    Outcome outcome;
    // Every directory the school needs must be there before anything is written into it; a plain
    // file in the way of one would otherwise fail every later write.
    QStringList needed{folder, SchoolPaths{folder, {}}.schoolFolder()};
    for (const QString &label : setup.labels)
        needed.append(folder + QLatin1Char('/') + label);
    if (!makeFolders(needed, &outcome)) {
        outcome.ok = false;
        return outcome;
    }
    // The school file first: a school whose file could not be written is not set up, and the
    // teacher can try again (another location, or once there is room on the disk). Then the test
    // it is set up with, which the school keeps from now on.
    const SchoolFolder created(folder, setup.labels, counts);
    Writes written(*this, folder, &outcome, false);
    if (!written(created.writeSchoolFile(setup), created.paths().file(schoolfiles::setup)) ||
        !written(created.write(created.testFile(), newSchoolTestBytes()), created.testFile())) {
        outcome.ok = false;
        return outcome;
    }
    openAs(created, m_chosenTest);
    return outcome;
}

Outcome SchoolSession::replaceSchoolDescription(const QString &folder, const SchoolSetup &setup,
                                                const QList<qint32> &counts)
{
    Outcome outcome;
    outcome.ok = false;
    const SchoolFolder target(folder, setup.labels, counts);
    ReadStatus status = ReadStatus::Ok;
    const std::optional<QByteArray> own = target.ownTestBytes(&status);
    if (!own && status != ReadStatus::Missing) {
        readFailure(status, target.testFile(), folder, &outcome);
        return outcome;
    }
    TestDefinition schoolTest = own ? loadTestDefinition(IniFile::fromBytes(*own)) : m_chosenTest;
    // The classes' files are kept: each must still fit the school's test and its new class size.
    const QList<FileMisfit> misfits = target.misfits(schoolTest);
    if (!misfits.isEmpty()) {
        outcome.message(QStringLiteral("Pliki szkoły w katalogu „%1” nie pasują do %2 testu %3:\n%4\n\n"
                                       "Nic nie zostało zapisane.")
                            .arg(native(folder), own ? QStringLiteral("jej") : QStringLiteral("wybranego"),
                                 testSummary(schoolTest), misfitsText(misfits, schoolTest)));
        return outcome;
    }
    QStringList needed{SchoolPaths{folder, {}}.schoolFolder()};
    for (int i = 0; i < setup.labels.size(); ++i)
        needed.append(target.paths().classFolder(i));
    if (!makeFolders(needed, &outcome))
        return outcome;
    Writes written(*this, folder, &outcome, false);
    if (!written(target.writeSchoolFile(setup), target.paths().file(schoolfiles::setup)))
        return outcome;
    if (!own && !adoptChosenTest(target, &schoolTest, &outcome))
        return outcome;
    openAs(target, schoolTest);
    outcome.ok = true;
    return outcome;
}

Outcome SchoolSession::openSchool(const QString &folder)
{
    Outcome outcome;
    outcome.ok = false;
    const SchoolFolder bare(folder, {}, {});
    if (!QFileInfo::exists(bare.paths().file(schoolfiles::setup))) {
        outcome.message(QStringLiteral("W katalogu „%1” nie ma szkoły: brak pliku Szkola.ini.\n"
                                       "Wybierz katalog, w którym szkołę założono (ten, w którym "
                                       "leżą plik Szkola.ini i katalogi klas).")
                            .arg(native(folder)));
        return outcome;
    }
    ReadStatus status = ReadStatus::Ok;
    const SchoolFileReader reader = bare.readSchoolFile(&status);
    if (status != ReadStatus::Ok) {
        readFailure(status == ReadStatus::Missing ? ReadStatus::Failed : status,
                    bare.paths().file(schoolfiles::setup), folder, &outcome);
        return outcome;
    }
    QStringList labels;
    const QList<qint32> counts = classCountsOf(reader, &labels);
    if (const QString problem = schoolFileProblem(reader.classCount(), labels, counts); !problem.isEmpty()) {
        outcome.message(QStringLiteral("Nie mogę otworzyć szkoły z katalogu „%1”: plik Szkola.ini "
                                       "jest uszkodzony – %2")
                            .arg(native(folder), problem));
        return outcome;
    }

    const SchoolFolder target(folder, labels, counts);
    TestDefinition schoolTest;
    const std::optional<QByteArray> own = target.ownTestBytes(&status);
    if (own) {
        schoolTest = loadTestDefinition(IniFile::fromBytes(*own));
    } else if (status != ReadStatus::Missing) {
        readFailure(status, target.testFile(), folder, &outcome);
        return outcome;
    } else if (!adoptChosenTest(target, &schoolTest, &outcome)) {
        return outcome;
    }
    if (!schoolTest.problems.isEmpty())
        outcome.message(problemsMessage(schoolTest.problems));
    openAs(target, schoolTest);
    outcome.ok = true;
    return outcome;
}

bool SchoolSession::adoptChosenTest(const SchoolFolder &folder, TestDefinition *schoolTest,
                                    Outcome *outcome) const
{
    const TestDefinition &candidate = m_chosenTest;
    const QList<FileMisfit> misfits = folder.misfits(candidate);
    if (!misfits.isEmpty()) {
        outcome->message(
            QStringLiteral("Katalog szkoły „%1” nie ma własnego pliku Setup.ini z definicją testu, a jej "
                           "pliki nie pasują do wybranego testu %2:\n%3\n\nSzkoła nie została otwarta i "
                           "nic w niej nie zapisano. Wybierz na stronie „Liczba klas” w polu „Test:” test, "
                           "z którym szkołę założono, i otwórz ją ponownie.")
                .arg(native(folder.root()), testSummary(candidate), misfitsText(misfits, candidate)));
        return false;
    }
    Writes written(*this, folder.root(), outcome, false);
    if (!written(folder.write(folder.testFile(), newSchoolTestBytes()), folder.testFile()))
        return false;
    outcome->message(QStringLiteral("Szkoła w katalogu „%1” nie miała własnej definicji testu. Zapisano w "
                                    "niej kopię testu %2 (plik Setup.ini w katalogu szkoły); odtąd "
                                    "szkoła jest otwierana z tym testem.")
                         .arg(native(folder.root()), testSummary(candidate)));
    *schoolTest = candidate;
    return true;
}

void SchoolSession::openAs(const SchoolFolder &folder, const TestDefinition &test)
{
    m_folder = folder;
    m_test = test;
    m_classes = QList<ClassSheets>(folder.classCount());
    m_schoolTasks.clear();
    m_schoolStandards.clear();
    m_block.reset();
    recentschools::remember(recentschools::settingsFile(), folder.root());
}

SchoolSession::ClassSheets &SchoolSession::sheets(int classIndex)
{
    if (classIndex < 0 || classIndex >= m_classes.size())
        throw SondarykError(QStringLiteral("Nie ma klasy nr %1.").arg(classIndex + 1));
    return m_classes[classIndex];
}

GridRows SchoolSession::newScoreSheet(int classIndex) const
{
    const int pupils = pupilCounts().value(classIndex);
    GridRows sheet = emptyGrid(m_test.taskCount + 3, pupils + 1);
    sheet[0][0] = QStringLiteral("L.p.");
    sheet[0][1] = QStringLiteral("Kod ucznia");
    sheet[0][2] = QStringLiteral("Ob.");
    for (int t = 0; t < m_test.taskCount; ++t)
        sheet[0][t + 3] = m_test.taskLabels.value(t);
    for (int r = 1; r <= pupils; ++r)
        sheet[r][2] = QStringLiteral("T");
    return sheet;
}

GridRows SchoolSession::newSummary(int classIndex) const
{
    GridRows summary = emptyGrid(9, pupilCounts().value(classIndex) + 1);
    summary[0][0] = QStringLiteral("L.p.");
    summary[0][1] = QStringLiteral("Kod ucznia");
    summary[0][2] = QStringLiteral("Ob.");
    // Five standard columns whatever the test says; a missing standard leaves its heading empty.
    for (int k = 0; k < 5; ++k)
        summary[0][k + 3] = m_test.standardAbbreviations.value(k);
    summary[0][8] = QStringLiteral("Razem");
    return summary;
}

Outcome SchoolSession::loadClassPage(int classIndex)
{
    ClassSheets &page = sheets(classIndex);
    page.scores = newScoreSheet(classIndex);
    page.summary = newSummary(classIndex);
    m_block.reset();
    Outcome outcome;
    readGridFile(&page.scores, paths().classFile(classIndex, schoolfiles::answers), &outcome);
    page.modified = false;
    return outcome;
}

Outcome SchoolSession::reloadScores(int classIndex)
{
    ClassSheets &page = sheets(classIndex);
    Outcome outcome;
    // A missing or unreadable file leaves the typed points in the grid, still unsaved.
    outcome.ok = readGridFile(&page.scores, paths().classFile(classIndex, schoolfiles::answers), &outcome);
    if (outcome.ok)
        page.modified = false;
    return outcome;
}

const GridRows &SchoolSession::scoreSheet(int classIndex) const
{
    return const_cast<SchoolSession *>(this)->sheets(classIndex).scores;
}

const GridRows &SchoolSession::summary(int classIndex) const
{
    return const_cast<SchoolSession *>(this)->sheets(classIndex).summary;
}

void SchoolSession::putScores(int classIndex, const GridRows &sheet, bool modified)
{
    ClassSheets &page = sheets(classIndex);
    page.scores = sheet;
    page.modified = page.modified || modified;
}

bool SchoolSession::scoresModified(int classIndex) const
{
    return classIndex >= 0 && classIndex < m_classes.size() && m_classes[classIndex].modified;
}

void SchoolSession::markScoresSaved(int classIndex)
{
    sheets(classIndex).modified = false;
}

void SchoolSession::blockPage(const QStringList &reasons)
{
    PageBlock block;
    block.reasons = reasons.join(u'\n');
    // The school's own test may have been put back since it was opened: it is offered.
    ReadStatus status = ReadStatus::Ok;
    const std::optional<QByteArray> own = m_folder.ownTestBytes(&status);
    const TestDefinition ownTest = own ? loadTestDefinition(IniFile::fromBytes(*own)) : TestDefinition{};
    if (own && (ownTest.taskCount != m_test.taskCount || ownTest.testName != m_test.testName))
        block.offeredTest = ownTest;
    m_block = block;
}

QString SchoolSession::blockedMessage() const
{
    if (!m_block)
        return QString();
    const QString locked = QStringLiteral("%1\n\nNa tej stronie nic nie zostanie zapisane ani obliczone, aby "
                                          "nie utracić wyników z tego pliku.")
                               .arg(m_block->reasons);
    if (m_block->offeredTest)
        return locked + QStringLiteral("\n\nOtworzyć szkołę z jej własnym testem (%1, plik "
                                       "Setup.ini w katalogu szkoły)?")
                            .arg(m_block->offeredTest->testName);
    return locked + QStringLiteral("\n\nSprawdź plik Setup.ini w katalogu szkoły (test, z którym "
                                   "ją założono) albo opuść tę stronę.");
}

ComputeOutcome SchoolSession::compute(int classIndex)
{
    if (m_block)
        return {};
    ComputeOutcome checked = validateScores(classIndex, pupilCounts().value(classIndex));
    if (checked.badPupilCount != 0 || checked.error)
        return checked;
    ComputeOutcome outcome =
        run<ComputeOutcome, Writes>(*this, true, [&](Writes &written, ComputeOutcome &result) {
            const SchoolPaths &files = paths();
            const QString answers = files.classFile(classIndex, schoolfiles::answers);
            const WriteStatus saved = m_folder.writeGrid(answers, scoreSheet(classIndex));
            written(saved, answers);
            if (saved == WriteStatus::Ok)
                markScoresSaved(classIndex);
            // The statistics would lead out of the school folder the same way; it has been said once.
            if (saved == WriteStatus::OutsideSchool)
                return;
            writeTaskStatistics(m_test.taskCount, scoreSheet(classIndex),
                                files.classFile(classIndex, schoolfiles::taskStatistics), &result);
            // The summary has five standard columns whatever the test defines.
            writeStandardStatistics(5, summary(classIndex),
                                    files.classFile(classIndex, schoolfiles::standardStatistics), &result);
        });
    checked.append(outcome);
    checked.ok = outcome.ok;
    checked.error = outcome.error;
    return checked;
}

ComputeOutcome SchoolSession::validateScores(int classIndex, qint32 pupilCount)
{
    ClassSheets &page = sheets(classIndex);
    m_badPupilCount = 0;
    ComputeOutcome outcome;
    int badPupils = 0;
    try {
        for (const PupilScores &pupil : checkClassScores(page.scores, pupilCount, m_test)) {
            const int r = pupil.row;
            if (pupil.fault == PupilScores::Fault::NotANumber)
                throw ConvertError(pupil.faultText);
            if (pupil.fault == PupilScores::Fault::OutOfRange) {
                outcome.message(QStringLiteral("Dla ucznia o kodzie ") + page.scores[r].value(1) +
                                QStringLiteral(", w zadaniu ") + m_test.taskLabels.value(pupil.faultTask) +
                                QStringLiteral(" wprowadzono złą liczbę punktów!"));
                ++badPupils;
            }
            // From the first pupil with a wrong value on, no summary row is refreshed.
            if (badPupils != 0) {
                m_badPupilCount = badPupils;
                continue;
            }
            QStringList &row = page.summary[r];
            row[1] = page.scores[r].value(1);
            row[2] = page.scores[r].value(2);
            const bool present = isPresentMark(row[2]);
            for (int k = 0; k < 5; ++k)
                row[3 + k] =
                    present ? QString::number(pupil.standards[std::size_t(k)]) : QStringLiteral("--");
            row[8] = present ? QString::number(pupil.total) : QStringLiteral("--");
        }
    } catch (...) {
        outcome.ok = false;
        outcome.error = std::current_exception();
    }
    outcome.badPupilCount = m_badPupilCount;
    return outcome;
}

void SchoolSession::writeTaskStatistics(qint32 valueCount, const GridRows &grid, const QString &path,
                                        Outcome *outcome) const
{
    QList<qint32> maxima;
    for (int t = 0; t < valueCount; ++t)
        maxima.append(m_test.taskMaxPoints.value(t));
    Writes written(*this, schoolDirectory(), outcome, true);
    written(m_folder.writeStatistics(path, gridStatistics(grid, 3, maxima), valueCount), path);
    written.finish();
}

void SchoolSession::writeStandardStatistics(qint32 standardCount, const GridRows &grid, const QString &path,
                                            Outcome *outcome) const
{
    // A standard the test does not define has no maximum, and its column is never written.
    QList<qint32> maxima;
    for (int k = 0; k < standardCount; ++k)
        maxima.append(m_test.standardMaxPoints.value(k, 1));
    maxima.append(m_test.maxTotalPoints);
    Writes written(*this, schoolDirectory(), outcome, true);
    written(m_folder.writeStatistics(path, gridStatistics(grid, 3, maxima), standardCount + 1), path);
    written.finish();
}

Outcome SchoolSession::saveScores(int classIndex)
{
    Outcome outcome =
        writeGridFile(scoreSheet(classIndex), paths().classFile(classIndex, schoolfiles::answers));
    if (outcome.ok)
        markScoresSaved(classIndex);
    return outcome;
}

ReportContent SchoolSession::reportContent(int classIndex) const
{
    ReportContent content;
    content.testName = m_test.testName;
    content.testDate = m_test.testDate;
    const bool school = classIndex < 0;
    content.firstCaption = school ? schoolPageCaption() : classPageCaption(classLabels().value(classIndex));
    content.firstGrid = school ? m_schoolTasks : scoreSheet(classIndex);
    content.secondCaption = summaryCaption();
    content.secondGrid = school ? m_schoolStandards : summary(classIndex);
    return content;
}

Outcome SchoolSession::saveClass(int classIndex)
{
    if (m_block) {
        Outcome refused;
        refused.ok = false;
        refused.message(m_block->reasons + QStringLiteral("\n\nNic nie zostało zapisane."));
        return refused;
    }
    return run<Outcome, Writes>(*this, true, [&](Writes &written, Outcome &outcome) {
        const QString answers = paths().classFile(classIndex, schoolfiles::answers);
        const WriteStatus saved = m_folder.writeGrid(answers, scoreSheet(classIndex));
        written(saved, answers);
        if (saved == WriteStatus::Ok)
            markScoresSaved(classIndex);
        outcome.ok = false;
        // The reports would lead out of the school folder the same way; it has been said once.
        if (saved == WriteStatus::OutsideSchool)
            return;
        const QString reportPath = paths().classFile(classIndex, schoolfiles::classReport);
        const bool report = written(m_folder.writeReport(reportPath, reportContent(classIndex)), reportPath);
        const QString spreadsheetPath = paths().classFile(classIndex, schoolfiles::classSpreadsheet);
        const bool spreadsheet =
            written(m_folder.writeSpreadsheet(spreadsheetPath,
                                              classWorkbook(reportContent(classIndex)) +
                                                  m_folder.analysisSheets(classIndex, m_test, testIniPath())),
                    spreadsheetPath);
        // Success is confirmed only when every file is on disk.
        outcome.ok = saved == WriteStatus::Ok && report && spreadsheet;
        if (outcome.ok)
            outcome.message(QStringLiteral("Wyniki uczniów zostały zapisane!"));
    });
}

void SchoolSession::layOutSchoolGrids()
{
    // The labels captured when the school was opened say which classes exist, whatever Szkola.ini
    // says now.
    const int classes = classCount();
    const int rows = 2 * classes + 3;
    m_schoolTasks = emptyGrid(m_test.taskCount + 3, rows);
    m_schoolStandards = emptyGrid(9, rows);
    for (int t = 0; t < m_test.taskCount; ++t)
        m_schoolTasks[0][t + 3] = m_test.taskLabels.value(t);
    for (int k = 0; k < 5; ++k)
        m_schoolStandards[0][k + 3] = m_test.standardAbbreviations.value(k);
    m_schoolStandards[0][8] = QStringLiteral("Razem");
    for (GridRows *grid : {&m_schoolTasks, &m_schoolStandards}) {
        (*grid)[0][0] = QStringLiteral("L.p.");
        // The rows are the classes; the school's files keep their own heading (withSchoolFileHeading).
        (*grid)[0][1] = QStringLiteral("Klasa");
        for (int i = 0; i < classes; ++i) {
            (*grid)[2 * i + 1][1] = classLabels()[i] + QStringLiteral(" - Śr.");
            (*grid)[2 * i + 2][1] = classLabels()[i] + QStringLiteral(" - Ła.");
        }
        (*grid)[rows - 2][1] = QStringLiteral("Szkoła - Śr.");
        (*grid)[rows - 1][1] = QStringLiteral("Szkoła - Ła.");
    }
}

Outcome SchoolSession::loadSchoolPage()
{
    layOutSchoolGrids();
    m_block.reset();
    const int classes = classCount();
    QStringList misfits;
    for (int i = 0; i < classes; ++i) {
        for (const auto &[grid, name] : {std::pair{&m_schoolTasks, schoolfiles::taskStatistics},
                                         std::pair{&m_schoolStandards, schoolfiles::standardStatistics}}) {
            const QString path = paths().classFile(i, name);
            const int columns = int(grid->value(0).size());
            if (const std::optional<FileMisfit> misfit = m_folder.gridMisfit(path, 2, columns - 3, 0))
                misfits.append(misfitMessage(*misfit, m_test));
            else
                readGridFileAt(grid, 3, 2 * i + 1, path);
        }
    }
    // The school's figures would be made without those classes and written over its files.
    if (!misfits.isEmpty()) {
        blockPage(misfits);
        return {};
    }
    return run<Outcome, Writes>(*this, true, [&](Writes &, Outcome &outcome) {
        writeSchoolStatistics(m_test.taskCount, classes, &m_schoolTasks,
                              paths().schoolFile(schoolfiles::taskStatistics), &outcome);
        // Five standards and the whole test, as in every class's file.
        writeSchoolStatistics(6, classes, &m_schoolStandards,
                              paths().schoolFile(schoolfiles::standardStatistics), &outcome);
    });
}

void SchoolSession::writeSchoolStatistics(qint32 valueCount, qint32 classes, GridRows *grid,
                                          const QString &path, Outcome *outcome) const
{
    const int lastRow = int(grid->size()) - 1;
    const int columns = int(grid->value(0).size());
    QList<ClassColumnValues> values;
    for (int c = 3; c < columns; ++c) {
        ClassColumnValues column;
        for (int i = 0; i < classes; ++i) {
            column.hasStatistics.append(!isEmptyCell((*grid)[2 * i + 1][3]));
            column.averages.append((*grid)[2 * i + 1][c]);
            column.facilities.append((*grid)[2 * i + 2][c]);
        }
        values.append(column);
    }
    const QList<SchoolValue> means = schoolMeans(values);
    for (int j = 0; j < means.size(); ++j) {
        (*grid)[lastRow - 1][j + 3] = means[j].known ? formatSchoolValue(means[j].average) : QString();
        (*grid)[lastRow][j + 3] = means[j].known ? formatSchoolValue(means[j].facility) : QString();
    }
    if (const std::optional<QByteArray> bytes = schoolStatisticsFile(means, valueCount)) {
        Writes written(*this, schoolDirectory(), outcome, true);
        written(m_folder.write(path, *bytes), path);
        written.finish();
    }
}

Outcome SchoolSession::reloadSchoolTasks()
{
    Outcome outcome;
    outcome.ok = readGridFile(&m_schoolTasks, paths().schoolFile(schoolfiles::schoolSummary), &outcome);
    if (!m_schoolTasks.isEmpty() && m_schoolTasks[0].size() > 1)
        m_schoolTasks[0][1] = QStringLiteral("Klasa");
    return outcome;
}

std::optional<QByteArray> SchoolSession::schoolSpreadsheet(const ProgressReport &progress) const
{
    const QList<ClassSheetInput> classes = m_folder.classSheetInputs(m_test, progressPart(progress, 0, 200));
    const QList<Sheet> sheets = schoolWorkbook(reportContent(-1), classes, progressPart(progress, 200, 250)) +
                                m_folder.analysisSheets(-1, m_test, testIniPath());
    return xlsxBytes(sheets, nullptr, progressPart(progress, 250, 1000));
}

Outcome SchoolSession::saveSchool(const std::optional<QByteArray> &spreadsheet)
{
    if (m_block) {
        Outcome refused;
        refused.ok = false;
        refused.message(m_block->reasons + QStringLiteral("\n\nNic nie zostało zapisane."));
        return refused;
    }
    return run<Outcome, Writes>(*this, true, [&](Writes &written, Outcome &outcome) {
        outcome.ok = false;
        const QString summaryPath = paths().schoolFile(schoolfiles::schoolSummary);
        const WriteStatus saved = m_folder.writeGrid(summaryPath, withSchoolFileHeading(m_schoolTasks));
        written(saved, summaryPath);
        if (saved == WriteStatus::OutsideSchool)
            return;
        ReportContent content = reportContent(-1);
        content.firstGrid = withSchoolFileHeading(content.firstGrid);
        content.secondGrid = withSchoolFileHeading(content.secondGrid);
        const QString reportPath = paths().schoolFile(schoolfiles::schoolReport);
        const bool report = written(m_folder.writeReport(reportPath, content), reportPath);
        const QString spreadsheetPath = paths().schoolFile(schoolfiles::schoolSpreadsheet);
        const bool written_ =
            written(spreadsheet ? m_folder.write(spreadsheetPath, *spreadsheet) : WriteStatus::Failed,
                    spreadsheetPath);
        outcome.ok = saved == WriteStatus::Ok && report && written_;
        if (outcome.ok)
            outcome.message(QStringLiteral("Wyniki zostały zapisane!"));
    });
}

std::optional<StaffMeetingAnalysis> SchoolSession::analysis(int classIndex, Outcome *outcome,
                                                            const ProgressReport &progress) const
{
    QStringList problems;
    std::optional<StaffMeetingAnalysis> made =
        m_folder.analysis(classIndex, m_test, testIniPath(), &problems, true, progress);
    for (const QString &problem : std::as_const(problems))
        outcome->message(problem);
    outcome->ok = made.has_value();
    return made;
}

std::optional<CsvTable> SchoolSession::readImportFile(const QString &path, QString *problem) const
{
    return ::readImportFile(path, problem);
}

Outcome SchoolSession::writeGridFile(const GridRows &grid, const QString &path) const
{
    return run<Outcome, Writes>(*this, false, [&](Writes &written, Outcome &outcome) {
        outcome.ok = written(m_folder.writeGrid(path, grid), path);
    });
}

bool SchoolSession::readGridFile(GridRows *grid, const QString &path, Outcome *outcome)
{
    const qsizetype rows = grid->size();
    const qsizetype columns = grid->value(0).size();
    // A file kept under another test, or for more pupils, is not half-loaded: saving the page
    // would destroy what did not fit.
    if (const std::optional<FileMisfit> misfit = m_folder.gridMisfit(path, rows, columns, 3)) {
        blockPage({misfitMessage(*misfit, m_test)});
        return false;
    }
    ReadStatus status = ReadStatus::Ok;
    const std::optional<GridRows> read = m_folder.readGrid(path, rows, columns, &status);
    if (!read) {
        readFailure(status, path, schoolDirectory(), outcome);
        return false;
    }
    putRows(grid, *read, 0, 0);
    return true;
}

void SchoolSession::readGridFileAt(GridRows *grid, int firstCol, int firstRow, const QString &path) const
{
    if (const std::optional<GridRows> rows = m_folder.readStatistics(path, grid->value(0).size() - firstCol))
        putRows(grid, *rows, firstCol, firstRow);
}

Outcome SchoolSession::writeSchoolFile(const SchoolSetup &setup) const
{
    return run<Outcome, Writes>(*this, false, [&](Writes &written, Outcome &outcome) {
        outcome.ok = written(m_folder.writeSchoolFile(setup), paths().file(schoolfiles::setup));
    });
}

Outcome SchoolSession::writeReport(const QString &path, const ReportContent &content) const
{
    return run<Outcome, Writes>(*this, false, [&](Writes &written, Outcome &outcome) {
        outcome.ok = written(m_folder.writeReport(path, content), path);
    });
}
