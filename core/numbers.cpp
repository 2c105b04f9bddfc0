#include "core/numbers.h"

#include "core/cells.h"

#include "core/errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace {

int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

} // namespace

std::optional<qint32> parseInteger(const QString &text)
{
    // Most numbers in the files are one digit: a lone character is that digit or nothing.
    if (text.size() == 1) {
        if (!isAsciiDigit(text.front()))
            return std::nullopt;
        return qint32(text.front().unicode() - u'0');
    }
    // Walked with pointers: every number the program reads passes here.
    const QChar *c = text.cbegin();
    const QChar *const end = text.cend();
    while (c != end && *c == u' ')
        ++c;
    bool negative = false;
    if (c != end && (*c == u'+' || *c == u'-')) {
        negative = *c == u'-';
        ++c;
    }
    bool hex = false;
    if (c != end && (*c == u'$' || *c == u'x' || *c == u'X')) {
        hex = true;
        ++c;
    } else if (end - c >= 2 && c[0] == u'0' && (c[1] == u'x' || c[1] == u'X')) {
        hex = true;
        c += 2;
    }
    if (c == end)
        return std::nullopt;

    if (hex) {
        quint64 value = 0;
        for (; c != end; ++c) {
            const int digit = hexDigitValue(*c);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + quint64(digit);
            if (value > 0xFFFFFFFFu)
                return std::nullopt;
        }
        // Eight hexadecimal digits are a bit pattern: FFFFFFFF is -1, and a sign negates that.
        quint32 bits = quint32(value);
        if (negative)
            bits = 0u - bits;
        return qint32(bits);
    }

    quint64 value = 0;
    for (; c != end; ++c) {
        if (!isAsciiDigit(*c))
            return std::nullopt;
        value = value * 10 + quint64(c->unicode() - u'0');
        if (value > 2147483648u)
            return std::nullopt;
    }
    if (!negative && value > 2147483647u)
        return std::nullopt;
    return qint32(negative ? -qint64(value) : qint64(value));
}

qint32 strToInt(const QString &text)
{
    const std::optional<qint32> value = parseInteger(text);
    if (!value)
        throw ConvertError(text);
    return *value;
}

qint32 cellTextAsInteger(const QString &text)
{
    if (isBlankCell(text))
        return 0;
    return strToInt(text);
}

qsizetype decimalFormLength(QStringView text, bool exponentAllowed)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && isAsciiDigit(text.at(i))) {
        ++i;
        ++digits;
    }
    if (i < n && text.at(i) == u'.') {
        ++i;
        while (i < n && isAsciiDigit(text.at(i))) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (exponentAllowed && i < n && (text.at(i) == u'e' || text.at(i) == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text.at(j) == u'+' || text.at(j) == u'-'))
            ++j;
        const qsizetype exponentStart = j;
        while (j < n && isAsciiDigit(text.at(j)))
            ++j;
        if (j == exponentStart)
            return 0;
        i = j;
    }
    return i;
}

std::optional<double> parseDecimal(const QString &text)
{
    if (text.isEmpty() || decimalFormLength(text, false) != text.size())
        return std::nullopt;
    const bool negative = text.front() == u'-';
    const bool hasSign = negative || text.front() == u'+';
    const QByteArray ascii = text.mid(hasSign ? 1 : 0).toLatin1();
    double value = 0;
    const auto [end, error] =
        std::from_chars(ascii.constData(), ascii.constData() + ascii.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != ascii.constData() + ascii.size())
        return std::nullopt;
    return negative ? -value : value;
}

QByteArray formatFixed2(double value)
{
    char buffer[400]; // the largest double has 309 digits before the point
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    QByteArray text = error == std::errc() ? QByteArray(buffer, end - buffer) : QByteArray();
    if (text.size() < 4)
        text.prepend(QByteArray(4 - text.size(), ' '));
    return text;
}

float checkedDivide(float numerator, float denominator)
{
    if (std::isnan(numerator) || std::isnan(denominator))
        throw InvalidFloatOperation();
    if (denominator == 0.0f) {
        if (numerator == 0.0f)
            throw InvalidFloatOperation();
        throw FloatDivisionByZero();
    }
    const float quotient = numerator / denominator;
    if (std::isnan(quotient)) // infinity divided by infinity
        throw InvalidFloatOperation();
    return quotient;
}

QString formatSchoolValue(float value)
{
    // Below 100 four significant digits keep both decimals, so the grid shows exactly what the
    // statistics file holds for the same value.
    if (!std::isfinite(value) || std::fabs(value) < 100.0f)
        return QString::fromLatin1(formatFixed2(value)).trimmed();

    // The exact decimal digits of the value (a float needs at most 112 of them), so that one
    // rounding, half away from zero, decides the result: a value is rounded to four significant
    // digits or to two decimals, whichever is coarser.
    const double magnitude = std::fabs(double(value));
    char buffer[200];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 120);
    const std::string scientific(buffer, result.ptr);
    const std::size_t exponentAt = scientific.find('e');
    const int exponent = std::stoi(scientific.substr(exponentAt + 1));
    std::string digits = scientific.substr(0, exponentAt);
    digits.erase(1, 1); // the decimal point after the first digit
    // digits[k] is worth 10^(exponent - k).

    // Digits kept: those down to 10^-2, but no more than four.
    const int kept = std::min(4, exponent + 3);
    quint64 mantissa = 0;
    for (int k = 0; k < kept; ++k)
        mantissa = mantissa * 10 + quint64(digits[std::size_t(k)] - '0');
    if (kept >= 0 && digits[std::size_t(kept)] >= '5')
        ++mantissa; // a carry to 10^kept is still the right number, with one digit more

    // The rounded value in hundredths, as decimal digits.
    std::string hundredths = std::to_string(mantissa);
    if (mantissa != 0) // below 0.005 nothing is kept and nothing carries
        hundredths.append(std::size_t(exponent + 3 - kept), '0');
    if (hundredths.size() < 3)
        hundredths.insert(0, 3 - hundredths.size(), '0');
    hundredths.insert(hundredths.size() - 2, 1, '.');

    QString text = QString::fromLatin1(hundredths.data(), qsizetype(hundredths.size()));
    if (value < 0 && mantissa != 0)
        text.prepend(u'-');
    return text;
}

double roundedUnits(double value, int decimals)
{
    const double scaled = value * std::pow(10.0, decimals); // powers of ten up to 10^15 are exact
    return std::round(scaled + std::copysign(1e-9 + std::fabs(scaled) * 1e-12, scaled));
}

qint64 hundredths(double value)
{
    if (std::isnan(value))
        return 0;
    // Far beyond any result; it keeps the count of hundredths within range.
    const float held = float(std::clamp(value, -1.0e12, 1.0e12));
    // The digits formatFixed2() writes, read where they are made: every figure passes here.
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, double(held), std::chars_format::fixed, 2);
    if (error != std::errc())
        return 0;
    qint64 units = 0;
    bool negative = false;
    for (const char *c = buffer; c != end; ++c) {
        if (*c >= '0' && *c <= '9')
            units = units * 10 + (*c - '0');
        negative = negative || *c == '-';
    }
    return negative ? -units : units;
}

double roundedToHundredths(double value)
{
    const std::string text = std::to_string(hundredths(value)) + "e-2";
    double result = 0;
    std::from_chars(text.data(), text.data() + text.size(), result);
    return result;
}

namespace {

// polishDecimal()'s figure, written from its last digit backwards into the end of `text`; the index
// of its first character, or -1 for a value beyond whole-number precision, which is written otherwise.
qsizetype polishDigits(char16_t (&text)[48], double value, int decimals)
{
    const double scaled = decimals == 2 && std::isfinite(value) && std::fabs(value) < 1.0e12
                              ? double(hundredths(value))
                              : roundedUnits(value, decimals);
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.0e15)
        return -1;
    // The digits, at least one before the comma: figures are printed by the thousand.
    const qint64 units = qint64(scaled);
    quint64 magnitude = units < 0 ? 0 - quint64(units) : quint64(units);
    qsizetype begin = qsizetype(std::size(text));
    int written = 0;
    do {
        if (decimals > 0 && written == decimals)
            text[--begin] = u',';
        text[--begin] = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
        ++written;
    } while (magnitude != 0 || written <= decimals);
    if (units < 0) // zero after rounding never carries a sign
        text[--begin] = u'-';
    return begin;
}

// Beyond whole-number precision: the exact digits of the value, still without a locale.
QString exactDigits(double value, int decimals)
{
    char buffer[400];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    QString text = error == std::errc() ? QString::fromLatin1(buffer, end - buffer) : QString();
    return text.replace(u'.', u',');
}

} // namespace

QString polishDecimal(double value, int decimals)
{
    decimals = std::clamp(decimals, 0, 15);
    char16_t text[48];
    const qsizetype begin = polishDigits(text, value, decimals);
    if (begin < 0)
        return exactDigits(value, decimals);
    return QStringView(text + begin, qsizetype(std::size(text)) - begin).toString();
}

void appendPolishDecimal(QString *text, double value, int decimals)
{
    decimals = std::clamp(decimals, 0, 15);
    char16_t digits[48];
    const qsizetype begin = polishDigits(digits, value, decimals);
    if (begin < 0)
        text->append(exactDigits(value, decimals));
    else
        text->append(QStringView(digits + begin, qsizetype(std::size(digits)) - begin));
}

NumberedName::NumberedName(QStringView name)
{
    Q_ASSERT(name.size() <= maxPrefix);
    m_size = qMin(name.size(), maxPrefix);
    std::copy_n(name.utf16(), m_size, m_text);
}

NumberedName::NumberedName(QStringView prefix, qint64 number) : NumberedName(prefix)
{
    quint64 magnitude = number < 0 ? 0 - quint64(number) : quint64(number);
    if (number < 0)
        m_text[m_size++] = u'-';
    qsizetype digits = 1;
    for (quint64 rest = magnitude / 10; rest != 0; rest /= 10)
        ++digits;
    m_size += digits;
    for (qsizetype i = m_size - 1; digits > 0; --i, --digits) {
        m_text[i] = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    }
}
