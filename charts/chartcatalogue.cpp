#include "charts/chartcatalogue.h"

#include "core/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>

namespace charts {
const Chart *chartAt(Mode mode, int tabIndex)
{
    if (tabIndex < 0 || tabIndex >= chartCount(mode))
        return nullptr;
    return mode == Mode::School ? &schoolCharts[tabIndex] : &classCharts[tabIndex];
}

int chartCount(Mode mode)
{
    return mode == Mode::School ? int(std::size(schoolCharts)) : int(std::size(classCharts));
}

float textToFloat(const QString &text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text.at(first) == u' ')
        ++first;
    while (end > first && text.at(end - 1) == u' ')
        --end;
    const QStringView number = QStringView(text).sliced(first, end - first);
    if (number.isEmpty() || decimalFormLength(number, true) != number.size())
        throw FloatConvertError(text);

    QByteArray ascii = text.mid(first, end - first).toLatin1();
    if (ascii.startsWith('+'))
        ascii.remove(0, 1);
    double value = 0;
    const auto [stop, error] = std::from_chars(ascii.constData(), ascii.constData() + ascii.size(), value);
    // Refused only when single precision would round it to infinity: the largest float written
    // with nine digits (3.40282347e+38) lies a little above it and must still read back.
    constexpr double largest = double(std::numeric_limits<float>::max());
    constexpr double roundsToInfinity = largest + 0x1p103; // half a unit in the last place
    if (error != std::errc() || stop != ascii.constData() + ascii.size() ||
        std::fabs(value) >= roundsToInfinity)
        throw FloatConvertError(text);
    return float(std::clamp(value, -largest, largest));
}

float barValue(const QString &cell)
{
    // The charts' own missing-value rule: an absent pupil's "--" too, but not one blank, which is
    // no number here.
    if (cell.isEmpty() || cell == u"-" || cell == u"--")
        return 0.0f;
    return textToFloat(cell);
}

qint32 largestValue(const QList<qint32> &values, qint32 count)
{
    qint32 largest = 0;
    for (qint32 i = 0; i < count && i < values.size(); ++i)
        largest = std::max(largest, values[i]);
    return largest;
}

namespace {

bool testHasStandard(const Chart &chart, const TestDefinition &test)
{
    return chart.standard == 0 || chart.standard <= test.standardCount;
}

QString cellOf(const GridRows &rows, int column, int row)
{
    return row >= 0 && row < rows.size() && column >= 0 ? rows[row].value(column) : QString();
}

// The rows of the school page that hold the classes' and the school's values.
int classRow(const Chart &chart, int classIndex)
{
    return 2 * classIndex + (chart.rows == Rows::Average ? 1 : 2);
}

int schoolRow(const Chart &chart, const GridRows &rows)
{
    return int(rows.size()) - (chart.rows == Rows::Average ? 2 : 1);
}

} // namespace

QList<Bar> barsOf(const Chart &chart, const ChartData &data, QList<Bar> *drawn)
{
    QList<Bar> local;
    QList<Bar> &bars = drawn ? *drawn : local;
    bars.clear();
    const TestDefinition &test = data.test;
    if (!testHasStandard(chart, test))
        return bars;
    switch (chart.bars) {
    case Bars::Pupils: {
        const qint32 pupils = data.mode == Mode::Class ? data.pupilCount : 0;
        for (int p = 1; p <= pupils; ++p)
            bars.append({barValue(cellOf(data.lowerGrid, chart.column, p)), QString::number(p)});
        break;
    }
    case Bars::SchoolTasks: {
        const int row = schoolRow(chart, data.upperGrid);
        for (int t = 1; t <= test.taskCount; ++t)
            bars.append(
                {barValue(cellOf(data.upperGrid, chart.column + t - 1, row)), test.taskLabels.value(t - 1)});
        break;
    }
    case Bars::ClassesAndSchool: {
        for (int i = 0; i < data.classCount; ++i)
            bars.append({barValue(cellOf(data.lowerGrid, chart.column, classRow(chart, i))),
                         data.classLabels.value(i)});
        // The school's bar is converted as it stands: a school row without a number ends the drawing.
        bars.append({textToFloat(cellOf(data.lowerGrid, chart.column, schoolRow(chart, data.lowerGrid))),
                     schoolBarLabel.toString()});
        break;
    }
    }
    return bars;
}

double axisMaximum(const Chart &chart, const TestDefinition &test)
{
    switch (chart.maximum) {
    case Maximum::TotalPoints:
        return test.maxTotalPoints;
    case Maximum::StandardPoints:
        return testHasStandard(chart, test) ? test.standardMaxPoints.value(chart.standard - 1) : 0;
    case Maximum::LargestTaskPoints:
        return largestValue(test.taskMaxPoints, test.taskCount);
    case Maximum::One:
        return 1;
    }
    return 0;
}

QString titleOf(const Chart &chart, const TestDefinition &test)
{
    QString title = chart.title.toString();
    if (chart.standard > 0 && testHasStandard(chart, test))
        title += test.standardDescriptions.value(chart.standard - 1);
    return title;
}

QString bottomTitleOf(const Chart &chart, const ChartData &data)
{
    QString title = chart.bottomTitle.toString();
    if (title.contains(u"%1"))
        title = title.arg(data.classLabel);
    return title;
}

} // namespace charts
