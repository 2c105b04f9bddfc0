// INI reading by the Windows rules, on Windows-1250 bytes as they come from disk.
#include "files/inifile.h"

#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<QString>)

class TstIniFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readString_data();
    void readString();
    void longValueIsCut();
    void readInteger_data();
    void readInteger();
    void readBool_data();
    void readBool();
    void loadFromDisk();
    void unreadableFilesReadAsEmpty();
};

void TstIniFile::readString_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<std::optional<QString>>("value"); // nullopt: the key is absent

    const QString s = u"Ustawienia"_s;
    const QString k = u"NazwaTestu"_s;
    QTest::newRow("plain") << QByteArray("[Ustawienia]\r\nNazwaTestu=Sprawdzian\r\n") << s << k
                           << std::optional(u"Sprawdzian"_s);
    QTest::newRow("lower-case names")
        << QByteArray("[ustawienia]\r\nnazwatestu=x\r\n") << s << k << std::optional(u"x"_s);
    QTest::newRow("upper-case query") << QByteArray("[Ustawienia]\r\nNazwaTestu=x\r\n") << u"USTAWIENIA"_s
                                      << u"nazwaTESTU"_s << std::optional(u"x"_s);
    QTest::newRow("Polish names without regard to case")
        << QByteArray("[\xA3\x41TWO\x8C\xC6]\r\n\xAF\xD3\xA3W=1\r\n") // [ŁATWOŚĆ] ŻÓŁW=1
        << u"łatwość"_s << u"żółw"_s << std::optional(u"1"_s);
    QTest::newRow("Polish value") << QByteArray("[Ustawienia]\r\nNazwaTestu=Sprawdzian \xB9\xE6\xEA\r\n") << s
                                  << k << std::optional(u"Sprawdzian ąćę"_s);
    QTest::newRow("blanks around everything")
        << QByteArray("  [ Ustawienia ]  \r\n  NazwaTestu  =  Test 2004  \r\n") << s << k
        << std::optional(u"Test 2004"_s);
    QTest::newRow("tabs around") << QByteArray("[Ustawienia]\r\n\tNazwaTestu\t=\tx\t\r\n") << s << k
                                 << std::optional(u"x"_s);
    QTest::newRow("empty value is present")
        << QByteArray("[Ustawienia]\r\nNazwaTestu=\r\n") << s << k << std::optional(QString());
    QTest::newRow("blank value is present")
        << QByteArray("[Ustawienia]\r\nNazwaTestu=   \r\n") << s << k << std::optional(QString());
    QTest::newRow("absent key") << QByteArray("[Ustawienia]\r\nDataTestu=2004\r\n") << s << k
                                << std::optional<QString>();
    QTest::newRow("absent section") << QByteArray("[Inne]\r\nNazwaTestu=x\r\n") << s << k
                                    << std::optional<QString>();
    QTest::newRow("key of the next section")
        << QByteArray("[Ustawienia]\r\n[Inne]\r\nNazwaTestu=x\r\n") << s << k << std::optional<QString>();
    QTest::newRow("key before any section")
        << QByteArray("NazwaTestu=x\r\n[Ustawienia]\r\n") << s << k << std::optional<QString>();
    QTest::newRow("equals sign in value")
        << QByteArray("[Ustawienia]\r\nNazwaTestu=a = b=c\r\n") << s << k << std::optional(u"a = b=c"_s);
    QTest::newRow("double quotes dropped")
        << QByteArray("[Ustawienia]\r\nNazwaTestu=\"  x  \"\r\n") << s << k << std::optional(u"  x  "_s);
    QTest::newRow("single quotes dropped")
        << QByteArray("[Ustawienia]\r\nNazwaTestu='x'\r\n") << s << k << std::optional(u"x"_s);
    QTest::newRow("unmatched quotes kept")
        << QByteArray("[Ustawienia]\r\nNazwaTestu=\"x'\r\n") << s << k << std::optional(u"\"x'"_s);
    QTest::newRow("lone quote kept") << QByteArray("[Ustawienia]\r\nNazwaTestu=\"\r\n") << s << k
                                     << std::optional(u"\""_s);
    QTest::newRow("inner quotes kept")
        << QByteArray("[Ustawienia]\r\nNazwaTestu=a \"b\"\r\n") << s << k << std::optional(u"a \"b\""_s);
    QTest::newRow("first key counts")
        << QByteArray("[Ustawienia]\r\nNazwaTestu=1\r\nnazwatestu=2\r\n") << s << k << std::optional(u"1"_s);
    QTest::newRow("first section counts")
        << QByteArray("[Ustawienia]\r\nNazwaTestu=1\r\n[Inne]\r\n[Ustawienia]\r\nNazwaTestu=2\r\n") << s << k
        << std::optional(u"1"_s);
    QTest::newRow("repeated section adds nothing")
        << QByteArray("[Ustawienia]\r\nDataTestu=1\r\n[USTAWIENIA]\r\nNazwaTestu=2\r\n") << s << k
        << std::optional<QString>();
    QTest::newRow("comment line") << QByteArray("[Ustawienia]\r\n;NazwaTestu=1\r\nNazwaTestu=2\r\n") << s << k
                                  << std::optional(u"2"_s);
    QTest::newRow("line without equals")
        << QByteArray("[Ustawienia]\r\nNazwaTestu\r\nNazwaTestu=2\r\n") << s << k << std::optional(u"2"_s);
    QTest::newRow("line feeds only") << QByteArray("[Ustawienia]\nNazwaTestu=x\n") << s << k
                                     << std::optional(u"x"_s);
    QTest::newRow("no final line break")
        << QByteArray("[Ustawienia]\r\nNazwaTestu=x") << s << k << std::optional(u"x"_s);
    QTest::newRow("empty file") << QByteArray() << s << k << std::optional<QString>();
}

void TstIniFile::readString()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(std::optional<QString>, value);

    const IniFile ini = IniFile::fromBytes(file);
    QCOMPARE(ini.hasKey(section, key), value.has_value());
    QCOMPARE(ini.readString(section, key, u"<default>"_s), value.value_or(u"<default>"_s));
}

void TstIniFile::longValueIsCut()
{
    const QByteArray value(3000, 'a');
    const IniFile ini = IniFile::fromBytes("[S]\r\nK=" + value + "\r\nL=after\r\n");
    QCOMPARE(ini.readString(u"S"_s, u"K"_s, QString()), QString(IniFile::maxValueLength, u'a'));
    QCOMPARE(ini.readString(u"S"_s, u"L"_s, QString()), u"after"_s);
}

void TstIniFile::readInteger_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("value");

    // The default is 7 in every row.
    QTest::newRow("decimal") << QByteArray("MaxPunktow=10") << 10;
    QTest::newRow("negative") << QByteArray("MaxPunktow=-5") << -5;
    QTest::newRow("0x hex") << QByteArray("MaxPunktow=0x0A") << 10;
    QTest::newRow("dollar hex") << QByteArray("MaxPunktow=$A") << 10;
    QTest::newRow("blanks around") << QByteArray("MaxPunktow =  12  ") << 12;
    QTest::newRow("quoted") << QByteArray("MaxPunktow=\"12\"") << 12;
    QTest::newRow("letters") << QByteArray("MaxPunktow=abc") << 7;
    QTest::newRow("number then letters") << QByteArray("MaxPunktow=12abc") << 7;
    QTest::newRow("fraction") << QByteArray("MaxPunktow=1.5") << 7;
    QTest::newRow("empty") << QByteArray("MaxPunktow=") << 7;
    QTest::newRow("absent") << QByteArray("Inny=3") << 7;
    QTest::newRow("too large") << QByteArray("MaxPunktow=2147483648") << 7;
}

void TstIniFile::readInteger()
{
    QFETCH(QByteArray, line);
    QFETCH(int, value);

    const IniFile ini = IniFile::fromBytes("[Zadanie3]\r\n" + line + "\r\n");
    QCOMPARE(ini.readInteger(u"zadanie3"_s, u"MaxPunktow"_s, 7), value);
}

void TstIniFile::readBool_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("defaultValue");
    QTest::addColumn<bool>("value");

    QTest::newRow("0") << QByteArray("ZadanieZamkniete=0") << true << false;
    QTest::newRow("1") << QByteArray("ZadanieZamkniete=1") << false << true;
    QTest::newRow("any other number") << QByteArray("ZadanieZamkniete=-2") << false << true;
    QTest::newRow("hex zero") << QByteArray("ZadanieZamkniete=$0") << true << false;
    QTest::newRow("word false is no number") << QByteArray("ZadanieZamkniete=false") << true << true;
    QTest::newRow("word true is no number") << QByteArray("ZadanieZamkniete=true") << false << false;
    QTest::newRow("empty") << QByteArray("ZadanieZamkniete=") << true << true;
    QTest::newRow("absent") << QByteArray() << false << false;
}

void TstIniFile::readBool()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, defaultValue);
    QFETCH(bool, value);

    const IniFile ini = IniFile::fromBytes("[Zadanie1]\r\n" + line + "\r\n");
    QCOMPARE(ini.readBool(u"Zadanie1"_s, u"ZadanieZamkniete"_s, defaultValue), value);
}

void TstIniFile::loadFromDisk()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"Szkola.ini"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Klasa1]\r\nEtykieta=Klasa VI \xA5\r\n");
    file.close();

    const IniFile ini = IniFile::load(path);
    QCOMPARE(ini.readString(u"Klasa1"_s, u"Etykieta"_s, QString()), u"Klasa VI Ą"_s);
}

void TstIniFile::unreadableFilesReadAsEmpty()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const IniFile missing = IniFile::load(dir.filePath(u"brak.ini"_s));
    QCOMPARE(missing.readInteger(u"Ustawienia"_s, u"LiczbaKlas"_s, 1), 1);
    const IniFile directory = IniFile::load(dir.path());
    QVERIFY(!directory.hasKey(u"Ustawienia"_s, u"LiczbaKlas"_s));
}

QTEST_GUILESS_MAIN(TstIniFile)
#include "tst_inifile.moc"
