#include "chartcatalogue.h"

#include "numbers.h"

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
    if (cell.isEmpty() || cell == u"--" || cell == u"-")
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

} // namespace charts
