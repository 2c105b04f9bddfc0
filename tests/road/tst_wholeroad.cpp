// A school's results from the start window to the analysis and back, through the real windows on
// a real X display, typed as a teacher types them. Every file the road writes is compared with the
// fixtures: the program's own files byte for byte, bitmaps by their SHA-256 sums and the PDF by what
// a reader sees of it. SONDARYK_UPDATE_FIXTURES=1 writes the fixtures anew instead.
#include "app/instanceguard.h"
#include "app/sondarykapplication.h"
#include "app/tfsondaryk.h"
#include "files/gridfile.h"
#include "tests/workbook/workbooktesting.h"
#include "ui_tfanaliza.h"
#include "ui_tfporownanie.h"
#include "workbook/tfanaliza.h"
#include "workbook/tfporownanie.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QGuiApplication>
#include <QHashSeed>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

using wb::click;

QWidget *focused()
{
    return QApplication::focusWidget();
}

// Keys go where the keyboard focus is, as they do for a teacher.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *target = focused();
    QVERIFY2(target, "nothing has the keyboard focus");
    QTest::keyClick(target, key, modifiers);
}

void type(const QString &text)
{
    for (const QChar c : text) {
        QWidget *target = focused();
        QVERIFY2(target, "nothing has the keyboard focus");
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            QTest::keyClick(target, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void expectFocus(const char *name)
{
    QTRY_VERIFY2(focused() && focused()->objectName() == QLatin1String(name),
                 qPrintable(u"focus is on "_s + (focused() ? focused()->objectName() : u"nothing"_s) +
                            u", expected "_s + QLatin1String(name)));
}

void clickCell(StringGrid *grid, int col, int row)
{
    grid->scrollTo(grid->model()->index(row, col));
    const QRect rect = grid->visualRect(grid->model()->index(row, col));
    QVERIFY2(rect.isValid(), "the cell is not on screen");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QCOMPARE(grid->currentColumn(), col);
    QCOMPARE(grid->currentRow(), row);
}

// Runs `inside` once the modal window that `open` shows is up, then closes that window if
// `inside` left it open; `open` returns when the window is closed.
void whileModal(const std::function<void(QWidget *)> &inside, const std::function<void()> &open)
{
    bool ran = false;
    QTimer::singleShot(0, [&] {
        QWidget *modal = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((modal = QApplication::activeModalWidget()) != nullptr, 10000);
        // Xvfb has no window manager to hand the new window the keyboard.
        modal->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(modal));
        ran = true;
        inside(modal);
        if (modal->isVisible())
            modal->close();
    });
    open();
    QVERIFY2(ran, "the window did not open");
}

QStringList filesUnder(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(root).relativeFilePath(it.next()));
    files.sort();
    return files;
}

// Points of pupil p (from 0) in task t (from 0): spread over the whole range, the same every run.
int pointsFor(int classIndex, int pupil, int task, int maximum)
{
    return (classIndex * 5 + pupil * 7 + task * task * 3 + pupil * task) % (maximum + 1);
}

} // namespace

class TstWholeRoad : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void road();
    void pasteFromTheXClipboard();
    void comparisonFiguresAndPupilSheets();

private:
    void setUpSchool(TfWyniki *workbook);
    void typeClass(TfWyniki *workbook, int classIndex, int pupils, int absentPupil);
    void lookAtCharts(TfWyniki *workbook, int expectedTabs);
    void analyseAndSavePdf(TfWyniki *workbook);
    void compareWithFixtures();

    MessageRecorder m_recorder;
    QTemporaryDir m_location;
    QString m_school;
};

void TstWholeRoad::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), u"xcb"_s);
    QVERIFY(m_location.isValid());
    m_school = m_location.filePath(u"Szkoła Podstawowa nr 1"_s);
    ui::folderChooser = [this](QWidget *, const QString &title, const QString &) {
        return title == u"Wybierz folder:"_s ? m_location.path() : QString();
    };
}

void TstWholeRoad::setUpSchool(TfWyniki *workbook)
{
    auto *classes = workbook->findChild<QLineEdit *>(u"eLiczbaKlas"_s);
    auto *grid = workbook->findChild<StringGrid *>(u"tabela1"_s);
    QVERIFY(classes && grid);

    // The number of classes first, then the pupils in the class list, then the directory.
    classes->setFocus();
    expectFocus("eLiczbaKlas");
    WB_CHECK(press(Qt::Key_A, Qt::ControlModifier));
    WB_CHECK(type(u"3"_s));
    QCOMPARE(grid->rowCount(), 4);
    QCOMPARE(grid->cell(1, 3), u"Klasa VI C"_s);

    WB_CHECK(clickCell(grid, 2, 1));
    const QStringList pupils = {u"4"_s, u"3"_s, u"3"_s};
    for (int i = 0; i < pupils.size(); ++i) {
        WB_CHECK(type(pupils[i]));
        WB_CHECK(press(Qt::Key_Return));
        QTRY_VERIFY(!grid->isEditing());
        QCOMPARE(grid->cell(2, i + 1), pupils[i]);
        if (i + 1 < pupils.size())
            WB_CHECK(press(Qt::Key_Down));
    }

    // From the class count the Tab key leads to the name and the folder button.
    classes->setFocus();
    WB_CHECK(press(Qt::Key_Tab));
    expectFocus("bAkceptuj");
    WB_CHECK(press(Qt::Key_Tab));
    expectFocus("eNazwaKatalogu");
    WB_CHECK(press(Qt::Key_A, Qt::ControlModifier));
    WB_CHECK(type(u"Szkoła Podstawowa nr 1"_s));
    WB_CHECK(press(Qt::Key_Tab));
    expectFocus("bKatalog");
    WB_CHECK(press(Qt::Key_Space));
    QCOMPARE(workbook->findChild<QLabel *>(u"stSciezka"_s)->text(), m_location.path());

    WB_CHECK(click(workbook->findChild<QAbstractButton *>(u"bAkceptuj"_s)));
    QVERIFY2(m_recorder.shown.isEmpty(), qPrintable(m_recorder.texts().join(u" | "_s)));
    QCOMPARE(workbook->findChild<QTabWidget *>(u"pcWyniki"_s)->count(), 5);
    QVERIFY(QFileInfo(m_school + u"/Szkoła"_s).isDir());
    QVERIFY(QFileInfo(m_school + u"/Klasa VI B"_s).isDir());
}

void TstWholeRoad::typeClass(TfWyniki *workbook, int classIndex, int pupils, int absentPupil)
{
    auto *grid = workbook->findChild<StringGrid *>(u"tabela1"_s);
    const TestDefinition &test = workbook->session().test();
    QCOMPARE(grid->rowCount(), pupils + 1);
    WB_CHECK(clickCell(grid, 1, 1));
    for (int p = 0; p < pupils; ++p) {
        // Code, attendance mark and the points of every task, each cell left with Tab.
        QCOMPARE(grid->currentRow(), p + 1);
        QCOMPARE(grid->currentColumn(), 1);
        WB_CHECK(type(u"%1%2"_s.arg(QChar(u'A' + classIndex)).arg(p + 1, 2, 10, QChar(u'0'))));
        WB_CHECK(press(Qt::Key_Tab));
        const bool absent = p == absentPupil;
        WB_CHECK(type(absent ? u"N"_s : (p % 2 ? u"t"_s : u"T"_s)));
        WB_CHECK(press(Qt::Key_Tab));
        for (int t = 0; t < test.taskCount; ++t) {
            if (!absent)
                WB_CHECK(type(QString::number(pointsFor(classIndex, p, t, test.taskMaxPoints[t]))));
            WB_CHECK(press(Qt::Key_Tab));
        }
    }
    QTRY_VERIFY(!grid->isEditing());
    QCOMPARE(grid->cell(1, 1), u"%1%2"_s.arg(QChar(u'A' + classIndex)).arg(1, 2, 10, QChar(u'0')));
    QCOMPARE(grid->cell(3, pupils),
             absentPupil == pupils - 1
                 ? QString()
                 : u"%1"_s.arg(pointsFor(classIndex, pupils - 1, 0, test.taskMaxPoints[0])));

    WB_CHECK(click(workbook->findChild<QAbstractButton *>(u"bOblicz"_s)));
    QVERIFY2(m_recorder.shown.isEmpty(), qPrintable(m_recorder.texts().join(u" | "_s)));
}

void TstWholeRoad::lookAtCharts(TfWyniki *workbook, int expectedTabs)
{
    whileModal(
        [&](QWidget *chartWindow) {
            auto *tabs = chartWindow->findChild<QTabWidget *>(u"tabControl"_s);
            QVERIFY(tabs);
            QCOMPARE(tabs->count(), expectedTabs);
            // Every tab draws its chart and saves it as a bitmap.
            for (int i = 1; i < tabs->count(); ++i) {
                const QRect rect = tabs->tabBar()->tabRect(i);
                QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, Qt::NoModifier, rect.center());
                QCOMPARE(tabs->currentIndex(), i);
            }
            QTest::keyClick(chartWindow, Qt::Key_Escape);
            QTRY_VERIFY(!chartWindow->isVisible());
        },
        [&] { click(workbook->findChild<QAbstractButton *>(u"bWykresy"_s)); });
    QVERIFY2(m_recorder.shown.isEmpty(), qPrintable(m_recorder.texts().join(u" | "_s)));
}

void TstWholeRoad::analyseAndSavePdf(TfWyniki *workbook)
{
    whileModal(
        [&](QWidget *analysis) {
            QVERIFY(analysis->windowTitle().contains(u"Szkoła"_s) ||
                    analysis->findChild<QWidget *>(u"teRaport"_s));
            click(analysis->findChild<QAbstractButton *>(u"bZapiszPdf"_s));
            QCOMPARE(m_recorder.texts(), QStringList({u"Analiza została zapisana w pliku:\n"_s + m_school +
                                                      u"/Szkoła/Analiza wyników.pdf"_s}));
            m_recorder.clear();
            click(analysis->findChild<QAbstractButton *>(u"bZamknij"_s));
            QTRY_VERIFY(!analysis->isVisible());
        },
        [&] { click(workbook->findChild<QAbstractButton *>(u"sbAnaliza"_s)); });
}

namespace {

// A PDF's text and its number of pages, as poppler's tools read them.
QString pdfText(const QString &path)
{
    QProcess process;
    process.start(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pdfInfo(const QString &path)
{
    QProcess process;
    process.start(u"pdfinfo"_s, {path});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPageCount(const QString &path)
{
    static const QRegularExpression pages(u"Pages:\\s+(\\d+)"_s);
    return pages.match(pdfInfo(path)).captured(1).toInt();
}

// What a reader sees of a PDF: its pages, their size in whole points, and its words in the order
// they are drawn. The bytes around them belong to the Qt version and the fonts at hand, and so
// does poppler's guess at reading order (a table's last rows read in another order under Qt 6.8).
QString pdfSeen(const QString &path)
{
    static const QRegularExpression size(u"Page size:\\s+([0-9.]+) x ([0-9.]+) pts"_s);
    const QString info = pdfInfo(path);
    const QRegularExpressionMatch match = size.match(info);
    QProcess process;
    process.start(u"pdftotext"_s, {u"-raw"_s, path, u"-"_s});
    process.waitForFinished(30000);
    const QString words = QString::fromUtf8(process.readAllStandardOutput()).simplified();
    static const QRegularExpression pages(u"Pages:\\s+(\\d+)"_s);
    return u"%1 pages of %2 x %3 pt:\n%4"_s.arg(pages.match(info).captured(1).toInt())
        .arg(qRound(match.captured(1).toDouble()))
        .arg(qRound(match.captured(2).toDouble()))
        .arg(words);
}

// Bitmaps are kept in the fixtures as their SHA-256 sums, one "sum  path" line each; every other
// file is kept whole.
const QString bitmapSums = u"bitmaps.sha256"_s;

QByteArray sha256Of(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

} // namespace

void TstWholeRoad::compareWithFixtures()
{
    const QString fixtures = QStringLiteral(SONDARYK_ROAD_FIXTURES);
    const QStringList written = filesUnder(m_school);
    auto isBitmap = [](const QString &relative) { return relative.endsWith(u".bmp"_s); };
    if (qEnvironmentVariableIsSet("SONDARYK_UPDATE_FIXTURES")) {
        QDir(fixtures).removeRecursively();
        QByteArray sums;
        for (const QString &relative : written) {
            const QByteArray bytes = readBytes(m_school + u'/' + relative);
            if (isBitmap(relative)) {
                sums += sha256Of(bytes) + "  " + relative.toUtf8() + '\n';
                continue;
            }
            QDir().mkpath(QFileInfo(fixtures + u'/' + relative).path());
            QVERIFY(writeBytes(fixtures + u'/' + relative, bytes));
        }
        QVERIFY(writeBytes(fixtures + u'/' + bitmapSums, sums));
        QSKIP("fixtures written anew");
    }

    QMap<QString, QByteArray> expectedSums;
    for (const QByteArray &line : readBytes(fixtures + u'/' + bitmapSums).split('\n')) {
        if (!line.isEmpty())
            expectedSums.insert(QString::fromUtf8(line.mid(66)), line.left(64));
    }
    QStringList expectedFiles = filesUnder(fixtures);
    expectedFiles.removeOne(bitmapSums);
    expectedFiles += expectedSums.keys();
    expectedFiles.sort();
    QCOMPARE(written, expectedFiles);

    for (const QString &relative : written) {
        const QString path = m_school + u'/' + relative;
        const QByteArray actual = readBytes(path);
        bool same = false;
        if (isBitmap(relative)) {
            same = sha256Of(actual) == expectedSums.value(relative);
        } else if (relative.endsWith(u".pdf"_s)) {
            const QString seen = pdfSeen(path);
            const QString expected = pdfSeen(fixtures + u'/' + relative);
            QVERIFY2(expected.size() > 200, "poppler read no text from the fixture");
            same = seen == expected;
            if (!same)
                qWarning().noquote() << relative << "reads\n" << seen << "\nexpected\n" << expected;
        } else {
            same = actual == readBytes(fixtures + u'/' + relative);
        }
        if (!same) {
            // Kept for a look at what differs.
            const QString kept = QDir::temp().filePath(u"sondaryk-road/"_s + relative);
            QDir().mkpath(QFileInfo(kept).path());
            writeBytes(kept, readBytes(m_school + u'/' + relative));
            QFAIL(qPrintable(relative + u" differs from its fixture; the file written is kept as "_s + kept));
        }
    }
}

void TstWholeRoad::road()
{
    // A teacher's own copy of the program may be open meanwhile.
    const InstanceGuard teachersCopy(u"Sondaryk.exe"_s);
    fSondaryk = new TfSondaryk;
    QVERIFY(fSondaryk->FormCreate());
    fSondaryk->show();
    fSondaryk->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fSondaryk));

    whileModal(
        [&](QWidget *modal) {
            auto *workbook = qobject_cast<TfWyniki *>(modal);
            QVERIFY(workbook);
            QCOMPARE(workbook->currentPage(), 0);
            WB_CHECK(setUpSchool(workbook));
            auto *next = workbook->findChild<QAbstractButton *>(u"bDalej"_s);
            auto *back = workbook->findChild<QAbstractButton *>(u"bWstecz"_s);

            // Three classes typed in full; one pupil of the last two was absent.
            const int pupils[] = {4, 3, 3};
            const int absent[] = {-1, 1, 2};
            for (int c = 0; c < 3; ++c) {
                WB_CHECK(click(next));
                QCOMPARE(workbook->currentPage(), c + 1);
                WB_CHECK(typeClass(workbook, c, pupils[c], absent[c]));
                if (c == 0) {
                    WB_CHECK(lookAtCharts(workbook, 6));
                    WB_CHECK(click(workbook->findChild<QAbstractButton *>(u"sbZapisz"_s)));
                    QCOMPARE(m_recorder.texts(), QStringList({u"Wyniki uczniów zostały zapisane!"_s}));
                    m_recorder.clear();
                }
            }

            // The school page: every class's statistics, the school charts, the summary saved.
            WB_CHECK(click(next));
            QCOMPARE(workbook->currentPage(), 4);
            QVERIFY2(m_recorder.shown.isEmpty(), qPrintable(m_recorder.texts().join(u" | "_s)));
            WB_CHECK(lookAtCharts(workbook, 14));
            WB_CHECK(click(workbook->findChild<QAbstractButton *>(u"sbZapisz"_s)));
            QCOMPARE(m_recorder.texts(), QStringList({u"Wyniki zostały zapisane!"_s}));
            m_recorder.clear();
            WB_CHECK(analyseAndSavePdf(workbook));

            // Back through the classes, each shown from its saved answers, to the setup page.
            for (int page = 3; page >= 0; --page) {
                WB_CHECK(click(back));
                QCOMPARE(workbook->currentPage(), page);
            }
            auto *grid = workbook->findChild<StringGrid *>(u"tabela1"_s);
            QCOMPARE(grid->cell(1, 2), u"Klasa VI B"_s);
            QCOMPARE(grid->cell(2, 1), u"4"_s);
            QVERIFY2(m_recorder.shown.isEmpty(), qPrintable(m_recorder.texts().join(u" | "_s)));
            QTest::keyClick(workbook, Qt::Key_Escape);
        },
        [&] { click(fSondaryk->findChild<QAbstractButton *>(u"bWyniki"_s)); });
    if (QTest::currentTestFailed())
        return;

    click(fSondaryk->findChild<QAbstractButton *>(u"bKoniec"_s));
    QVERIFY(!fSondaryk->isVisible());
    delete fSondaryk;
    fSondaryk = nullptr;
    compareWithFixtures();
}

namespace {

// The real X clipboard, held by another program (xclip) as a spreadsheet holds what it copied.
struct XClipboard {
    QProcess xclip;
    void hold(const QString &text)
    {
        xclip.start(u"xclip"_s, {u"-quiet"_s, u"-selection"_s, u"clipboard"_s, u"-i"_s});
        QVERIFY2(xclip.waitForStarted(), "xclip is missing");
        xclip.write(text.toUtf8());
        xclip.closeWriteChannel();
        QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(), text, 10000);
    }
    ~XClipboard()
    {
        xclip.kill();
        xclip.waitForFinished();
    }
};

} // namespace

void TstWholeRoad::pasteFromTheXClipboard()
{
    // The points of class VI A as a spreadsheet copies them (code, mark, tasks; tabs and CR LF),
    // from the file the road typed, put on the real X clipboard by another program.
    const QString fixtures = QStringLiteral(SONDARYK_ROAD_FIXTURES) + u"/Klasa VI A/"_s;
    const GridRows typed = parseGridFile(readBytes(fixtures + u"Odpowiedzi.tmp"_s));
    QVERIFY(typed.size() == 5);
    QString block;
    for (qsizetype r = 1; r < typed.size(); ++r)
        block += typed[r].mid(1).join(u'\t') + u"\r\n"_s;
    XClipboard clipboard;
    WB_CHECK(clipboard.hold(block));

    wb::Workbook workbook(loadTestDefinitionFrom(setupIniPath()));
    QTemporaryDir location;
    workbook.where = location.path();
    WB_CHECK(workbook.accept({u"Klasa VI A"_s, u"Klasa VI B"_s, u"Klasa VI C"_s}, {u"4"_s, u"3"_s, u"3"_s}));
    WB_CHECK(workbook.go({u"next"_s}));
    StringGrid *grid = workbook.upper();
    grid->setFocus();
    grid->setCurrentCell(1, 1);
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(grid->cell(1, 1), u"A01"_s);
    WB_CHECK(workbook.press("bOblicz"));
    WB_CHECK(workbook.press("sbZapisz"));
    QCOMPARE(workbook.shownTexts(), QStringList{u"Wyniki uczniów zostały zapisane!"_s});

    // Byte for byte what typing the same points wrote.
    for (const QString &name : {u"Odpowiedzi.tmp"_s, u"Zadania.tmp"_s, u"Standardy.tmp"_s,
                                u"Wyniki uczniów.csv"_s, u"Wyniki uczniów.xlsx"_s})
        QVERIFY2(readBytes(workbook.school(u"Klasa VI A/"_s + name)) == readBytes(fixtures + name),
                 qPrintable(name));
}

namespace {

// Opens the page's analysis and runs inside on it.
void withAnalysis(wb::Workbook &workbook, const std::function<void(TfAnaliza *)> &inside)
{
    WB_CHECK(wb::whileModalOpen(
        [&](QWidget *modal) {
            auto *analysis = qobject_cast<TfAnaliza *>(modal);
            QVERIFY(analysis);
            inside(analysis);
        },
        [&] { workbook.press("sbAnaliza"); }));
}

} // namespace

void TstWholeRoad::comparisonFiguresAndPupilSheets()
{
    // A school of one class, its points typed in as the road typed class VI A.
    const QString fixtures = QStringLiteral(SONDARYK_ROAD_FIXTURES) + u"/Klasa VI A/"_s;
    const TestDefinition test = loadTestDefinitionFrom(setupIniPath());
    QTemporaryDir location;
    QString schoolFolder;
    {
        wb::Workbook workbook(test);
        workbook.where = location.path();
        WB_CHECK(workbook.accept({u"Klasa VI A"_s}, {u"4"_s}));
        schoolFolder = workbook.school();
        QVERIFY(writeBytes(workbook.school(u"Klasa VI A/Odpowiedzi.tmp"_s),
                           readBytes(fixtures + u"Odpowiedzi.tmp"_s)));
        WB_CHECK(workbook.go({u"next"_s}));

        // The published facilities, copied from a spreadsheet: country and province of tasks 1 to 3.
        const QString block = u"0,62\t0,60\n0,55\t0,57\n0,9\t0,8\n"_s;
        XClipboard clipboard;
        WB_CHECK(clipboard.hold(block));

        WB_CHECK(withAnalysis(workbook, [&](TfAnaliza *analysis) {
            QVERIFY(!analysis->figures().comparison.hasFigures);
            WB_CHECK(wb::whileModalOpen(
                [&](QWidget *modal) {
                    auto *comparison = qobject_cast<TfPorownanie *>(modal);
                    QVERIFY(comparison);
                    StringGrid *grid = comparison->grid();
                    grid->setFocus();
                    grid->setCurrentCell(1, 1);
                    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
                    QCOMPARE(grid->cell(1, 1), u"0,62"_s);
                    QCOMPARE(grid->cell(2, 3), u"0,80"_s);
                    click(comparison->form()->bZapisz);
                },
                [&] { click(analysis->form()->bDanePorownawcze); }));
            QVERIFY(analysis->figures().comparison.hasFigures);
            QVERIFY(analysis->document()->toPlainText().contains(u"Porównanie z krajem"_s));
        }));
        QVERIFY(readBytes(workbook.school(u"Porownanie.ini"_s))
                    .contains("[PorownanieKraj]\r\nZadanie1=0.62\r\n"));
    }

    // The school reopened in a new workbook: the figures are read again, and both PDFs written.
    wb::Workbook reopened(test);
    WB_CHECK(reopened.chooseLocation(schoolFolder));
    WB_CHECK(reopened.press("sbOtworz"));
    WB_CHECK(reopened.chooseLocation(location.path()));
    WB_CHECK(wb::typeInto(reopened.edit("eNazwaKatalogu"), QFileInfo(schoolFolder).fileName()));
    // The school there is kept: only its description of classes is written again.
    reopened.recorder.answers = {QMessageBox::No};
    WB_CHECK(reopened.press("bAkceptuj"));
    QCOMPARE(reopened.recorder.shown.size(), 1);
    WB_CHECK(reopened.go({u"next"_s}));
    reopened.recorder.clear();
    WB_CHECK(withAnalysis(reopened, [&](TfAnaliza *analysis) {
        const ComparisonTable &table = analysis->figures().comparison;
        QVERIFY(table.hasFigures);
        QCOMPARE(table.tasks.value(0).areas[0], std::optional<double>(0.62));
        click(analysis->form()->bZapiszPdf);
        click(analysis->form()->bKartyUczniow);
    }));
    QCOMPARE(reopened.recorder.shown.size(), 2);
    const QString report = schoolFolder + u"/Klasa VI A/Analiza wyników.pdf"_s;
    const QString sheets = schoolFolder + u"/Klasa VI A/Karty wyników uczniów.pdf"_s;
    const QString reportText = pdfText(report);
    QVERIFY2(reportText.contains(u"Porównanie z krajem, województwem, powiatem i gminą"_s),
             qPrintable(reportText.left(400)));
    QVERIFY(reportText.contains(u"Jakość testu"_s));
    QVERIFY(pdfPageCount(report) >= 3);
    // One A4 page for each of the four present pupils, named by code only.
    QCOMPARE(pdfPageCount(sheets), 4);
    const QString sheetsText = pdfText(sheets);
    for (const QString &code : {u"A01"_s, u"A02"_s, u"A03"_s, u"A04"_s})
        QVERIFY2(sheetsText.contains(u"Karta wyników ucznia "_s + code), qPrintable(code));
    QVERIFY(sheetsText.contains(u"Średnia w kraju"_s));
}

int main(int argc, char *argv[])
{
    // As the program does, so that the PDF is repeatable.
    QHashSeed::setDeterministicGlobalSeed();
    // The spreadsheet files carry the moment they were made, unless this fixes one.
    qputenv("SOURCE_DATE_EPOCH", "1071187200");
    SondarykApplication application(argc, argv);
    // The user's own settings and tests are never touched by a test.
    QStandardPaths::setTestModeEnabled(true);
    TstWholeRoad road;
    return QTest::qExec(&road, argc, argv);
}

#include "tst_wholeroad.moc"
