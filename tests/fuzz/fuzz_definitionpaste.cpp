// A block pasted into the definition window's task grid, as a spreadsheet puts it on the clipboard
// (tabs between cells, line breaks between rows). The first three bytes choose the task and the
// column it lands on and how many tasks the definition had; the rest is the block's text.
#include "analysis/testdefinition.h"
#include "analysis/testdefinitionfile.h"
#include "core/cells.h"
#include "tests/fuzz/fuzzsupport.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace {

using fuzz::require;

constexpr int columnCount = taskColumnCount;

// The same texts in the same memory: a task's cells as they were checked before.
bool sameCells(const DefinitionTask &a, const DefinitionTask &b)
{
    for (int c = 0; c < columnCount; ++c) {
        const QString &x = taskCell(a, TaskColumn(c));
        const QString &y = taskCell(b, TaskColumn(c));
        if (x.constData() != y.constData() || x.size() != y.size())
            return false;
    }
    return true;
}

// Whatever the grid holds passes its validator again, unchanged. A task still holding the very texts
// of the one at its place in `checked` (already checked) is not checked again.
void checkCells(const QList<DefinitionTask> &tasks, const QList<DefinitionTask> &checked = {})
{
    for (qsizetype t = 0; t < tasks.size(); ++t) {
        if (t < checked.size() && sameCells(tasks[t], checked[t]))
            continue;
        for (int c = 0; c < columnCount; ++c) {
            QString problem;
            const QString &cell = taskCell(tasks[t], TaskColumn(c));
            require(acceptedTaskCell(TaskColumn(c), cell, &problem) == cell && problem.isEmpty(),
                    "a cell in the grid fails its validator", cell);
        }
    }
}

// The new definition of each size, made (and its cells checked) once for the run: the window makes
// the same one every time.
const TestDefinitionFile &newDefinition(int taskCount)
{
    static std::array<std::optional<TestDefinitionFile>, TestDefinition::maxTaskCount + 1> made;
    std::optional<TestDefinitionFile> &definition = made.at(std::size_t(taskCount));
    if (!definition) {
        definition = newTestDefinitionFile(taskCount);
        checkCells(definition->tasks);
    }
    return *definition;
}

// Reconciled, the sums agree; only keys may refuse a definition of sound cells; and written and read
// again, it is the same definition (answers without a key are not written).
void checkWhole(TestDefinitionFile definition)
{
    const int count = int(definition.tasks.size());
    reconcileSums(&definition);
    require(checkSums(definition).mismatches.isEmpty(), "sums disagree after reconciling");
    const QStringList problems = definitionProblems(definition);
    // Sound cells may still make a key the task cannot take (a key on an open task, one beyond its
    // answers), or leave a standard between those used without a task: only that may refuse it.
    const bool onlyKeys = std::all_of(problems.begin(), problems.end(), [](const QString &problem) {
        return problem.contains(QStringLiteral(", Klucz: ")) ||
               problem.contains(QStringLiteral("nie ma żadnego zadania"));
    });
    require(count == 0 ? !problems.isEmpty() : onlyKeys, "a definition of sound cells has problems",
            [&problems] { return problems.join(u'\n'); });
    if (!problems.isEmpty())
        return;
    // Written and read again, it is the same definition (answers without a key are not written).
    const QByteArray written = testDefinitionFileBytes(definition);
    const TestDefinitionFile again = readTestDefinitionFile(written);
    require(again.tasks.size() == count, "the task count reads back otherwise");
    for (int t = 0; t < count; ++t) {
        const DefinitionTask &a = std::as_const(definition.tasks)[t];
        const DefinitionTask &b = again.tasks[t];
        require(a.label == b.label && a.points == b.points && a.standard == b.standard &&
                    a.closed == b.closed && a.key == b.key && (a.key.isEmpty() || a.answers == b.answers),
                "a task reads back otherwise", a.label);
    }
    require(testDefinitionFileBytes(again) == written, "written again the bytes differ");
}

// Whether the paste left the tasks (the very texts) and the standard count as they were: nothing
// else of a definition does a paste touch.
bool unchanged(const TestDefinitionFile &definition, const TestDefinitionFile &before)
{
    if (definition.tasks.size() != before.tasks.size() || definition.standardCount != before.standardCount)
        return false;
    for (qsizetype t = 0; t < before.tasks.size(); ++t) {
        if (!sameCells(definition.tasks.at(t), before.tasks.at(t)))
            return false;
    }
    return true;
}

void checkPaste(const QString &text, int firstTask, TaskColumn firstColumn, int startCount)
{
    const QList<QStringList> rows = parseCellBlock(text);
    const TestDefinitionFile &before = newDefinition(startCount);
    TestDefinitionFile definition = before;
    const TaskPaste paste = pasteTasks(&definition, rows, firstTask, firstColumn);

    const int limit = TestDefinition::maxTaskCount;
    const int placed = std::clamp(limit - firstTask, 0, int(rows.size()));
    const int count = int(definition.tasks.size());
    require(count <= limit, "more tasks than the limit");
    require(count == std::max(int(before.tasks.size()), placed > 0 ? firstTask + placed : 0),
            "the tasks did not grow to the block");
    require(paste.tasksAdded == count - int(before.tasks.size()), "tasks added miscounted");
    require(paste.rowsLeftOut == int(rows.size()) - placed, "rows left out miscounted");

    // Each cell of the block is either taken as its validator accepts it or reported and left alone.
    int refused = 0;
    int changed = 0;
    int columnsLeftOut = 0;
    for (int r = 0; r < placed; ++r) {
        const int t = firstTask + r;
        const QStringList &cells = rows[r];
        columnsLeftOut = std::max(columnsLeftOut, int(cells.size()) - (columnCount - int(firstColumn)));
        for (int c = 0; c < cells.size() && int(firstColumn) + c < columnCount; ++c) {
            auto column = TaskColumn(int(firstColumn) + c);
            // The definition has no requirements: a code is refused, and a yes or no that ends the
            // row is meant for "Za część", as blocks laid out before requirements have it.
            QString ignored;
            if (column == TaskColumn::Requirements && c + 1 == cells.size() &&
                !cells[c].trimmed().isEmpty() &&
                !acceptedTaskCell(TaskColumn::PointPerPart, cells[c], &ignored).isEmpty())
                column = TaskColumn::PointPerPart;
            DefinitionTask earlier = t < before.tasks.size() ? before.tasks[t] : DefinitionTask();
            if (t >= before.tasks.size())
                earlier.label = QStringLiteral("Zad.%1").arg(t + 1);
            QString problem;
            const QString accepted = column == TaskColumn::Requirements
                                         ? acceptedRequirementsCell(before, cells[c], &problem)
                                         : acceptedTaskCell(column, cells[c], &problem);
            const QString now = taskCell(std::as_const(definition.tasks)[t], column);
            // A key left without answers gets those it implies.
            const QString &key = std::as_const(definition.tasks)[t].key;
            const auto filled = [&](const QString &value) {
                return column == TaskColumn::Answers && value.isEmpty() && !key.isEmpty()
                           ? closedanswers::defaultAnswers(key)
                           : value;
            };
            if (problem.isEmpty()) {
                require(now == filled(accepted), "an accepted cell was not taken as accepted", cells[c]);
                changed += accepted != taskCell(earlier, column) ? 1 : 0;
            } else {
                require(accepted.isEmpty(), "a refused cell has an accepted text", cells[c]);
                require(now == filled(taskCell(earlier, column)), "a refused cell changed the task",
                        cells[c]);
                ++refused;
            }
        }
    }
    require(paste.refused.size() == refused, "a refused cell was not reported");
    require(paste.cellsChanged == changed, "changed cells miscounted");
    require(paste.columnsLeftOut == columnsLeftOut, "columns left out miscounted");

    checkCells(definition.tasks, before.tasks);

    // A paste that changed nothing leaves the new definition as the window made it: what follows
    // gives the same for it every time, and is checked the first time.
    static std::array<bool, TestDefinition::maxTaskCount + 1> newChecked{};
    if (unchanged(definition, before)) {
        if (newChecked.at(std::size_t(startCount)))
            return;
        newChecked.at(std::size_t(startCount)) = true;
    }
    checkWhole(std::move(definition));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 3)
        return 0;
    // Mostly definitions of up to 40 tasks, and one byte in thirteen near the limit of 200 (a paste
    // up to a little beyond it, so that rows are left out too): checking a definition costs as
    // many tasks as it has, and the counts between behave as their neighbours do.
    const auto nearLimit = [](std::uint8_t byte, int highest) {
        return byte >= 190 && byte <= highest ? int(byte) : byte % 41;
    };
    static_assert(TestDefinition::maxTaskCount == 200);
    const int firstTask = nearLimit(data[0], TestDefinition::maxTaskCount + 9);
    const auto firstColumn = TaskColumn(data[1] % columnCount);
    const int startCount = nearLimit(data[2], TestDefinition::maxTaskCount);
    return fuzz::checkAsText(data + 3, size - 3, [&](const QString &text) {
        checkPaste(text, firstTask, firstColumn, startCount);
    });
}
