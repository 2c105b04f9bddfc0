// A class's sheet as typed, with symbols in the keyed closed tasks, against the two files it is kept
// in: the answers file holds the points the key gives, Wybory.tmp the symbols.
#pragma once

#include "analysis/testdefinition.h"
#include "core/closedanswers.h"
#include "files/gridfile.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

using ClassChoices = QList<QList<ChosenAnswer>>; // per pupil row (from 1), one per task

// The sheet with each keyed cell of symbols replaced by the points they give (every other cell, one
// the key refuses included, as typed), and Wybory.tmp's rows: for rows 1 to pupilCount the code,
// then per task the symbols chosen in a keyed task's cell (upper case), empty otherwise. Each cell
// is read once: Compute writes both at every click.
struct SheetFiles {
    GridRows points;
    GridRows choices;
};
SheetFiles sheetFiles(const GridRows &sheet, qint32 pupilCount, const TestDefinition &test);

// Wybory.tmp's rows read against the answers file's rows (row 0 its headings): per pupil what is
// known of the symbols chosen. An empty field beside an empty points cell is no answer; beside
// points, the symbols are unknown. Nullopt with a Polish reason when the file does not belong to the
// class's points: other pupils, another test, symbols the key refuses or that give other points.
std::optional<ClassChoices> readClassChoices(const QList<QList<QStringView>> &choices,
                                             const GridRows &pointRows, qint32 pupilCount,
                                             const TestDefinition &test, QString *problem);

// The known symbols written over the sheet's points cells, as the teacher typed them.
void putChoices(GridRows *sheet, const ClassChoices &choices, const TestDefinition &test);
