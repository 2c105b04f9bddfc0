// The optional sections of Setup.ini that tune the analysis, and what they decide: the facility
// bands and the stanine table for school means.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class IniFile;

constexpr int defaultComparisonThreshold = 5;

// Optional sections of Setup.ini that tune the analysis.
struct AnalysisSettings {
    // Lower bounds of the bands "trudne", "umiarkowanie trudne", "łatwe" and "bardzo łatwe";
    // below the first lies "bardzo trudne". Strictly rising, each within (0, 1].
    std::array<double, 4> bandBounds{0.20, 0.50, 0.70, 0.90};
    // That year's lower bounds of stanines 1 to 9 for a school's mean total points, rising; empty
    // when Setup.ini holds no usable table (the stanine is then not shown).
    QList<double> stanineBounds;
    // [StaninyUczniow]: the lower bounds of stanines 1 to 9 for a pupil's total points; empty
    // without a usable table (pupils' stanines are then not shown).
    QList<double> pupilStanineBounds;
    // [Porownanie] Prog: how many percentage points below the country a task or standard is marked.
    int comparisonThreshold = defaultComparisonThreshold;
    // Polish texts describing what was refused while reading; empty when all was well.
    QStringList problems;
};

// [StaninyUczniow] of Setup.ini: the lower bounds, in total points, of the pupil stanines 1 to 9,
// checked as the table of [Staniny] is (all nine, none negative, Stanin2 may equal Stanin1, the
// others strictly rising; comma or full stop). Empty without the section; empty and a Polish
// problem when it is there but unusable.
QList<double> loadPupilStanineBounds(const IniFile &setup, QStringList *problems);

// The threshold of markedBelow, [Porownanie] Prog in Setup.ini: a whole number from 1 to 100. Absent
// gives the default; unusable gives the default and a Polish problem.
int comparisonThreshold(const IniFile &setup, QStringList *problems);

// Reads the sections [PrzedzialyLatwosci] and [Staniny] of the file at iniPath. Missing sections
// give the defaults (usual bands, no stanines); unusable ones give the defaults and a problem.
AnalysisSettings loadAnalysisSettingsFrom(const QString &iniPath);

// The five bands, hardest first.
constexpr int bandCount = 5;
// The band of a facility, 0 ("bardzo trudne") to 4 ("bardzo łatwe"). The facility is first
// rounded to two decimals, so that the band always agrees with the figure printed beside it.
int bandOf(double facility, const AnalysisSettings &settings);
// "bardzo trudne", "trudne", "umiarkowanie trudne", "łatwe", "bardzo łatwe": the neuter forms
// that go with "zadanie".
QString bandName(int band);
// The masculine forms that go with "standard" and "test": "bardzo trudny", …, "bardzo łatwy".
QString bandNameMasculine(int band);
// The band's colour as "#rrggbb", from red (hardest) to green (easiest).
QString bandColour(int band);
// The bounds of a band as text, "0,00–0,19", "0,90–1,00", from the settings.
QString bandRange(int band, const AnalysisSettings &settings);
// The same bounds as figures, lowest and highest facility of the band.
struct BandBounds {
    double lower = 0;
    double upper = 0;
};
BandBounds bandBounds(int band, const AnalysisSettings &settings);

// The stanine (1 to 9) of a mean on the table of lower bounds; nullopt without a table.
std::optional<int> stanineOf(double mean, const QList<double> &stanineBounds);
// "najniższy", "bardzo niski", "niski", "niżej średni", "średni", "wyżej średni", "wysoki",
// "bardzo wysoki", "najwyższy".
QString stanineName(int stanine);

// A table of the lower bounds of stanines 1 to 9 from the keys Stanin1 to Stanin9 of a section:
// all nine, not negative, Stanin2 may equal Stanin1 and the others rise. Empty without the
// section; empty and *usable false when it is there but cannot be used.
QList<double> readStanineTable(const IniFile &ini, const QString &section, bool *usable);
