#include "school/schoolsession.h"

#include "core/numbers.h"
#include "files/inifile.h"
#include "school/recentschools.h"
#include "school/sessionsteps.h"
#include "school/setupchecks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>

using namespace sessionsteps;

namespace {

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

namespace sessionsteps {

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
        outcome->fileError(QStringLiteral("Nie mogę odczytać pliku!"));
}

} // namespace sessionsteps

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

SchoolSession::SchoolSession()
    : m_location(QDir::homePath()), m_sessionId(QUuid::createUuid().toString(QUuid::WithoutBraces))
{}

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
    return run<Outcome>(m_gathering, schoolDirectory(), false, [&](Writes &written, Outcome &outcome) {
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
    Writes written(m_gathering, folder, &outcome, false);
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
    Writes written(m_gathering, folder, &outcome, false);
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
    if (m_readOnly)
        outcome.message(QStringLiteral("Szkołę otwarto tylko do odczytu: %1\n\nWyniki można oglądać, "
                                       "analizować i drukować, ale w katalogu szkoły nic nie zostanie "
                                       "zapisane.")
                            .arg(writeFailureCause(target.paths().file(schoolfiles::setup))));
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
    Writes written(m_gathering, folder.root(), outcome, false);
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
    stopAllTyping();
    m_folder = folder;
    m_test = test;
    m_classes = QList<ClassSheets>(folder.classCount());
    m_schoolStamps.clear();
    // Tried, not asked: a share for reading only says so only when written.
    const int error = folderWriteError(folder.root());
    m_readOnly = error == EROFS || error == EACCES || error == EPERM;
    m_schoolTasks.clear();
    m_schoolStandards.clear();
    m_block.reset();
    recentschools::remember(recentschools::settingsFile(), folder.root());
}
