#include "analysis/classchoices.h"

#include "core/cells.h"
#include "core/numbers.h"

namespace {
QString cellAt(const GridRows &rows, qsizetype row, qsizetype column)
{
    return row < rows.size() && column < rows[row].size() ? rows[row][column] : QString();
}

QString codeOf(const QString &cell)
{
    const QString code = cell.trimmed();
    return code == u"-" ? QString() : code;
}

QString rowProblem(qsizetype row, const QString &what)
{
    return QStringLiteral("wiersz %1: %2").arg(row).arg(what);
}

// One pupil's line of Wybory.tmp against the points of the same row.
std::optional<QList<ChosenAnswer>> readPupilChoices(const QList<QStringView> &line, const GridRows &pointRows,
                                                    qsizetype r, const TestDefinition &test, QString *problem)
{
    if (line.size() != test.taskCount + 1) {
        *problem = rowProblem(
            r, QStringLiteral("pól jest %1, a powinno być %2").arg(line.size()).arg(test.taskCount + 1));
        return std::nullopt;
    }
    if (codeOf(line[0].toString()) != codeOf(cellAt(pointRows, r, 1))) {
        *problem = rowProblem(
            r, QStringLiteral("kod ucznia „%1” nie zgadza się z kodem w pliku wyników").arg(line[0]));
        return std::nullopt;
    }
    QList<ChosenAnswer> pupil(test.taskCount);
    const QStringList noPoints;
    const QString noPoint;
    const QStringList &pointsRow = r < pointRows.size() ? pointRows[r] : noPoints;
    for (qint32 t = 0; t < test.taskCount; ++t) {
        const QStringView field = line[t + 1];
        const QString &points = t + 3 < pointsRow.size() ? pointsRow[t + 3] : noPoint;
        if (!test.isKeyed(t)) {
            if (!field.isEmpty()) {
                *problem = rowProblem(r, QStringLiteral("zadanie %1 nie ma klucza, a ma wpisaną odpowiedź")
                                             .arg(test.taskLabels.value(t)));
                return std::nullopt;
            }
            continue;
        }
        if (field.isEmpty()) {
            // Beside points the symbols were never typed; beside nothing the pupil left the task.
            pupil[t].known = isBlankCell(points);
            continue;
        }
        const TaskKey &key = test.keyOf(t);
        const std::optional<ChosenAnswer> answer = closedanswers::readChosenField(field, key);
        const std::optional<qint32> typed =
            isBlankCell(points) ? std::optional<qint32>(0) : parseInteger(points);
        if (!answer || answer->parts == 0 ||
            typed != closedanswers::pointsFor(key, *answer, test.taskMaxPoints.value(t))) {
            *problem = rowProblem(r, QStringLiteral("odpowiedź „%1” w zadaniu %2 nie zgadza się z kluczem "
                                                    "albo z punktami w pliku wyników")
                                         .arg(field.toString(), test.taskLabels.value(t)));
            return std::nullopt;
        }
        pupil[t] = *answer;
    }
    return pupil;
}
} // namespace

SheetFiles sheetFiles(const GridRows &sheet, qint32 pupilCount, const TestDefinition &test)
{
    SheetFiles files{sheet, {}};
    if (!test.hasKeys())
        return files;
    // Points of a few sizes recur in every row: made once.
    QStringList numbers;
    const auto number = [&numbers](qint32 points) {
        while (numbers.size() <= points && points <= TestDefinition::maxTaskPoints)
            numbers.append(QString::number(numbers.size()));
        return points <= TestDefinition::maxTaskPoints ? numbers[points] : QString::number(points);
    };
    files.choices.reserve(pupilCount);
    for (qint32 r = 1; r <= pupilCount; ++r) {
        QStringList line{codeOf(cellAt(sheet, r, 1))};
        line.reserve(test.taskCount + 1);
        for (qint32 t = 0; t < test.taskCount; ++t) {
            const TaskKey &key = test.keyOf(t);
            const ClosedCell cell =
                key.isKeyed() ? readClosedCell(cellAt(sheet, r, t + 3), key) : ClosedCell{};
            const bool chosen = cell.kind == ClosedCell::Kind::Chosen;
            line.append(chosen ? cell.chosen : QString());
            if (chosen && !cell.chosen.isEmpty() && r < files.points.size() && t + 3 < files.points[r].size())
                files.points[r][t + 3] =
                    number(closedanswers::pointsFor(key, cell.chosen, test.taskMaxPoints.value(t)));
        }
        files.choices.append(line);
    }
    return files;
}

std::optional<ClassChoices> readClassChoices(const QList<QList<QStringView>> &choices,
                                             const GridRows &pointRows, qint32 pupilCount,
                                             const TestDefinition &test, QString *problem)
{
    if (choices.size() != pupilCount) {
        *problem = QStringLiteral("wierszy uczniów jest %1, a klasa ma %2 uczniów")
                       .arg(choices.size())
                       .arg(pupilCount);
        return std::nullopt;
    }
    ClassChoices classChoices;
    classChoices.reserve(pupilCount);
    for (qint32 r = 1; r <= pupilCount; ++r) {
        std::optional<QList<ChosenAnswer>> pupil =
            readPupilChoices(choices[r - 1], pointRows, r, test, problem);
        if (!pupil)
            return std::nullopt;
        classChoices.append(std::move(*pupil));
    }
    return classChoices;
}

void putChoices(GridRows *sheet, const ClassChoices &choices, const TestDefinition &test)
{
    for (qsizetype p = 0; p < choices.size() && p + 1 < sheet->size(); ++p) {
        QStringList &row = (*sheet)[p + 1];
        for (qint32 t = 0; t < test.taskCount && t + 3 < row.size(); ++t)
            if (choices[p].value(t).known && choices[p][t].parts > 0)
                row[t + 3] = closedanswers::chosenText(choices[p][t], test.keyOf(t));
    }
}
