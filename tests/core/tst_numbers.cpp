// Whole numbers, decimals and the Windows-1250 code page: the conversions every file goes through.
#include "core/cp1250.h"
#include "core/errors.h"
#include "core/numbers.h"

#include <QTest>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>

using namespace Qt::StringLiterals;

class TstNumbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseInteger_data();
    void parseInteger();
    void strToIntThrowsWithOriginalText();
    void cellTextAsInteger_data();
    void cellTextAsInteger();
    void parseDecimal_data();
    void parseDecimal();
    void formatFixed2_data();
    void formatFixed2();
    void formatFixed2MatchesPrintf();
    void noLocaleLeaksIn();
    void checkedDivide();
    void checkedDivideErrors_data();
    void checkedDivideErrors();
    void formatSchoolValue_data();
    void formatSchoolValue();
    void cp1250PolishLetters();
    void cp1250EveryByteRoundTrips();
    void cp1250Unencodable_data();
    void cp1250Unencodable();
};

void TstNumbers::parseInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");

    const int minInt = std::numeric_limits<qint32>::min();
    const int maxInt = std::numeric_limits<qint32>::max();
    QTest::newRow("zero") << u"0"_s << true << 0;
    QTest::newRow("decimal") << u"12"_s << true << 12;
    QTest::newRow("plus") << u"+12"_s << true << 12;
    QTest::newRow("minus") << u"-12"_s << true << -12;
    QTest::newRow("leading zeros") << u"0012"_s << true << 12;
    QTest::newRow("leading blanks") << u"   12"_s << true << 12;
    QTest::newRow("blank before sign") << u" -7"_s << true << -7;
    QTest::newRow("largest") << u"2147483647"_s << true << maxInt;
    QTest::newRow("smallest") << u"-2147483648"_s << true << minInt;
    QTest::newRow("dollar hex") << u"$A"_s << true << 10;
    QTest::newRow("dollar lower hex") << u"$ff"_s << true << 255;
    QTest::newRow("0x hex") << u"0x0A"_s << true << 10;
    QTest::newRow("0X hex") << u"0X1f"_s << true << 31;
    QTest::newRow("x hex") << u"x1A"_s << true << 26;
    QTest::newRow("X hex") << u"X1A"_s << true << 26;
    QTest::newRow("negative hex") << u"-$A"_s << true << -10;
    QTest::newRow("hex all ones") << u"$FFFFFFFF"_s << true << -1;
    QTest::newRow("hex sign bit") << u"$80000000"_s << true << minInt;
    QTest::newRow("hex leading zeros") << u"$000000001"_s << true << 1;

    QTest::newRow("empty") << QString() << false << 0;
    QTest::newRow("one blank") << u" "_s << false << 0;
    QTest::newRow("two blanks") << u"  "_s << false << 0;
    QTest::newRow("trailing blank") << u"12 "_s << false << 0;
    QTest::newRow("tab before") << u"\t12"_s << false << 0;
    QTest::newRow("sign only") << u"-"_s << false << 0;
    QTest::newRow("plus only") << u"+"_s << false << 0;
    QTest::newRow("double sign") << u"--1"_s << false << 0;
    QTest::newRow("blank after sign") << u"- 1"_s << false << 0;
    QTest::newRow("dollar only") << u"$"_s << false << 0;
    QTest::newRow("0x only") << u"0x"_s << false << 0;
    QTest::newRow("x only") << u"x"_s << false << 0;
    QTest::newRow("decimal overflow") << u"2147483648"_s << false << 0;
    QTest::newRow("negative overflow") << u"-2147483649"_s << false << 0;
    QTest::newRow("far too long") << u"99999999999999999999"_s << false << 0;
    QTest::newRow("hex overflow") << u"$100000000"_s << false << 0;
    QTest::newRow("fraction") << u"1.5"_s << false << 0;
    QTest::newRow("comma fraction") << u"1,5"_s << false << 0;
    QTest::newRow("letters") << u"abc"_s << false << 0;
    QTest::newRow("digit then letter") << u"12a"_s << false << 0;
    QTest::newRow("hex digit out of range") << u"$G"_s << false << 0;
    QTest::newRow("sign after prefix") << u"0x-1"_s << false << 0;
    QTest::newRow("full-width digits") << u"１２"_s << false << 0;
}

void TstNumbers::parseInteger()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);

    const std::optional<qint32> parsed = ::parseInteger(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void TstNumbers::strToIntThrowsWithOriginalText()
{
    QCOMPARE(strToInt(u"$10"_s), 16);
    try {
        strToInt(u"12 "_s);
        QFAIL("no ConvertError");
    } catch (const ConvertError &e) {
        QCOMPARE(e.message(), u"'12 ' is not a valid integer value"_s);
    }
}

void TstNumbers::cellTextAsInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");

    QTest::newRow("empty") << QString() << true << 0;
    QTest::newRow("one blank") << u" "_s << true << 0;
    QTest::newRow("dash") << u"-"_s << true << 0;
    QTest::newRow("number") << u"7"_s << true << 7;
    QTest::newRow("negative") << u"-3"_s << true << -3;
    QTest::newRow("two blanks") << u"  "_s << false << 0;
    QTest::newRow("two dashes") << u"--"_s << false << 0;
    QTest::newRow("fraction") << u"1.5"_s << false << 0;
}

void TstNumbers::cellTextAsInteger()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);

    if (valid)
        QCOMPARE(::cellTextAsInteger(text), value);
    else
        QVERIFY_THROWS_EXCEPTION(ConvertError, ::cellTextAsInteger(text));
}

void TstNumbers::parseDecimal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");

    QTest::newRow("fraction") << u"1.5"_s << true << 1.5;
    QTest::newRow("two decimals") << u"0.67"_s << true << 0.67;
    QTest::newRow("whole") << u"2"_s << true << 2.0;
    QTest::newRow("negative") << u"-0.5"_s << true << -0.5;
    QTest::newRow("plus") << u"+2.25"_s << true << 2.25;
    QTest::newRow("no integer part") << u".5"_s << true << 0.5;
    QTest::newRow("no decimals") << u"3."_s << true << 3.0;
    QTest::newRow("comma") << u"1,5"_s << false << 0.0;
    QTest::newRow("empty") << QString() << false << 0.0;
    QTest::newRow("point only") << u"."_s << false << 0.0;
    QTest::newRow("sign only") << u"-"_s << false << 0.0;
    QTest::newRow("exponent") << u"1e5"_s << false << 0.0;
    QTest::newRow("inf") << u"inf"_s << false << 0.0;
    QTest::newRow("nan") << u"nan"_s << false << 0.0;
    QTest::newRow("blank before") << u" 1.5"_s << false << 0.0;
    QTest::newRow("blank after") << u"1.5 "_s << false << 0.0;
    QTest::newRow("two points") << u"1.2.3"_s << false << 0.0;
    QTest::newRow("absent mark") << u"--"_s << false << 0.0;
}

void TstNumbers::parseDecimal()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);

    const std::optional<double> parsed = ::parseDecimal(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void TstNumbers::formatFixed2_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("two thirds of 5") << double(5.0f / 3.0f) << QByteArray("1.67");
    QTest::newRow("five sixths") << double(5.0f / 6.0f) << QByteArray("0.83");
    QTest::newRow("zero") << 0.0 << QByteArray("0.00");
    QTest::newRow("whole") << 2.0 << QByteArray("2.00");
    QTest::newRow("three digits") << 123.456 << QByteArray("123.46");
    QTest::newRow("exact tie to even") << 0.125 << QByteArray("0.12");
    QTest::newRow("exact tie up") << 0.375 << QByteArray("0.38");
    QTest::newRow("just below a tie") << 2.675 << QByteArray("2.67");
    QTest::newRow("negative") << -0.5 << QByteArray("-0.50");
    QTest::newRow("large") << 1e10 << QByteArray("10000000000.00");
}

void TstNumbers::formatFixed2()
{
    QFETCH(double, value);
    QFETCH(QByteArray, text);
    QCOMPARE(::formatFixed2(value), text);
}

void TstNumbers::formatFixed2MatchesPrintf()
{
    // The C library is the reference; only its decimal separator may follow the locale.
    for (int i = -2000; i <= 200000; i += 7) {
        const float value = float(i) / 1000.0f * 1.37f;
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%4.2f", double(value));
        const QByteArray expected = QByteArray(buffer).replace(',', '.');
        QCOMPARE(::formatFixed2(value), expected);
    }
}

void TstNumbers::noLocaleLeaksIn()
{
    const QByteArray previous = std::setlocale(LC_ALL, nullptr);
    const bool polish = std::setlocale(LC_ALL, "pl_PL.UTF-8") != nullptr;
    char printed[16];
    std::snprintf(printed, sizeof printed, "%4.2f", 1.5);

    const QByteArray formatted = ::formatFixed2(1.5);
    const std::optional<double> parsed = ::parseDecimal(u"1.5"_s);
    const std::optional<double> withComma = ::parseDecimal(u"1,5"_s);
    const QByteArray statistics = ::formatFixed2(1234.5678);

    std::setlocale(LC_ALL, previous.constData());
    if (polish) // the trap is real: the C library itself now writes a comma
        QCOMPARE(QByteArray(printed), QByteArray("1,50"));
    else
        qInfo("pl_PL.UTF-8 is not installed; checked in the C locale only");
    QCOMPARE(formatted, QByteArray("1.50"));
    QCOMPARE(parsed, std::optional<double>(1.5));
    QVERIFY(!withComma);
    QCOMPARE(statistics, QByteArray("1234.57"));
}

void TstNumbers::checkedDivide()
{
    QCOMPARE(::checkedDivide(5.0f, 3.0f), 5.0f / 3.0f);
    QCOMPARE(::checkedDivide(0.0f, 4.0f), 0.0f);
    QCOMPARE(::checkedDivide(-3.0f, 2.0f), -1.5f);
}

void TstNumbers::checkedDivideErrors_data()
{
    QTest::addColumn<float>("numerator");
    QTest::addColumn<float>("denominator");
    QTest::addColumn<bool>("byZero");

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    QTest::newRow("0 / 0") << 0.0f << 0.0f << false;
    QTest::newRow("nan / 1") << nan << 1.0f << false;
    QTest::newRow("1 / nan") << 1.0f << nan << false;
    QTest::newRow("nan / 0") << nan << 0.0f << false;
    QTest::newRow("inf / inf") << inf << inf << false;
    QTest::newRow("1 / 0") << 1.0f << 0.0f << true;
    QTest::newRow("-1 / 0") << -1.0f << 0.0f << true;
    QTest::newRow("1 / -0") << 1.0f << -0.0f << true;
}

void TstNumbers::checkedDivideErrors()
{
    QFETCH(float, numerator);
    QFETCH(float, denominator);
    QFETCH(bool, byZero);

    if (byZero)
        QVERIFY_THROWS_EXCEPTION(FloatDivisionByZero, ::checkedDivide(numerator, denominator));
    else
        QVERIFY_THROWS_EXCEPTION(InvalidFloatOperation, ::checkedDivide(numerator, denominator));
}

void TstNumbers::formatSchoolValue_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("four significant digits") << 123.456f << u"123.50"_s;
    QTest::newRow("one and a half") << 1.5f << u"1.50"_s;
    QTest::newRow("two thirds") << 0.666f << u"0.67"_s;
    QTest::newRow("four digits before point") << 1234.5f << u"1235.00"_s;
    QTest::newRow("five digits before point") << 12345.6f << u"12350.00"_s;
    QTest::newRow("carry into hundreds") << 99.995f << u"100.00"_s;
    QTest::newRow("just over 100") << 100.06f << u"100.10"_s;
    QTest::newRow("two decimals kept") << 99.99f << u"99.99"_s;
    // 1.665f is 1.66499996...: one rounding gives 1.66, rounding twice would give 1.67.
    QTest::newRow("no double rounding") << 1.665f << u"1.66"_s;
    // Below 100 the grid shows what the statistics file holds ("%4.2f": an exact tie to even).
    QTest::newRow("exact tie as in the file") << 0.125f << u"0.12"_s;
    QTest::newRow("zero") << 0.0f << u"0.00"_s;
    QTest::newRow("tiny") << 0.004f << u"0.00"_s;
    QTest::newRow("rounds up to a hundredth") << 0.0051f << u"0.01"_s;
    QTest::newRow("negative") << -1.5f << u"-1.50"_s;
    QTest::newRow("negative rounding to zero") << -0.001f << u"-0.00"_s;
}

void TstNumbers::formatSchoolValue()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(::formatSchoolValue(value), text);
}

void TstNumbers::cp1250PolishLetters()
{
    const QString letters = u"ąćęłńóśźżĄĆĘŁŃÓŚŹŻ"_s;
    const QByteArray bytes("\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF");
    bool ok = false;
    QCOMPARE(cp1250::encode(letters, &ok), bytes);
    QVERIFY(ok);
    QCOMPARE(cp1250::decode(bytes), letters);
    QVERIFY(cp1250::canEncode(letters));
    QCOMPARE(cp1250::decode(QByteArray("\x80\x84\x96\xA0")), u"€„–\u00A0"_s);
}

void TstNumbers::cp1250EveryByteRoundTrips()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = cp1250::decode(all);
    QCOMPARE(text.size(), 256);
    bool ok = false;
    QCOMPARE(cp1250::encode(text, &ok), all);
    QVERIFY(ok);
}

void TstNumbers::cp1250Unencodable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("Chinese") << u"a中b"_s << QByteArray("a?b");
    QTest::newRow("pair of surrogates is one character") << u"x😀y"_s << QByteArray("x?y");
    QTest::newRow("Latin-1 letter missing from the page") << u"ñ"_s << QByteArray("?");
    QTest::newRow("C1 control the page maps elsewhere") << u"\u0080"_s << QByteArray("?");
}

void TstNumbers::cp1250Unencodable()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    bool ok = true;
    QCOMPARE(cp1250::encode(text, &ok), bytes);
    QVERIFY(!ok);
    QVERIFY(!cp1250::canEncode(text));
}

QTEST_GUILESS_MAIN(TstNumbers)
#include "tst_numbers.moc"
