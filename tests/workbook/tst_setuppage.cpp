// The workbook as it opens and its setup page: the class count, the class list, the location and
// the acceptance that creates the school directory and the pages.
#include "school/recentschools.h"
#include "tests/workbook/workbooktesting.h"

#include <QAccessible>
#include <QClipboard>
#include <QComboBox>

using namespace wb;

class TstSetupPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void schoolWithAClassFolderGone();
    void controlsAfterConstruction_data();
    void controlsAfterConstruction();
    void constructionState();
    void classCountTyping_data();
    void classCountTyping();
    void countChangeRelabelsClasses();
    void acceptanceWithoutPupilCountDoesNothing_data();
    void acceptanceWithoutPupilCountDoesNothing();
    void acceptanceCreatesSchool_data();
    void acceptanceCreatesSchool();
    void acceptanceRefused_data();
    void acceptanceRefused();
    void schoolDirectoryCannotBeCreated_data();
    void schoolDirectoryCannotBeCreated();
    void chooseLocation_data();
    void chooseLocation();
    void focusOrder_data();
    void focusOrder();
    void schoolWithoutItsOwnTest();
    void testChoiceKept();
};

namespace {

const QString setupCaption = u"Liczba klas - liczba uczniów w danej klasie"_s;

QString textOf(QWidget *control)
{
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        return button->text();
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    if (auto *label = qobject_cast<QLabel *>(control))
        return label->text();
    return QString();
}

QStringList entries(const QString &directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// The setup page as it stands before acceptance: everything on it can still be changed.
void verifyStillEditable(Workbook &wb)
{
    for (const char *name : {"eLiczbaKlas", "bAkceptuj", "eNazwaKatalogu", "bKatalog"})
        QVERIFY2(wb.find(name)->isEnabled(), name);
    for (const char *name : {"bDalej", "bWstecz", "bOblicz", "bWykresy"})
        QVERIFY2(!wb.find(name)->isEnabled(), name);
    QVERIFY(wb.upper()->editingEnabled());
    QCOMPARE(wb.window.pageCount(), 1);
    QVERIFY(wb.window.session().classLabels().isEmpty());
    QVERIFY(wb.window.session().pupilCounts().isEmpty());
}

} // namespace

void TstSetupPage::initTestCase()
{
    setUpApplication();
}

void TstSetupPage::controlsAfterConstruction_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("visible");

    QTest::newRow("class count") << u"eLiczbaKlas"_s << u"0"_s << true << true;
    QTest::newRow("accept") << u"bAkceptuj"_s << u"Akceptuj"_s << true << true;
    QTest::newRow("directory name") << u"eNazwaKatalogu"_s << QString() << true << true;
    QTest::newRow("choose folder") << u"bKatalog"_s << u"Wybierz katalog"_s << true << true;
    QTest::newRow("location") << u"stSciezka"_s << QDir::homePath() << true << true;
    QTest::newRow("compute") << u"bOblicz"_s << u"Oblicz"_s << false << true;
    QTest::newRow("charts") << u"bWykresy"_s << u"Wykresy"_s << false << true;
    QTest::newRow("back") << u"bWstecz"_s << u"Wstecz"_s << false << true;
    QTest::newRow("next") << u"bDalej"_s << u"Dalej"_s << false << true;
    QTest::newRow("upper caption") << u"static1"_s << setupCaption << true << true;
    QTest::newRow("lower caption") << u"static2"_s << u"Wyniki uczniów - podsumowanie:"_s << true << false;
    QTest::newRow("lower grid") << u"tabela2"_s << QString() << true << false;
    QTest::newRow("upper grid") << u"tabela1"_s << QString() << true << true;
}

void TstSetupPage::controlsAfterConstruction()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    QFETCH(bool, visible);

    Workbook wb;
    QWidget *control = wb.find(name.toLatin1().constData());
    QVERIFY(control);
    QCOMPARE(textOf(control), text);
    QCOMPARE(control->isEnabled(), enabled);
    QCOMPARE(control->isVisible(), visible);
}

void TstSetupPage::constructionState()
{
    Workbook wb;
    QCOMPARE(wb.window.windowTitle(), u"Wyniki uczniów"_s);
    QCOMPARE(wb.window.pageCount(), 1);
    QCOMPARE(wb.pages()->tabText(0), u"Liczba klas"_s);
    QCOMPARE(wb.window.session().location(), QDir::homePath());
    QCOMPARE(wb.window.classCount(), 0);
    QCOMPARE(wb.window.currentPage(), 0);

    WB_CHECK(compareGrid(wb.upper(), {cells(u"L.p.;Klasa;Liczba uczniów"_s), cells(u";;"_s)}));
    QCOMPARE(columnWidths(wb.upper()), QList<int>({25, 65, 80}));
    QCOMPARE(wb.upper()->width(), 195);
    QVERIFY(wb.upper()->editingEnabled());
    QVERIFY(wb.recorder.shown.isEmpty());
}

void TstSetupPage::classCountTyping_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("classes");
    QTest::addColumn<QStringList>("errors");

    const QStringList none;
    QTest::newRow("three") << QString() << u"3"_s << false << u"3"_s << 3 << none;
    QTest::newRow("thirty") << QString() << u"30"_s << false << u"25"_s << 25 << none;
    QTest::newRow("twenty-five") << QString() << u"25"_s << false << u"25"_s << 25 << none;
    QTest::newRow("twenty-six") << QString() << u"26"_s << false << u"25"_s << 25 << none;
    QTest::newRow("cleared") << u"3"_s << QString() << false << u"1"_s << 1 << none;
    QTest::newRow("zero") << u"3"_s << u"0"_s << false << u"1"_s << 1 << none;
    QTest::newRow("minus sign") << u"3"_s << u"-"_s << false << u"1"_s << 1 << none;
    QTest::newRow("pasted blank") << u"3"_s << u" "_s << true << u"1"_s << 1 << none;
    QTest::newRow("pasted negative") << u"3"_s << u"-3"_s << true << u"1"_s << 1 << none;
    QTest::newRow("letter") << u"3"_s << u"a"_s << false << u"a"_s << 3
                            << QStringList{u"'a' is not a valid integer value"_s};
    QTest::newRow("digit and letter") << QString() << u"2x"_s << false << u"2x"_s << 2
                                      << QStringList{u"'2x' is not a valid integer value"_s};
}

void TstSetupPage::classCountTyping()
{
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(bool, pasted);
    QFETCH(QString, shown);
    QFETCH(int, classes);
    QFETCH(QStringList, errors);

    Workbook wb;
    QLineEdit *count = wb.edit("eLiczbaKlas");
    if (!before.isEmpty())
        WB_CHECK(typeInto(count, before));
    if (pasted) {
        QApplication::clipboard()->setText(typed);
        QTest::keyClick(count, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(count, Qt::Key_V, Qt::ControlModifier);
    } else {
        WB_CHECK(typeInto(count, typed));
    }

    QCOMPARE(count->text(), shown);
    QCOMPARE(wb.window.classCount(), classes);
    QCOMPARE(wb.shownTexts(), errors);
    QCOMPARE(wb.errorCount(), int(errors.size()));

    const QString letters = u"ABCDEFGHIJKLMNOPQRSTUWXYZ"_s;
    QList<QStringList> expected{cells(u"L.p.;Klasa;Liczba uczniów"_s)};
    for (int i = 1; i <= classes; ++i)
        expected.append({QString::number(i), u"Klasa VI "_s + letters.at(i - 1), QString()});
    WB_CHECK(compareGrid(wb.upper(), expected));
}

void TstSetupPage::countChangeRelabelsClasses()
{
    Workbook wb;
    WB_CHECK(typeInto(wb.edit("eLiczbaKlas"), u"2"_s));
    WB_CHECK(typeIntoCell(wb.upper(), 1, 1, u"Klasa 6a"_s));
    WB_CHECK(typeIntoCell(wb.upper(), 2, 1, u"24"_s));
    WB_CHECK(typeInto(wb.edit("eLiczbaKlas"), u"3"_s));

    // The labels are the default ones again; the typed pupil count stays where it was.
    WB_CHECK(compareGrid(wb.upper(), {cells(u"L.p.;Klasa;Liczba uczniów"_s), cells(u"1;Klasa VI A;24"_s),
                                      cells(u"2;Klasa VI B;"_s), cells(u"3;Klasa VI C;"_s)}));
}

void TstSetupPage::acceptanceWithoutPupilCountDoesNothing_data()
{
    QTest::addColumn<QStringList>("pupils");

    QTest::newRow("second empty") << QStringList{u"24"_s, QString()};
    QTest::newRow("first never typed") << QStringList{};
    QTest::newRow("one blank") << QStringList{u"24"_s, u" "_s};
    QTest::newRow("minus sign") << QStringList{u"-"_s, u"25"_s};
    QTest::newRow("zero") << QStringList{u"0"_s, u"25"_s};
    QTest::newRow("negative") << QStringList{u"24"_s, u"-2"_s};
}

void TstSetupPage::acceptanceWithoutPupilCountDoesNothing()
{
    QFETCH(QStringList, pupils);

    Workbook wb;
    WB_CHECK(wb.chooseLocation(wb.location.path()));
    WB_CHECK(typeInto(wb.edit("eLiczbaKlas"), u"2"_s));
    for (int i = 0; i < pupils.size(); ++i)
        WB_CHECK(typeIntoCell(wb.upper(), 2, i + 1, pupils[i]));
    WB_CHECK(typeInto(wb.edit("eNazwaKatalogu"), u"Szkola1"_s));
    WB_CHECK(wb.press("bAkceptuj"));

    QVERIFY(wb.recorder.shown.isEmpty());
    QCOMPARE(entries(wb.location.path()), QStringList());
    QCOMPARE(wb.window.session().location(), wb.location.path());
    WB_CHECK(verifyStillEditable(wb));
}

void TstSetupPage::acceptanceCreatesSchool_data()
{
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QStringList>("pupils");
    QTest::addColumn<bool>("directoryExists");
    QTest::addColumn<QList<qint32>>("pupilCounts");
    QTest::addColumn<QByteArray>("schoolFile");

    const QByteArray twoClasses = "[Ustawienia]\r\n"
                                  "LiczbaKlas=2\r\n"
                                  "\r\n"
                                  "[EtykietyTabeli]\r\n"
                                  "Kolumna0=L.p.\r\n"
                                  "Kolumna1=Klasa\r\n"
                                  "Kolumna2=Liczba uczni\xF3w\r\n"
                                  "\r\n"
                                  "[Klasa1]\r\n"
                                  "Etykieta=Klasa VI A\r\n"
                                  "LiczbaUczniow=24\r\n"
                                  "\r\n"
                                  "[Klasa2]\r\n"
                                  "Etykieta=Klasa VI B\r\n"
                                  "LiczbaUczniow=25\r\n";
    QTest::newRow("two classes") << QStringList{u"Klasa VI A"_s, u"Klasa VI B"_s}
                                 << QStringList{u"24"_s, u"25"_s} << false << QList<qint32>{24, 25}
                                 << twoClasses;
    QTest::newRow("directory already there")
        << QStringList{u"Klasa VI A"_s, u"Klasa VI B"_s} << QStringList{u"24"_s, u"25"_s} << true
        << QList<qint32>{24, 25} << twoClasses;
    QTest::newRow("ampersand in a label")
        << QStringList{u"Klasa VI A&B"_s} << QStringList{u"20"_s} << false << QList<qint32>{20}
        << QByteArray(
               "[Ustawienia]\r\nLiczbaKlas=1\r\n\r\n[EtykietyTabeli]\r\nKolumna0=L.p.\r\nKolumna1=Klasa\r\n"
               "Kolumna2=Liczba uczni\xF3w\r\n\r\n[Klasa1]\r\nEtykieta=Klasa VI A&B\r\nLiczbaUczniow=20\r\n");
    QTest::newRow("Polish label, largest class, hexadecimal count")
        << QStringList{u"Klasa VI Ż"_s, u"Oddział ąęś"_s} << QStringList{u"999"_s, u"$1A"_s} << false
        << QList<qint32>{999, 26}
        << QByteArray(
               "[Ustawienia]\r\nLiczbaKlas=2\r\n\r\n[EtykietyTabeli]\r\nKolumna0=L.p.\r\nKolumna1=Klasa\r\n"
               "Kolumna2=Liczba uczni\xF3w\r\n\r\n[Klasa1]\r\nEtykieta=Klasa VI \xAF\r\nLiczbaUczniow=999\r\n"
               "\r\n[Klasa2]\r\nEtykieta=Oddzia\xB3 \xB9\xEA\x9C\r\nLiczbaUczniow=$1A\r\n");
}

void TstSetupPage::acceptanceCreatesSchool()
{
    QFETCH(QStringList, labels);
    QFETCH(QStringList, pupils);
    QFETCH(bool, directoryExists);
    QFETCH(QList<qint32>, pupilCounts);
    QFETCH(QByteArray, schoolFile);

    Workbook wb;
    if (directoryExists)
        QVERIFY(QDir(wb.location.path()).mkpath(u"Szkola1/Szkoła"_s));
    WB_CHECK(wb.accept(labels, pupils));

    QCOMPARE(wb.window.session().schoolDirectory(), wb.school());
    QCOMPARE(readBytes(wb.school(u"Szkola.ini"_s)), schoolFile);
    QVERIFY(QFileInfo(wb.school(u"Szkoła"_s)).isDir());
    QStringList expectedEntries = labels;
    expectedEntries << u"Setup.ini"_s << u"Szkola.ini"_s << u"Szkoła"_s;
    expectedEntries.sort();
    // The school keeps the test it was set up with.
    QCOMPARE(readBytes(wb.school(u"Setup.ini"_s)), testDefinitionFileBytes(wb.window.session().test()));
    QCOMPARE(entries(wb.school()), expectedEntries);
    for (const QString &label : labels)
        QVERIFY2(QFileInfo(wb.school(label)).isDir(), qPrintable(label));

    QCOMPARE(wb.window.session().classCount(), int(labels.size()));
    QCOMPARE(wb.window.session().classLabels(), labels);
    QCOMPARE(wb.window.session().pupilCounts(), pupilCounts);

    // The tabs as shown and as a screen reader reads them: an "&" is no accelerator here.
    QStringList tabs;
    QAccessibleInterface *tabBar = QAccessible::queryAccessibleInterface(wb.pages()->tabBar());
    QVERIFY(tabBar);
    for (int i = 0; i < wb.window.pageCount(); ++i)
        tabs.append(tabBar->child(i)->text(QAccessible::Name));
    QCOMPARE(tabs, QStringList{u"Liczba klas"_s} + labels + QStringList{u"Szkoła"_s});
    QCOMPARE(wb.pages()->currentIndex(), 0);
    QCOMPARE(wb.window.currentPage(), 0);

    for (const char *name :
         {"eLiczbaKlas", "bAkceptuj", "eNazwaKatalogu", "bKatalog", "bWstecz", "bOblicz", "bWykresy"})
        QVERIFY2(!wb.find(name)->isEnabled(), name);
    QVERIFY(wb.button("bDalej")->isEnabled());
    QVERIFY(!wb.upper()->editingEnabled());
    QVERIFY(wb.recorder.shown.isEmpty());
}

void TstSetupPage::acceptanceRefused_data()
{
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QStringList>("pupils");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("mentions");

    const int plain = int(messages::Kind::Plain);
    const QStringList counts{u"24"_s, u"25"_s};
    QTest::newRow("empty label") << QStringList{QString(), u"Klasa VI B"_s} << counts << plain << QString();
    QTest::newRow("blank label") << QStringList{u"Klasa VI A"_s, u"   "_s} << counts << plain << QString();
    QTest::newRow("same label apart from case")
        << QStringList{u"Klasa VI A"_s, u"kLASA vi a"_s} << counts << plain << u"kLASA vi a"_s;
    QTest::newRow("school's own directory")
        << QStringList{u"Szkoła"_s, u"Klasa VI B"_s} << counts << plain << u"Szkoła"_s;
    QTest::newRow("school's own directory, capitals")
        << QStringList{u"Klasa VI A"_s, u"SZKOŁA"_s} << counts << plain << u"SZKOŁA"_s;
    QTest::newRow("school's own directory, mixed case")
        << QStringList{u"sZKOła"_s, u"Klasa VI B"_s} << counts << plain << u"sZKOła"_s;
    QTest::newRow("dot") << QStringList{u"."_s, u"Klasa VI B"_s} << counts << plain << u"."_s;
    QTest::newRow("two dots") << QStringList{u"Klasa VI A"_s, u".."_s} << counts << plain << u".."_s;
    for (const QString &c : {u"/"_s, u"\\"_s, u":"_s, u"*"_s, u"?"_s, u"\""_s, u"<"_s, u">"_s, u"|"_s}) {
        const QString label = u"VI"_s + c + u"A"_s;
        QTest::addRow("label with %s", qPrintable(c))
            << QStringList{u"Klasa VI A"_s, label} << counts << plain << label;
    }
    QTest::newRow("a thousand pupils") << QStringList{u"Klasa VI A"_s, u"Klasa VI B"_s}
                                       << QStringList{u"24"_s, u"1000"_s} << plain << u"1000"_s;
    QTest::newRow("pupil count no number")
        << QStringList{u"Klasa VI A"_s, u"Klasa VI B"_s} << QStringList{u"2x"_s, u"25"_s}
        << int(messages::Kind::Error) << u"'2x' is not a valid integer value"_s;
}

void TstSetupPage::acceptanceRefused()
{
    QFETCH(QStringList, labels);
    QFETCH(QStringList, pupils);
    QFETCH(int, kind);
    QFETCH(QString, mentions);

    Workbook wb;
    WB_CHECK(wb.chooseLocation(wb.location.path()));
    WB_CHECK(typeInto(wb.edit("eLiczbaKlas"), QString::number(labels.size())));
    for (int i = 0; i < labels.size(); ++i) {
        WB_CHECK(typeIntoCell(wb.upper(), 1, i + 1, labels[i]));
        WB_CHECK(typeIntoCell(wb.upper(), 2, i + 1, pupils[i]));
    }
    WB_CHECK(typeInto(wb.edit("eNazwaKatalogu"), u"Szkola1"_s));
    WB_CHECK(wb.press("bAkceptuj"));

    QCOMPARE(wb.recorder.shown.size(), 1);
    QCOMPARE(int(wb.recorder.shown[0].kind), kind);
    QVERIFY(!wb.recorder.shown[0].text.trimmed().isEmpty());
    QVERIFY2(wb.recorder.shown[0].text.contains(mentions), qPrintable(wb.recorder.shown[0].text));
    QCOMPARE(entries(wb.location.path()), QStringList());
    QCOMPARE(wb.window.session().location(), wb.location.path());
    WB_CHECK(verifyStillEditable(wb));

    // Once the list is put right, the same window accepts it.
    wb.recorder.clear();
    WB_CHECK(typeIntoCell(wb.upper(), 1, 1, u"Klasa VI A"_s));
    WB_CHECK(typeIntoCell(wb.upper(), 1, 2, u"Klasa VI B"_s));
    WB_CHECK(typeIntoCell(wb.upper(), 2, 1, u"24"_s));
    WB_CHECK(typeIntoCell(wb.upper(), 2, 2, u"25"_s));
    WB_CHECK(wb.press("bAkceptuj"));
    QVERIFY(wb.recorder.shown.isEmpty());
    QCOMPARE(wb.window.pageCount(), 4);
    QVERIFY(QFileInfo::exists(wb.school(u"Szkola.ini"_s)));
}

void TstSetupPage::schoolDirectoryCannotBeCreated_data()
{
    QTest::addColumn<bool>("underFile");

    QTest::newRow("location is a regular file") << true;
    QTest::newRow("location does not exist") << false;
}

void TstSetupPage::schoolDirectoryCannotBeCreated()
{
    QFETCH(bool, underFile);

    Workbook wb;
    const QString location = wb.path(underFile ? u"plik.txt"_s : u"brak"_s);
    if (underFile)
        QVERIFY(writeBytes(location, "x"));
    const QStringList before = entries(wb.location.path());

    WB_CHECK(wb.chooseLocation(location));
    WB_CHECK(typeInto(wb.edit("eLiczbaKlas"), u"2"_s));
    WB_CHECK(typeIntoCell(wb.upper(), 2, 1, u"24"_s));
    WB_CHECK(typeIntoCell(wb.upper(), 2, 2, u"25"_s));
    WB_CHECK(typeInto(wb.edit("eNazwaKatalogu"), u"Szkola1"_s));
    WB_CHECK(wb.press("bAkceptuj"));

    QCOMPARE(wb.shownTexts(), QStringList{u"Nie można utworzyć katalogu w podanej lokalizacji!"_s});
    QCOMPARE(entries(wb.location.path()), before);
    QCOMPARE(wb.label("stSciezka")->text(), location);
    WB_CHECK(verifyStillEditable(wb));

    // Another location, and the same setup is accepted.
    wb.recorder.clear();
    WB_CHECK(wb.chooseLocation(wb.location.path()));
    WB_CHECK(wb.press("bAkceptuj"));
    QVERIFY(wb.recorder.shown.isEmpty());
    QCOMPARE(wb.window.pageCount(), 4);
    QVERIFY(QFileInfo::exists(wb.school(u"Szkola.ini"_s)));
}

void TstSetupPage::chooseLocation_data()
{
    QTest::addColumn<QStringList>("answers"); // "" cancels
    QTest::addColumn<QString>("shown");       // relative to the temporary directory; "~" is home

    QTest::newRow("confirmed") << QStringList{u"A"_s} << u"A"_s;
    QTest::newRow("cancelled") << QStringList{QString()} << u"~"_s;
    QTest::newRow("cancelled after a choice") << QStringList{u"A"_s, QString()} << u"A"_s;
    QTest::newRow("chosen twice") << QStringList{u"A"_s, u"B"_s} << u"B"_s;
    QTest::newRow("trailing separator") << QStringList{u"A/"_s} << u"A"_s;
}

void TstSetupPage::chooseLocation()
{
    QFETCH(QStringList, answers);
    QFETCH(QString, shown);

    Workbook wb;
    QStringList titles;
    QStringList starts;
    QString expectedStart = QDir::homePath();
    for (const QString &answer : std::as_const(answers)) {
        const QString folder = answer.isEmpty() ? QString() : wb.path(answer);
        ui::folderChooser = [&](QWidget *owner, const QString &title, const QString &start) {
            titles.append(title);
            starts.append(start);
            return owner == &wb.window ? folder : QString();
        };
        WB_CHECK(wb.press("bKatalog"));
        QCOMPARE(starts.last(), expectedStart);
        expectedStart = wb.window.session().location();
    }
    ui::folderChooser = [](QWidget *, const QString &, const QString &) { return QString(); };

    const QString expected = shown == u"~"_s ? QDir::homePath() : wb.path(shown);
    QCOMPARE(titles, QStringList(answers.size(), u"Wybierz folder:"_s));
    QCOMPARE(wb.label("stSciezka")->text(), expected);
    QCOMPARE(wb.window.session().location(), expected);
    QVERIFY(wb.recorder.shown.isEmpty());
}

void TstSetupPage::focusOrder_data()
{
    QTest::addColumn<int>("stage"); // 0 new window, 1 accepted, 2 class page
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("order");

    QTest::newRow("new window") << 0 << u"eLiczbaKlas"_s
                                << QStringList{u"bAkceptuj"_s, u"eNazwaKatalogu"_s, u"bKatalog"_s,
                                               u"tabela1"_s};
    QTest::newRow("accepted") << 1 << u"bDalej"_s << QStringList{u"tabela1"_s};
    QTest::newRow("class page") << 2 << u"bOblicz"_s
                                << QStringList{u"bWykresy"_s, u"bWstecz"_s, u"bDalej"_s, u"tabela1"_s};
}

void TstSetupPage::focusOrder()
{
    QFETCH(int, stage);
    QFETCH(QString, start);
    QFETCH(QStringList, order);

    Workbook wb;
    if (stage >= 1)
        WB_CHECK(wb.accept({u"Klasa VI A"_s}, {u"2"_s}));
    if (stage >= 2)
        WB_CHECK(wb.press("bDalej"));
    wb.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&wb.window));

    QWidget *first = wb.find(start.toLatin1().constData());
    first->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), first);
    for (const QString &next : std::as_const(order)) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
}

// A class folder deleted between sessions (or a share not reachable): said before the school opens,
// made anew empty, or the school left unopened.
void TstSetupPage::schoolWithAClassFolderGone()
{
    QTemporaryDir location;
    QString school;
    {
        Workbook wb;
        wb.where = location.path();
        WB_CHECK(wb.accept({u"Klasa VI A"_s, u"Klasa VI B"_s}, {u"2"_s, u"2"_s}));
        school = wb.school();
    }
    QVERIFY(QDir(school + u"/Klasa VI B"_s).removeRecursively());
    ui::folderChooser = [&](QWidget *, const QString &, const QString &) { return school; };
    for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
        Workbook wb;
        wb.recorder.answers = {answer};
        WB_CHECK(wb.press("sbOtworzSzkole"));
        QVERIFY(!wb.recorder.shown.isEmpty());
        const messages::Message question = wb.recorder.shown[0];
        QVERIFY2(question.text.contains(u"brak katalogów klas: Klasa VI B."_s), qPrintable(question.text));
        QCOMPARE(question.yesText, u"Utwórz od nowa"_s);
        QCOMPARE(question.noText, u"Nie otwieraj"_s);
        QCOMPARE(wb.window.pageCount(), answer == QMessageBox::Yes ? 4 : 1);
        QCOMPARE(QFileInfo(school + u"/Klasa VI B"_s).isDir(), answer == QMessageBox::Yes);
    }
    ui::folderChooser = [](QWidget *, const QString &, const QString &) { return QString(); };
}

void TstSetupPage::schoolWithoutItsOwnTest()
{
    // A school set up before schools kept their test: its files typed under three tasks.
    QTemporaryDir location;
    QString school;
    {
        Workbook wb;
        wb.where = location.path();
        WB_CHECK(wb.accept({u"Klasa VI A"_s}, {u"2"_s}));
        school = wb.school();
    }
    const QByteArray answers = build::answersFile(3, {u"A1;T;1;0;2"_s, u"A2;N;-;-;-"_s});
    QVERIFY(writeBytes(school + u"/Klasa VI A/Odpowiedzi.tmp"_s, answers));
    QVERIFY(QFile::remove(school + u"/Setup.ini"_s));
    const auto openWith = [&](Workbook &wb) {
        ui::folderChooser = [&](QWidget *, const QString &, const QString &) { return school; };
        wb.press("sbOtworzSzkole");
        ui::folderChooser = [](QWidget *, const QString &, const QString &) { return QString(); };
    };

    // Chosen a test of two tasks, it does not fit: said, nothing written, no school opened.
    {
        Workbook wb(build::testOf({1, 1}).named(u"Dwa zadania"_s, u"2026-01-01"_s));
        WB_CHECK(openWith(wb));
        QCOMPARE(wb.recorder.shown.size(), 1);
        QVERIFY2(
            wb.shownTexts().value(0).contains(u"Odpowiedzi.tmp” zawiera wyniki 3 zadań, a test „Dwa zadania” "
                                              u"ma 2 zadań"_s),
            qPrintable(wb.shownTexts().value(0)));
        QCOMPARE(wb.window.pageCount(), 1);
        QVERIFY(!QFileInfo::exists(school + u"/Setup.ini"_s));
    }
    // With the test the points were typed under, it opens and keeps a copy, said once.
    {
        Workbook wb;
        WB_CHECK(openWith(wb));
        QCOMPARE(wb.recorder.shown.size(), 1);
        QVERIFY(wb.shownTexts().value(0).contains(u"nie miała własnej definicji testu"_s));
        QCOMPARE(readBytes(school + u"/Setup.ini"_s), testDefinitionFileBytes(makeTest()));
        QCOMPARE(wb.window.currentPage(), 1);
        QCOMPARE(wb.upper()->cell(1, 1), u"A1"_s);
        QVERIFY(wb.window.windowTitle().endsWith(u"Szkola1 – Test, 2003-12-12"_s));
    }
    QCOMPARE(readBytes(school + u"/Klasa VI A/Odpowiedzi.tmp"_s), answers);
    {
        Workbook wb(build::testOf({1, 1}).named(u"Dwa zadania"_s, u"2026-01-01"_s));
        WB_CHECK(openWith(wb));
        QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
        QCOMPARE(wb.window.session().test().taskCount, 3);
    }

    // A folder without Szkola.ini is no school.
    {
        Workbook wb;
        school = location.path();
        WB_CHECK(openWith(wb));
        QCOMPARE(wb.recorder.shown.size(), 1);
        QVERIFY(wb.shownTexts().value(0).contains(u"nie ma szkoły: brak pliku Szkola.ini"_s));
        QCOMPARE(wb.window.pageCount(), 1);
    }
}

QTEST_MAIN(TstSetupPage)
// The "Test:" chosen in one workbook window is the choice of the next one.
void TstSetupPage::testChoiceKept()
{
    QString chosen;
    {
        Workbook wb;
        auto *tests = wb.find<QComboBox>("cbTest");
        // The program's test, then the examples copied into the user's folder of tests.
        QVERIFY(tests->count() >= 2);
        tests->setCurrentIndex(tests->count() - 1);
        chosen = tests->currentData().toString();
        QVERIFY(wb.label("stOpisTestu")->text().contains(loadTestDefinitionFrom(chosen).testName));
    }
    {
        Workbook next;
        QCOMPARE(next.find<QComboBox>("cbTest")->currentData().toString(), chosen);
    }
    // Other tests start from the program's test.
    recentschools::rememberTest(recentschools::settingsFile(), QString());
}

#include "tst_setuppage.moc"
