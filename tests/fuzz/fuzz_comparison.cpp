// The comparison figures of the "Dane porównawcze" window: the school's Porownanie.ini (with
// Setup.ini's defaults) read, shown and saved, and the cells a teacher types or pastes parsed,
// shown and saved. The input is Porownanie.ini, then after a "@@SETUP@@" line Setup.ini; every line
// and tab-separated cell of it is also tried as typed text.
#include "analysis/comparison.h"
#include "analysis/testdefinition.h"
#include "core/cells.h"
#include "core/cp1250.h"
#include "files/inifile.h"
#include "tests/fuzz/fuzzsupport.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace {

using fuzz::fail;
using fuzz::require;

// What the file can hold of a figure: four decimals.
constexpr double fileStep = 0.00005 + 1e-12;

void checkFigure(const std::optional<double> &figure)
{
    if (figure)
        require(std::isfinite(*figure) && *figure >= 0.0 && *figure <= 1.0 && !std::signbit(*figure),
                "an accepted figure that is no facility", QString::number(*figure, 'g', 17));
}

template <typename Each> void forEachFigure(const ComparisonFigures &figures, Each each)
{
    for (const AreaFigures &row : figures.tasks)
        for (const std::optional<double> &figure : row)
            each(figure);
    for (const AreaFigures &row : figures.standards)
        for (const std::optional<double> &figure : row)
            each(figure);
    for (const std::optional<double> &figure : figures.wholeTest)
        each(figure);
}

QList<std::optional<double>> flat(const ComparisonFigures &figures)
{
    QList<std::optional<double>> all;
    all.reserve((figures.tasks.size() + figures.standards.size() + 1) * areaCount);
    forEachFigure(figures, [&](const std::optional<double> &f) { all.append(f); });
    return all;
}

// Figures shown in the window's cells and parsed back, as the window saves them.
ComparisonFigures throughGrid(const ComparisonFigures &figures)
{
    ComparisonFigures shown = figures;
    auto pass = [](AreaFigures &row) {
        for (std::optional<double> &figure : row) {
            if (!figure)
                continue;
            const QString text = facilityText(*figure);
            require(asTypedCell(text) == text, "a figure the grid cannot hold", text);
            QString error;
            figure = parseFacilityText(text, &error);
            require(figure.has_value() && error.isEmpty(), "a shown figure refused", text);
        }
    };
    for (AreaFigures &row : shown.tasks)
        pass(row);
    for (AreaFigures &row : shown.standards)
        pass(row);
    pass(shown.wholeTest);
    return shown;
}

// Saved and read again: the same figures, and no problem.
void checkSaved(const ComparisonFigures &figures, const TestDefinition &test)
{
    const QByteArray bytes = comparisonFileBytes(figures, test);
    require(bytes.startsWith("[PorownanieKraj]\r\n") && bytes.count("[Porownanie") == 4, "odd file");
    QStringList problems;
    const ComparisonFigures back = readComparison(IniFile::fromBytes(bytes), IniFile(), test, &problems);
    require(problems.isEmpty(), "saved figures refused", problems.join(u'|'));
    require(flat(back) == flat(figures), "saved figures read back otherwise");
    require(comparisonFileBytes(back, test) == bytes, "saved twice, written otherwise");
}

void checkSizes(const ComparisonFigures &figures, const TestDefinition &test)
{
    require(figures.tasks.size() == std::max(test.taskCount, 0) &&
                figures.standards.size() == test.countedStandardCount(),
            "figures not sized for the test");
}

std::optional<double> checkTyped(const QString &text)
{
    QString error;
    const std::optional<double> value = parseFacilityText(text, &error);
    if (text.trimmed().isEmpty()) {
        require(!value && error.isEmpty(), "an empty cell refused or read", text);
        return std::nullopt;
    }
    require(value.has_value() == error.isEmpty(), "a typed value both refused and read", text);
    if (!value)
        return std::nullopt;
    checkFigure(value);
    // What the cell shows reads as itself, and lies within the shown decimals of what was typed.
    const QString shown = facilityText(*value);
    QString again;
    const std::optional<double> reread = parseFacilityText(shown, &again);
    require(reread.has_value() && again.isEmpty() && facilityText(*reread) == shown, "shown figure unstable",
            shown);
    require(std::fabs(*reread - *value) <= fileStep, "shown figure far from the typed one", shown);
    const int difference = differenceInPoints(*reread, *value);
    require(difference >= -100 && difference <= 100 && !signedPoints(difference).isEmpty(),
            "difference beyond a hundred points");
    return reread;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype marker = bytes.indexOf("@@SETUP@@");
    const QByteArray own = marker < 0 ? bytes : bytes.first(marker);
    const QByteArray setup = marker < 0 ? QByteArray() : bytes.sliced(marker + 9);

    quint32 hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 16777619u;
    TestDefinition test;
    // Mostly tests of a usual size; now and then the largest, or none at all. The largest has five
    // times the rows of the others, and every input of it spends that on the same work.
    const quint32 kind = hash % 64;
    test.taskCount = kind == 0   ? TestDefinition::maxTaskCount
                     : kind <= 4 ? -int((hash >> 4) % 3)
                                 : int((hash >> 4) % 40);
    test.standardCount = int((hash >> 12) % 9) - 1;

    const IniFile ownFile = IniFile::fromBytes(own);
    const IniFile setupFile = IniFile::fromBytes(setup);
    QStringList problems;
    const ComparisonFigures read = readComparison(ownFile, setupFile, test, &problems);
    checkSizes(read, test);
    forEachFigure(read, checkFigure);
    for (const QString &problem : problems)
        require(!problem.isEmpty(), "an empty problem");

    // With no file of the school's own, Setup.ini's figures are the ones read.
    const ComparisonFigures fromSetup = readComparison(IniFile(), ownFile, test, nullptr);
    require(flat(fromSetup) == flat(readComparison(ownFile, IniFile(), test, nullptr)),
            "the same figures read otherwise from Setup.ini");

    // Shown in the window and saved as they are: read back the same.
    const ComparisonFigures shown = throughGrid(read);
    const QList<std::optional<double>> before = flat(read);
    const QList<std::optional<double>> after = flat(shown);
    for (qsizetype i = 0; i < before.size(); ++i)
        require(before[i].has_value() == after[i].has_value() &&
                    (!before[i] || std::fabs(*before[i] - *after[i]) <= fileStep),
                "a figure changed by showing it");
    checkSaved(shown, test);

    // Saved for another test (a Setup.ini of another edition): the rows both tests have keep their
    // figures, the others are empty.
    TestDefinition other;
    other.taskCount = int((hash >> 16) % 30);
    other.standardCount = int((hash >> 21) % 7);
    ComparisonFigures expected = ComparisonFigures::emptyFor(other);
    for (qsizetype t = 0; t < std::min(expected.tasks.size(), shown.tasks.size()); ++t)
        expected.tasks[t] = shown.tasks[t];
    for (qsizetype k = 0; k < std::min(expected.standards.size(), shown.standards.size()); ++k)
        expected.standards[k] = shown.standards[k];
    expected.wholeTest = shown.wholeTest;
    const ComparisonFigures otherBack =
        readComparison(IniFile::fromBytes(comparisonFileBytes(shown, other)), IniFile(), other, nullptr);
    require(flat(otherBack) == flat(expected), "figures saved for another test read back otherwise");

    // Every cell of the input as typed or pasted, in the file's code page and as any character,
    // placed in the test's rows and areas in order, then saved.
    fuzz::checkAsText(data, size, [&](const QString &text) {
        ComparisonFigures typed = ComparisonFigures::emptyFor(test);
        qsizetype slot = 0;
        for (const QStringList &row : parseCellBlock(text)) {
            for (const QString &cell : row) {
                // As given, and as the grid's typing leaves it for the window to read.
                checkTyped(cell);
                const std::optional<double> value = checkTyped(asTypedCell(cell));
                const qsizetype line = slot / areaCount;
                const std::size_t area = std::size_t(slot % areaCount);
                ++slot;
                if (line < typed.tasks.size())
                    typed.tasks[line][area] = value;
                else if (line - typed.tasks.size() < typed.standards.size())
                    typed.standards[line - typed.tasks.size()][area] = value;
                else if (line == typed.tasks.size() + typed.standards.size())
                    typed.wholeTest[area] = value;
            }
        }
        checkSaved(typed, test);
    });
    return 0;
}
