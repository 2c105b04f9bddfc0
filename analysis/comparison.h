// The school against the country: the facilities the regional exam boards publish for the country,
// the voivodeship, the district and the municipality, kept in the school's Porownanie.ini, read
// from what a teacher types into the grid, and compared with the school's own figures.
#pragma once

#include "analysis/testdefinition.h"
#include "files/inifile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

enum class Area { Kraj, Wojewodztwo, Powiat, Gmina };
constexpr int areaCount = 4;
constexpr std::array<Area, areaCount> allAreas{Area::Kraj, Area::Wojewodztwo, Area::Powiat, Area::Gmina};

// "kraj", "województwo", "powiat", "gmina".
QString areaName(Area area);
// The area's section of Porownanie.ini: "PorownanieKraj", …, "PorownanieGmina".
QString areaSection(Area area);

// One figure per area, in the order of allAreas; nullopt where the board published none.
using AreaFigures = std::array<std::optional<double>, areaCount>;

// The published facilities (fractions 0 to 1) of one test.
struct ComparisonFigures {
    QList<AreaFigures> tasks;     // tasks 1 to taskCount
    QList<AreaFigures> standards; // the counted standards, 1 to countedStandardCount
    AreaFigures wholeTest;

    // No figure at all, sized for the test.
    static ComparisonFigures emptyFor(const TestDefinition &test);
    // True when not a single figure is known.
    bool isEmpty() const;
};

// "Porownanie.ini", the file in the school folder.
QString comparisonFileName();

// The whole Porownanie.ini: the four sections, each with every key of the test (Zadanie1 to
// ZadanieN, Standard1 to StandardK, Test), in Windows-1250 with CR LF. A missing figure is written
// as an empty value, so that a figure the teacher cleared stays cleared even where Setup.ini has
// one; a figure that is no facility (not within 0 to 1) is written empty too, as it would be
// refused when read.
QByteArray comparisonFileBytes(const ComparisonFigures &figures, const TestDefinition &test);

// The figures for the test. A key present in the school's file wins, an empty value meaning no
// figure; a key it lacks is looked up in the same section of setupDefaults (Setup.ini), so that one
// Setup.ini can carry the figures of a whole municipality. A value that is no number from 0 to 1
// is dropped and described in *problems, in Polish, naming the file, the section and the key.
ComparisonFigures readComparison(const IniFile &file, const IniFile &setupDefaults,
                                 const TestDefinition &test, QStringList *problems);

// What a teacher types or pastes into a cell of the grid: "0,57", "0.57", " 0,5 " or "57%".
// Empty gives nullopt and an empty *error; anything else that is no facility gives nullopt and a
// Polish *error.
std::optional<double> parseFacilityText(const QString &text, QString *error);
// A figure for the grid: "0,57", "0,50", and up to four decimals when it has them ("0,6125"), so
// that what the file holds survives being shown and read back; empty for a value that is no number.
QString facilityText(double facility);

// How far the school's facility lies from the area's, in percentage points, rounded half away from
// zero: 0.62 against 0.57 gives 5.
int differenceInPoints(double own, double area);
// "+3", "−5" (with the minus sign U+2212), "0".
QString signedPoints(int difference);
// True when the school lies at least threshold points below the area.
bool markedBelow(int difference, int threshold);
