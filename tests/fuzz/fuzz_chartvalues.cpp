// How the chart window reads a bar's value from a grid cell (charts::textToFloat, charts::barValue),
// checked against a plain model of the accepted form and against strtod.
#include "charts/chartcatalogue.h"
#include "core/cp1250.h"
#include "tests/fuzz/fuzzsupport.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QString>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

namespace {

using fuzz::fail;
using fuzz::require;

std::optional<float> converted(float (*convert)(const QString &), const QString &text)
{
    try {
        return convert(text);
    } catch (const FloatConvertError &) {
        return std::nullopt;
    }
}

// Blanks around, a sign, digits with at most one full stop, an optional exponent; ASCII only.
bool hasNumberForm(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("\\A *[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)? *\\z"));
    for (const QChar c : text) {
        if (c.unicode() > 0x7F)
            return false;
    }
    return form.match(text).hasMatch();
}

void check(const QString &text)
{
    const std::optional<float> value = converted(charts::textToFloat, text);
    const bool form = hasNumberForm(text);
    if (value && !form)
        fail("textToFloat took a text of another form", text);
    if (form) {
        errno = 0;
        const std::string s = text.trimmed().toStdString();
        const double reference = std::strtod(s.c_str(), nullptr);
        const bool fits =
            errno != ERANGE && std::fabs(reference) <= double(std::numeric_limits<float>::max());
        if (fits && (!value || *value != float(reference)))
            fail("textToFloat gives another value than strtod", text);
    }

    const bool zeroCell = text.isEmpty() || text == u"--" || text == u"-";
    const std::optional<float> bar = converted(charts::barValue, text);
    if (bar != (zeroCell ? std::optional<float>(0.0f) : value))
        fail("barValue disagrees with textToFloat", text);

    if (!value)
        return;
    if (!std::isfinite(*value))
        fail("textToFloat gave a value that is not finite", text);
    // Nine significant digits name a float exactly: the value written so is read back unchanged.
    const QString written = QString::number(double(*value), 'g', 9);
    if (converted(charts::textToFloat, written) != value)
        fail("round trip through QString::number", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Grid cells and Setup.ini values come from Windows-1250 files and from typing.
    return fuzz::checkAsText(data, size, check);
}
