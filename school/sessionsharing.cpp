// The session on a school folder several computers share: the lock of a class being typed, the
// question when another computer saved a page's files since they were read, and the classes a
// school has lost the folders of.
#include "school/schoolsession.h"

#include "core/errors.h"
#include "files/savefile.h"
#include "school/sessionsteps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace sessionsteps;

QString SchoolSession::lockPath(int classIndex) const
{
    return paths().classFile(classIndex, schoolfiles::lock);
}

QString SchoolSession::startTyping(int classIndex)
{
    ClassSheets &page = sheets(classIndex);
    if (page.locked || m_readOnly || m_block)
        return QString();
    const QDateTime now = QDateTime::currentDateTime();
    const std::optional<Worker> lock = readWorkerNote(m_folder, lockPath(classIndex));
    if (lock && lock->session != m_sessionId && !isStaleLock(*lock, now)) {
        if (page.lockSaid)
            return QString();
        page.lockSaid = true;
        return typingElsewhereText(classLabels().value(classIndex), *lock, now) +
               QStringLiteral("\n\nPrzed zapisem program sprawdzi, czy tamte wyniki zapisano, i zapyta, "
                              "które zachować.");
    }
    // A lock that cannot be written (a folder for reading only) is no reason to stop typing: the
    // save says what is wrong.
    page.locked =
        m_folder.write(lockPath(classIndex), workerNoteBytes(thisWorker(m_sessionId))) == WriteStatus::Ok;
    return QString();
}

QString SchoolSession::typingElsewhere(int classIndex) const
{
    if (classIndex < 0 || classIndex >= m_classes.size())
        return QString();
    const QDateTime now = QDateTime::currentDateTime();
    const std::optional<Worker> lock = readWorkerNote(m_folder, lockPath(classIndex));
    if (!lock || lock->session == m_sessionId || isStaleLock(*lock, now))
        return QString();
    return typingElsewhereText(classLabels().value(classIndex), *lock, now) +
           QStringLiteral("\n\nOtworzyć tę klasę tylko do odczytu, czy przejąć jej wpisywanie? Wyniki "
                          "wpisane tam, a jeszcze niezapisane, nie trafią wtedy do pliku; przed każdym "
                          "zapisem program sprawdzi, czy tamten komputer czegoś nie zapisał.");
}

void SchoolSession::takeOverTyping(int classIndex)
{
    ClassSheets &page = sheets(classIndex);
    page.locked =
        m_folder.write(lockPath(classIndex), workerNoteBytes(thisWorker(m_sessionId))) == WriteStatus::Ok;
    page.lockSaid = true;
}

void SchoolSession::openForReadingOnly(int classIndex, const QString &why)
{
    sheets(classIndex);
    PageBlock block;
    block.reasons = why + QStringLiteral("\nStrona jest otwarta tylko do odczytu.");
    block.chosen = true;
    m_block = block;
}

void SchoolSession::stopTyping(int classIndex)
{
    if (classIndex < 0 || classIndex >= m_classes.size() || !m_classes[classIndex].locked)
        return;
    m_classes[classIndex].locked = false;
    // Only this window's own lock goes: someone may have taken the class over since.
    const QString path = lockPath(classIndex);
    const std::optional<Worker> lock = readWorkerNote(m_folder, path);
    if (!lock || lock->session != m_sessionId)
        return;
    bool outside = false;
    const QString real = resolveInside(schoolDirectory(), path, &outside);
    if (!real.isEmpty())
        QFile::remove(real);
}

void SchoolSession::stopAllTyping()
{
    for (int i = 0; i < m_classes.size(); ++i)
        stopTyping(i);
}

bool SchoolSession::holdsLock(int classIndex) const
{
    return classIndex >= 0 && classIndex < m_classes.size() && m_classes[classIndex].locked;
}

void SchoolSession::stampClass(int classIndex)
{
    ClassSheets &page = sheets(classIndex);
    page.answersStamp = stampOf(m_folder, paths().classFile(classIndex, schoolfiles::answers));
    page.choicesStamp = m_test.hasKeys()
                            ? stampOf(m_folder, paths().classFile(classIndex, schoolfiles::choices))
                            : FileStamp{};
}

void SchoolSession::stampSchool()
{
    m_schoolStamps.clear();
    for (int i = 0; i < classCount(); ++i) {
        for (QStringView name : {schoolfiles::taskStatistics, schoolfiles::standardStatistics}) {
            const QString path = paths().classFile(i, name);
            m_schoolStamps.append({path, stampOf(m_folder, path)});
        }
    }
    const QString summary = paths().schoolFile(schoolfiles::schoolSummary);
    m_schoolStamps.append({summary, stampOf(m_folder, summary)});
}

void SchoolSession::keepMine(int classIndex)
{
    if (classIndex < 0)
        stampSchool();
    else
        stampClass(classIndex);
}

QString SchoolSession::savedElsewhere(int classIndex) const
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString question =
        QStringLiteral("\n\nWczytać tamte wyniki (wpisane na tej stronie, a niezapisane, przepadną), czy "
                       "zastąpić je wynikami z tej strony?");
    if (classIndex < 0) {
        for (const auto &[path, stamp] : m_schoolStamps) {
            const FileStamp now_ = stampOf(m_folder, path);
            if (!changedSince(stamp, now_) || !holdsFigures(path))
                continue;
            const QString folder = QFileInfo(path).absolutePath();
            const int index = int(paths().classLabels.indexOf(QFileInfo(folder).fileName()));
            const QString whose = folder == paths().schoolFolder() || index < 0
                                      ? QStringLiteral("Wyniki szkoły")
                                      : QStringLiteral("Wyniki klasy %1").arg(classLabels().value(index));
            return QStringLiteral("%1 zapisano na innym komputerze %2, gdy strona „Szkoła” była otwarta.")
                       .arg(whose, savedWhenText(now_, now)) +
                   question;
        }
        return QString();
    }
    const ClassSheets &page = m_classes.at(classIndex);
    const FileStamp answers = stampOf(m_folder, paths().classFile(classIndex, schoolfiles::answers));
    bool changed = changedSince(page.answersStamp, answers);
    if (m_test.hasKeys())
        changed =
            changed || changedSince(page.choicesStamp,
                                    stampOf(m_folder, paths().classFile(classIndex, schoolfiles::choices)));
    // Only results someone could want back are asked about; a file that is none is no one's work.
    if (!changed || !holdsResults(classIndex))
        return QString();
    return QStringLiteral("Wyniki klasy %1 zapisano na innym komputerze %2.")
               .arg(classLabels().value(classIndex), savedWhenText(answers, now)) +
           question;
}

bool SchoolSession::holdsResults(int classIndex) const
{
    const GridRows sheet = newScoreSheet(classIndex);
    ReadStatus status = ReadStatus::Ok;
    const std::optional<GridRows> read = m_folder.readGrid(
        paths().classFile(classIndex, schoolfiles::answers), sheet.size(), sheet.value(0).size(), &status);
    return read && !read->isEmpty() && read->first() == sheet.first();
}

bool SchoolSession::holdsFigures(const QString &path) const
{
    if (path == paths().schoolFile(schoolfiles::schoolSummary)) {
        ReadStatus status = ReadStatus::Ok;
        const std::optional<GridRows> read =
            m_folder.readGrid(path, 2 * classCount() + 3, m_test.taskCount + 3, &status);
        return read && !read->isEmpty() && read->first().value(0) == QLatin1String("L.p.");
    }
    const bool tasks = QFileInfo(path).fileName() == schoolfiles::taskStatistics;
    return m_folder.readStatistics(path, tasks ? m_test.taskCount : 6).has_value();
}

Outcome SchoolSession::savedElsewhereOutcome(int classIndex) const
{
    Outcome outcome;
    outcome.savedElsewhere = savedElsewhere(classIndex);
    outcome.ok = outcome.savedElsewhere.isEmpty();
    return outcome;
}

QString SchoolSession::leftOutClasses(const QList<bool> &included) const
{
    QStringList left;
    bool gone = false;
    for (int i = 0; i < included.size(); ++i) {
        if (included[i])
            continue;
        const bool missing = !QFileInfo(paths().classFolder(i)).isDir();
        gone = gone || missing;
        left.append(QStringLiteral("%1 (%2)").arg(classLabels().value(i),
                                                  missing ? QStringLiteral("brak katalogu klasy")
                                                          : QStringLiteral("nie obliczono jej wyników")));
    }
    // Classes not computed yet are the usual state of a school being typed; a class folder gone
    // is not, and the figures would pass the other classes off as the school.
    if (left.isEmpty() || left.size() == included.size() || !gone)
        return QString();
    return QStringLiteral("Wyniki szkoły policzono bez klas: %1.").arg(left.join(QStringLiteral(", ")));
}

QStringList SchoolSession::missingClassFolders(const QString &folder) const
{
    const SchoolFolder bare(folder, {}, {});
    ReadStatus status = ReadStatus::Ok;
    const SchoolFileReader reader = bare.readSchoolFile(&status);
    if (status != ReadStatus::Ok)
        return {};
    QStringList missing;
    for (int n = 1; n <= reader.classCount() && n <= 25; ++n) {
        const QString label = reader.label(n);
        if (!label.isEmpty() && !QFileInfo(SchoolPaths{folder, {label}}.classFolder(0)).isDir())
            missing.append(label);
    }
    return missing;
}

Outcome SchoolSession::makeMissingClassFolders()
{
    Outcome outcome;
    QStringList needed;
    for (int i = 0; i < classCount(); ++i)
        if (!QFileInfo(paths().classFolder(i)).isDir())
            needed.append(paths().classFolder(i));
    outcome.ok = makeFolders(needed, &outcome);
    return outcome;
}
