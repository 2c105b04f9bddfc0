// The whole-number conversion behind every typed or stored integer (parseInteger, strToInt,
// cellTextAsInteger), and the decimal reading and writing of the statistics files (parseDecimal,
// formatFixed2, formatSchoolValue), checked against a plain model of the accepted forms.
#include "core/cp1250.h"
#include "core/errors.h"
#include "core/numbers.h"
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

bool isAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7F)
            return false;
    }
    return true;
}

// What parseInteger should give, worked out on the bytes with the standard library.
std::optional<qint32> expectedInteger(const QString &text)
{
    if (!isAscii(text))
        return std::nullopt;
    const std::string s = text.toStdString();
    std::size_t i = s.find_first_not_of(' ');
    if (i == std::string::npos)
        return std::nullopt;
    bool negative = false;
    if (s[i] == '+' || s[i] == '-')
        negative = s[i++] == '-';
    int base = 10;
    if (s.compare(i, 1, "$") == 0 || s.compare(i, 1, "x") == 0 || s.compare(i, 1, "X") == 0) {
        base = 16;
        i += 1;
    } else if (s.compare(i, 2, "0x") == 0 || s.compare(i, 2, "0X") == 0) {
        base = 16;
        i += 2;
    }
    std::string digits = s.substr(std::min(i, s.size()));
    if (digits.empty())
        return std::nullopt;
    for (const char c : digits) {
        const bool ok =
            base == 16 ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : (c >= '0' && c <= '9');
        if (!ok)
            return std::nullopt;
    }
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
    if (digits.size() > 10)
        return std::nullopt;
    const std::uint64_t magnitude = std::strtoull(digits.c_str(), nullptr, base);
    if (base == 16) {
        if (magnitude > 0xFFFFFFFFull)
            return std::nullopt;
        const auto bits = static_cast<std::uint32_t>(negative ? (0x100000000ull - magnitude) : magnitude);
        return static_cast<qint32>(bits);
    }
    if (magnitude > (negative ? 2147483648ull : 2147483647ull))
        return std::nullopt;
    return static_cast<qint32>(negative ? -static_cast<std::int64_t>(magnitude)
                                        : static_cast<std::int64_t>(magnitude));
}

void checkInteger(const QString &text)
{
    const std::optional<qint32> value = parseInteger(text);
    if (value != expectedInteger(text))
        fail("parseInteger disagrees with the model", text);

    std::optional<qint32> thrown;
    try {
        thrown = strToInt(text);
    } catch (const ConvertError &) {
    }
    if (thrown != value)
        fail("strToInt disagrees with parseInteger", text);

    const bool emptyCell = text.isEmpty() || text == u" " || text == u"-";
    std::optional<qint32> cell;
    try {
        cell = cellTextAsInteger(text);
    } catch (const ConvertError &) {
    }
    if (cell != (emptyCell ? std::optional<qint32>(0) : value))
        fail("cellTextAsInteger disagrees with strToInt", text);

    if (!value)
        return;
    // Whatever was read is written back and read again unchanged, in decimal and hexadecimal.
    if (parseInteger(QString::number(*value)) != value)
        fail("decimal round trip", text);
    if (parseInteger(QStringLiteral("$") + QString::number(quint32(*value), 16)) != value)
        fail("hexadecimal round trip", text);
}

// [+-]digits[.digits] with at least one digit, ASCII only.
bool hasDecimalForm(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("\\A[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)\\z"));
    return isAscii(text) && form.match(text).hasMatch();
}

void checkDecimal(const QString &text)
{
    const std::optional<double> value = parseDecimal(text);
    const bool form = hasDecimalForm(text);
    if (value && !form)
        fail("parseDecimal took a text of another form", text);
    if (form) {
        errno = 0;
        const std::string s = text.toStdString();
        const double reference = std::strtod(s.c_str(), nullptr);
        const bool inRange = errno != ERANGE && std::isfinite(reference);
        if (inRange && (!value || *value != reference))
            fail("parseDecimal gives another value than strtod", text);
    }
    if (!value)
        return;
    if (!std::isfinite(*value))
        fail("parseDecimal gave a value that is not finite", text);

    // "%4.2f" is read back within half a hundredth.
    const QByteArray fixed = formatFixed2(*value);
    const std::optional<double> back = parseDecimal(QString::fromLatin1(fixed).trimmed());
    if (!back || std::fabs(*back - *value) > 0.005 + std::fabs(*value) * 1e-15)
        fail("formatFixed2 does not read back", text);

    // The school grid's figures: four significant digits, but never fewer than two decimals.
    if (std::fabs(*value) > double(std::numeric_limits<float>::max()))
        return;
    const float single = float(*value);
    const QString shown = formatSchoolValue(single);
    static const QRegularExpression shownForm(QStringLiteral("\\A-?[0-9]+\\.[0-9][0-9]\\z"));
    if (!shownForm.match(shown).hasMatch())
        fail("formatSchoolValue wrote an unexpected form", text);
    const std::optional<double> shownValue = parseDecimal(shown);
    const double tolerance = std::max(0.005, std::fabs(double(single)) * 5e-4) * (1 + 1e-9);
    if (!shownValue || std::fabs(*shownValue - double(single)) > tolerance)
        fail("formatSchoolValue is off by more than its rounding", text);
}

void check(const QString &text)
{
    checkInteger(text);
    checkDecimal(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Grid cells and Setup.ini values come from Windows-1250 files and from typing.
    return fuzz::checkAsText(data, size, check);
}
