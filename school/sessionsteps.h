// What the school session's operations share: the writes that say a failure once, and the run of
// a step whose ending error is kept for the window. Only the session's sources include it.
#pragma once

#include "files/gridfile.h"
#include "school/outcome.h"
#include "school/schoolfolder.h"
#include "school/sharedfolder.h"

#include <QFileInfo>

// A file the folder could not write is said at once when it leads out of the school; otherwise,
// while a step writes several files, its name is kept and the names are said once at the end. The
// first gathering Writes of a step gathers for every write made in it.
namespace sessionsteps {

class Writes
{
public:
    Writes(Writes *&gathering, const QString &root, Outcome *outcome, bool gather)
        : m_gathering(gathering), m_root(root), m_outcome(outcome)
    {
        if (gather && !m_gathering)
            m_gathering = this;
    }
    ~Writes()
    {
        if (m_gathering == this)
            m_gathering = nullptr;
    }
    Writes(const Writes &) = delete;
    Writes &operator=(const Writes &) = delete;

    bool operator()(WriteStatus status, const QString &path)
    {
        if (status == WriteStatus::OutsideSchool)
            m_outcome->fileError(outsideSchoolMessage(path, m_root, true));
        else if (status == WriteStatus::Failed && m_gathering) {
            m_gathering->m_names.append(QFileInfo(path).fileName());
            if (m_gathering->m_failedPath.isEmpty())
                m_gathering->m_failedPath = path;
        } else if (status == WriteStatus::Failed) {
            m_outcome->fileError(withCause(cannotWriteText({}), path));
        }
        return status == WriteStatus::Ok;
    }

    // Said once, by the Writes that gathered them.
    void finish()
    {
        if (m_gathering != this)
            return;
        m_gathering = nullptr;
        if (!m_names.isEmpty())
            m_outcome->fileError(withCause(cannotWriteText(m_names), m_failedPath));
    }

private:
    // The teacher is told why, so that the next try can be made to work.
    static QString withCause(const QString &text, const QString &path)
    {
        return text + QStringLiteral("\n\n") + writeFailureCause(path);
    }

    Writes *&m_gathering;
    QString m_root;
    Outcome *m_outcome;
    QStringList m_names;
    QString m_failedPath;
};

// Runs a step that writes files; an error that ends it is kept for the window to show after the
// step's notices, as it would have been shown had the notices been shown at once.
template <typename Result, typename Body>
Result run(Writes *&gathering, const QString &root, bool gather, Body body)
{
    Result outcome;
    Writes writes(gathering, root, &outcome, gather);
    try {
        body(writes, outcome);
        writes.finish();
    } catch (...) {
        outcome.ok = false;
        outcome.error = std::current_exception();
    }
    return outcome;
}

// Fields beyond the grid's shape are dropped: no one reads them.
void putRows(GridRows *grid, const GridRows &rows, int firstCol, int firstRow);
// Empty cells, rows numbered in column 0 from row 1 on.
GridRows emptyGrid(int columns, int rows);
// A file that could not be read, said as the workbook says it.
void readFailure(ReadStatus status, const QString &path, const QString &root, Outcome *outcome);

} // namespace sessionsteps
