// A school keeps the test it was set up with, on a real X display: set up and typed under test A,
// then reopened both ways while the program's Setup.ini holds test B, every file kept byte for byte.
#include "analysis/testdefinition.h"
#include "app/sondarykapplication.h"
#include "core/cp1250.h"
#include "tests/support/filebytes.h"
#include "tests/support/messagerecorder.h"
#include "tests/workbook/workbooktesting.h"
#include "ui/seams.h"
#include "workbook/tfwyniki.h"

#include <QDirIterator>
#include <QHashSeed>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A test of taskCount tasks, one point each but the last worth three, in two standards; a comment
// that only the file's own bytes keep.
QByteArray testFile(const QString &name, int taskCount)
{
    QStringList lines{u"; Próbny test szkoły – przykład"_s,
                      u"[Ustawienia]"_s,
                      u"NazwaTestu="_s + name,
                      u"DataTestu=2026-11-20"_s,
                      u"LiczbaZadan=%1"_s.arg(taskCount),
                      u"LiczbaStandardow=2"_s,
                      u"MaxLiczbaPunktow=%1"_s.arg(taskCount + 2)};
    int firstHalf = 0;
    for (int t = 1; t <= taskCount; ++t) {
        const int points = t == taskCount ? 3 : 1;
        const int standard = t <= taskCount / 2 ? 1 : 2;
        firstHalf += standard == 1 ? points : 0;
        lines << QString() << u"[Zadanie%1]"_s.arg(t) << u"Etykieta=%1"_s.arg(t)
              << u"KategoriaStandardu=%1"_s.arg(standard) << u"MaxPunktow=%1"_s.arg(points)
              << u"ZadanieZamkniete=%1"_s.arg(t < taskCount ? 1 : 0);
    }
    lines << QString() << u"[Standard1]"_s << u"MaxPunktow=%1"_s.arg(firstHalf) << u"Skrot=Czyt."_s
          << u"Opis=Czytanie"_s << QString() << u"[Standard2]"_s
          << u"MaxPunktow=%1"_s.arg(taskCount + 2 - firstHalf) << u"Skrot=Pis."_s << u"Opis=Pisanie"_s;
    return cp1250::encode(lines.join(u"\r\n"_s) + u"\r\n"_s);
}

QMap<QString, QByteArray> filesUnder(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(root).relativeFilePath(path), readBytes(path));
    }
    return files;
}

} // namespace

class TstSchoolTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void schoolKeepsItsTest();

private:
    // Computes and saves every class page and the school page of the open school.
    void computeAndSaveAll(wb::Workbook &wb, int classes);

    QString m_setupIni;
    QByteArray m_previous;
    bool m_hadSetupIni = false;
};

void TstSchoolTest::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), u"xcb"_s);
    m_setupIni = setupIniPath();
    m_hadSetupIni = QFileInfo::exists(m_setupIni);
    m_previous = readBytes(m_setupIni);
}

void TstSchoolTest::cleanupTestCase()
{
    if (m_hadSetupIni)
        QVERIFY(writeBytes(m_setupIni, m_previous));
    else
        QFile::remove(m_setupIni);
}

void TstSchoolTest::computeAndSaveAll(wb::Workbook &wb, int classes)
{
    for (int page = 1; page <= classes; ++page) {
        QCOMPARE(wb.window.currentPage(), page);
        WB_CHECK(wb.press("bOblicz"));
        WB_CHECK(wb.press("sbZapisz"));
        QCOMPARE(wb.shownTexts(), QStringList{u"Wyniki uczniów zostały zapisane!"_s});
        wb.recorder.clear();
        WB_CHECK(wb.go({u"next"_s}));
    }
    WB_CHECK(wb.press("sbZapisz"));
    QCOMPARE(wb.shownTexts(), QStringList{u"Wyniki zostały zapisane!"_s});
    wb.recorder.clear();
}

void TstSchoolTest::schoolKeepsItsTest()
{
    const QByteArray testA = testFile(u"Próbny egzamin – matematyka"_s, 12);
    const QByteArray testB = testFile(u"Próbny egzamin – język angielski"_s, 7);
    QVERIFY(writeBytes(m_setupIni, testA));
    QTemporaryDir location;
    const QStringList labels{u"Klasa 8a"_s, u"Klasa 8b"_s};
    const QStringList pupils{u"3"_s, u"2"_s};

    // Set up with test A, typed, computed and saved.
    QString school;
    {
        wb::Workbook wb(loadTestDefinitionFrom(setupIniPath()));
        wb.where = location.path();
        WB_CHECK(wb.accept(labels, pupils));
        school = wb.school();
        QCOMPARE(readBytes(wb.school(u"Setup.ini"_s)), testA);
        QVERIFY(wb.window.windowTitle().endsWith(u"Szkola1 – Próbny egzamin – matematyka, 2026-11-20"_s));
        WB_CHECK(wb.go({u"next"_s}));
        for (int c = 0; c < 2; ++c) {
            for (int p = 1; p <= pupils[c].toInt(); ++p) {
                WB_CHECK(wb::typeIntoCell(wb.upper(), 1, p, u"K%1P%2"_s.arg(c).arg(p)));
                for (int t = 0; t < 12; ++t)
                    WB_CHECK(wb::typeIntoCell(wb.upper(), 3 + t, p,
                                              QString::number((p + t + c) % (t == 11 ? 4 : 2))));
            }
            WB_CHECK(wb.press("bOblicz"));
            WB_CHECK(wb.press("sbZapisz"));
            QCOMPARE(wb.shownTexts(), QStringList{u"Wyniki uczniów zostały zapisane!"_s});
            wb.recorder.clear();
            WB_CHECK(wb.go({u"next"_s}));
        }
        WB_CHECK(wb.press("sbZapisz"));
        wb.recorder.clear();
    }
    const QMap<QString, QByteArray> saved = filesUnder(school);
    QVERIFY(saved.value(u"Klasa 8b/Odpowiedzi.tmp"_s)
                .startsWith("L.p.;Kod ucznia;Ob.;1;2;3;4;5;6;7;8;9;10;11;12;\r\n"));
    QVERIFY(saved.value(u"Klasa 8a/Odpowiedzi.tmp"_s).contains("\r\n3;K0P3;T;"));

    // The program's Setup.ini now holds test B: the school opened in one step still has test A.
    QVERIFY(writeBytes(m_setupIni, testB));
    {
        wb::Workbook wb(loadTestDefinitionFrom(setupIniPath()));
        ui::folderChooser = [&](QWidget *, const QString &, const QString &) { return school; };
        WB_CHECK(wb.press("sbOtworzSzkole"));
        ui::folderChooser = [](QWidget *, const QString &, const QString &) { return QString(); };
        QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.shownTexts().join(u" | "_s)));
        QCOMPARE(wb.window.currentPage(), 1);
        QCOMPARE(wb.window.session().test().taskCount, 12);
        QCOMPARE(wb.upper()->cell(1, 3), u"K0P3"_s);
        QVERIFY(wb.window.windowTitle().contains(u"matematyka"_s));
        // Nothing was written by opening.
        QCOMPARE(filesUnder(school), saved);
        WB_CHECK(computeAndSaveAll(wb, 2));
    }
    QCOMPARE(filesUnder(school), saved);

    // The original way: the same folder name typed at the same location and accepted; asked, the
    // teacher opens the school there.
    {
        wb::Workbook wb(loadTestDefinitionFrom(setupIniPath()));
        QCOMPARE(wb.window.session().test().taskCount, 7);
        wb.where = location.path();
        WB_CHECK(wb.chooseLocation(location.path()));
        WB_CHECK(wb::typeInto(wb.edit("eLiczbaKlas"), u"2"_s));
        WB_CHECK(wb::typeIntoCell(wb.upper(), 2, 1, u"3"_s));
        WB_CHECK(wb::typeIntoCell(wb.upper(), 2, 2, u"2"_s));
        WB_CHECK(wb::typeInto(wb.edit("eNazwaKatalogu"), u"Szkola1"_s));
        wb.recorder.answers = {QMessageBox::Yes};
        WB_CHECK(wb.press("bAkceptuj"));
        QCOMPARE(wb.recorder.shown.size(), 1);
        QVERIFY(wb.shownTexts().value(0).contains(u"zawiera już szkołę (2 klas)"_s));
        wb.recorder.clear();
        QCOMPARE(wb.window.session().test().taskCount, 12);
        QCOMPARE(wb.window.currentPage(), 1);
        WB_CHECK(computeAndSaveAll(wb, 2));
    }
    QCOMPARE(filesUnder(school), saved);

    // Replacing the description of classes keeps every class's file and the school's test.
    {
        wb::Workbook wb(loadTestDefinitionFrom(setupIniPath()));
        WB_CHECK(wb.chooseLocation(location.path()));
        WB_CHECK(wb::typeInto(wb.edit("eLiczbaKlas"), u"2"_s));
        WB_CHECK(wb::typeIntoCell(wb.upper(), 1, 1, labels[0]));
        WB_CHECK(wb::typeIntoCell(wb.upper(), 1, 2, labels[1]));
        WB_CHECK(wb::typeIntoCell(wb.upper(), 2, 1, u"4"_s));
        WB_CHECK(wb::typeIntoCell(wb.upper(), 2, 2, u"2"_s));
        WB_CHECK(wb::typeInto(wb.edit("eNazwaKatalogu"), u"Szkola1"_s));
        wb.recorder.answers = {QMessageBox::No};
        WB_CHECK(wb.press("bAkceptuj"));
        QCOMPARE(wb.recorder.shown.size(), 1);
        QCOMPARE(wb.window.session().test().taskCount, 12);
        QCOMPARE(wb.window.pageCount(), 4);
    }
    QMap<QString, QByteArray> replaced = filesUnder(school);
    QVERIFY(replaced.take(u"Szkola.ini"_s).contains("LiczbaUczniow=4"));
    QMap<QString, QByteArray> expected = saved;
    expected.remove(u"Szkola.ini"_s);
    QCOMPARE(replaced, expected);
    QCOMPARE(readBytes(school + u"/Setup.ini"_s), testA);
}

int main(int argc, char *argv[])
{
    QHashSeed::setDeterministicGlobalSeed();
    // The spreadsheet files carry the moment they were made, unless this fixes one.
    qputenv("SOURCE_DATE_EPOCH", "1071187200");
    SondarykApplication application(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    TstSchoolTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_schooltest.moc"
