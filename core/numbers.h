// Numbers read from and written as text: always with the full stop, never the locale's separator.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

// The whole-number conversion used for every typed or stored integer: leading blanks, an optional
// sign, then decimal digits or hexadecimal after "$", "x", "X", "0x" or "0X"; nothing may follow and
// the value must fit in 32 bits (hexadecimal up to FFFFFFFF, taken as two's complement).
std::optional<qint32> parseInteger(const QString &text);

// parseInteger, throwing ConvertError for a text that is no whole number.
qint32 strToInt(const QString &text);

// A grid cell as a whole number: empty, one blank and "-" are 0; anything else as strToInt.
qint32 cellTextAsInteger(const QString &text);

// How many characters of text, from its start, form a number: an optional sign, digits with at
// most one full stop (at least one digit) and, where allowed, an exponent ("e" or "E", an optional
// sign, digits). 0 when they form none. Readers check the form with it before the conversion,
// which would accept more ("inf", "nan", hexadecimal).
qsizetype decimalFormLength(QStringView text, bool exponentAllowed);

// A decimal number with the full stop ("1.5", "0.67"); nullopt for anything else (no locale).
std::optional<double> parseDecimal(const QString &text);

// "%4.2f" of the value, locale-free ("1.67", "0.00", "123.46").
QByteArray formatFixed2(double value);

// Single-precision division that raises the floating-point errors instead of giving inf or NaN.
float checkedDivide(float numerator, float denominator);

// The value rounded to four significant digits, then written with two decimals (123.456 -> "123.50").
QString formatSchoolValue(float value);

// A value times 10^decimals, rounded half away from zero on the decimal figure it stands for:
// 0.575 and 0.695 are stored a hair below themselves, yet a teacher rounding by hand writes 0,58
// and 0,70. The nudge is far below any difference between two real results.
double roundedUnits(double value, int decimals);

// A figure in whole hundredths, exactly as the grids and work files print it: the value held in
// single precision, as they hold it, and its binary value rounded (a tie such as 0.625, stored
// exactly, goes to the even hundredth: 0.62; 4.875 gives 4.88). Every two-decimal figure of the
// analysis, the pupils' sheets and the spreadsheets comes from here, so the same value reads the
// same everywhere, and a band, a tie and the printed figure always agree.
qint64 hundredths(double value);

// hundredths() as the nearest double to that decimal figure (0.69, not 69 / 100.0 = 0.68999...),
// for a spreadsheet cell that holds what the report prints.
double roundedToHundredths(double value);

// A decimal number as Polish text writes it: "0,57", "24,50"; never "-0,00". Two decimals are
// those of hundredths(); other counts round half away from zero on the decimal figure.
QString polishDecimal(double value, int decimals = 2);
// The same written at the end of a text, without a text of its own.
void appendPolishDecimal(QString *text, double value, int decimals = 2);

// A short text with a whole number after it, "Zadanie12" (or the number alone, or the text alone),
// held in place: the files number hundreds of sections and keys, and looking each up needs no text
// of its own.
class NumberedName
{
public:
    static constexpr qsizetype maxPrefix = 24;
    explicit NumberedName(QStringView name);
    NumberedName(QStringView prefix, qint64 number);
    operator QStringView() const { return QStringView(m_text, m_size); }
    QString toString() const { return QStringView(m_text, m_size).toString(); }

private:
    char16_t m_text[maxPrefix + 24];
    qsizetype m_size = 0;
};
