// Every window used from the keyboard and read by a screen reader: each control a teacher can reach
// is named as it is captioned, Tab visits every control and comes back, and the keys that stand in
// for the toolbar's buttons and the tabs do what a click does, and only when a click could.
#include "app/tfsondaryk.h"
#include "charts/barchart.h"
#include "charts/tfwykres.h"
#include "school/recentschools.h"
#include "tests/support/builders.h"
#include "tests/workbook/workbooktesting.h"
#include "workbook/tfanaliza.h"
#include "workbook/tfdefinicjatestu.h"
#include "workbook/tfporownanie.h"
#include "workbook/tfporownanietestow.h"
#include "workbook/tfwyniki.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace Qt::StringLiterals;

class TstAccessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void startWindow();
    void helpWindow();
    void newWindowsHelpAndSize();
    void workbookPages_data();
    void workbookPages();
    void gridCaptionNamesTheGrid();
    void saveAndOpenKeysDoWhatTheButtonsDo_data();
    void saveAndOpenKeysDoWhatTheButtonsDo();
    void helpKeyInTheWorkbook();
    void analysisKey();
    void analysisKeyWhileTheButtonIsDisabled_data();
    void analysisKeyWhileTheButtonIsDisabled();
    void cellEditorKeepsItsKeys();
    void pageKeys_data();
    void pageKeys();
    void pageKeyAsksAboutUnsavedPoints();
    void chartWindow();
};

namespace {

// The workbook of the workbook tests, also made the active window, since shortcuts only reach
// the active window; accept() sets up two classes of two pupils in a temporary folder as the
// setup page takes them.
struct Workbook : wb::Workbook {
    Workbook() : wb::Workbook(wb::makeTest())
    {
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("the workbook did not become the active window");
    }

    void accept()
    {
        const QString folder = location.path();
        ui::folderChooser = [folder](QWidget *, const QString &, const QString &) { return folder; };
        button("bKatalog")->click();
        ui::folderChooser = [](QWidget *, const QString &, const QString &) { return QString(); };
        find<QLineEdit>("eLiczbaKlas")->setText(u"2"_s);
        upper()->setCell(2, 1, u"2"_s);
        upper()->setCell(2, 2, u"2"_s);
        find<QLineEdit>("eNazwaKatalogu")->setText(u"Szkola1"_s);
        button("bAkceptuj")->click();
        QCOMPARE(window.pageCount(), 4);
        QVERIFY2(recorder.shown.isEmpty(), qPrintable(recorder.texts().join(u" | "_s)));
    }

    // Points of both pupils of the class in view, then "Oblicz", which writes its answers file.
    void computeClass()
    {
        const QStringList rows{u"A1;T;2;1;3"_s, u"A2;T;1;0;2"_s};
        for (int r = 0; r < rows.size(); ++r) {
            const QStringList values = rows[r].split(u';');
            for (int c = 0; c < values.size(); ++c)
                upper()->setCell(1 + c, r + 1, values[c]);
        }
        button("bOblicz")->click();
        QVERIFY2(recorder.shown.isEmpty(), qPrintable(recorder.texts().join(u" | "_s)));
    }

    QString classFile(const QString &name) const
    {
        return window.session().paths().classFolder(0) + u'/' + name;
    }

    // Sends a key to whatever has the focus, as a keyboard does.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
        QTest::keyClick(target, key, modifiers);
    }
};

// A control as the checks name it: its object name, or for Qt's own parts their owner's.
QString nameOf(const QWidget *w)
{
    if (!w)
        return u"(nothing)"_s;
    if (w->objectName().isEmpty()) {
        if (const auto *button = qobject_cast<const QAbstractButton *>(w))
            return button->text();
    }
    if (w->objectName().startsWith(u"qt_"_s) && w->parentWidget())
        return w->parentWidget()->objectName();
    return w->objectName();
}

// Reachable by Tab as Qt decides it: shown, enabled, taking Tab focus and not passing it on.
bool takesTabFocus(const QWidget *w, const QWidget *window)
{
    return w->window() == window && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
           !w->focusProxy();
}

// The name a control should have: a button's caption, or its hint when it shows only a picture; a
// tab bar's selected tab; for the rest, the text given by the caller (the label that names it).
QString expectedName(QWidget *w, const QHash<QString, QString> &named)
{
    if (named.contains(w->objectName()))
        return named.value(w->objectName());
    if (auto *button = qobject_cast<QAbstractButton *>(w))
        return button->text().isEmpty() ? button->toolTip() : button->text().remove(u'&');
    if (auto *bar = qobject_cast<QTabBar *>(w))
        return bar->tabText(bar->currentIndex());
    return QString();
}

// Every control that a teacher can reach or press is named, for Qt and for a screen reader alike.
void verifyNames(QWidget *window, const QHash<QString, QString> &named)
{
    int checked = 0;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->window() != window || !w->isVisible() || !w->isEnabled())
            continue;
        if (!takesTabFocus(w, window) && !qobject_cast<QAbstractButton *>(w))
            continue;
        ++checked;
        const QString expected = expectedName(w, named);
        QVERIFY2(!expected.isEmpty(), qPrintable(u"nothing names "_s + nameOf(w)));
        QVERIFY2(w->accessibleName() == expected,
                 qPrintable(u"%1 is called \"%2\", its caption is \"%3\""_s.arg(
                     nameOf(w), w->accessibleName(), expected)));
        QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(w);
        QVERIFY(reader);
        // On Linux a list to choose from is read by its choice; the caption beside it names it.
        if (auto *choice = qobject_cast<QComboBox *>(w))
            QCOMPARE(reader->text(QAccessible::Name), choice->currentText());
        else
            QCOMPARE(reader->text(QAccessible::Name), expected);
        if (auto *bar = qobject_cast<QTabBar *>(w)) {
            for (int i = 0; i < bar->count(); ++i)
                QCOMPARE(reader->child(i)->text(QAccessible::Name), bar->tabText(i));
        }
    }
    QVERIFY(checked > 0);
}

// Presses Tab from `first` until the focus is back on it; the controls in the order they took the
// focus, a grid once however many of its cells Tab stepped through.
QStringList tabWalk(QWidget *first)
{
    while (first->focusProxy())
        first = first->focusProxy();
    QWidget *window = first->window();
    first->setFocus(Qt::TabFocusReason);
    if (QApplication::focusWidget() != first)
        return {u"could not focus "_s + nameOf(first)};
    QList<QWidget *> visited{first};
    for (int presses = 0; presses < 300; ++presses) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *now = QApplication::focusWidget();
        if (!now || now->window() != window) {
            visited.append(now);
            break;
        }
        if (now != visited.last())
            visited.append(now);
        if (now == first)
            break;
    }
    QStringList names;
    for (const QWidget *w : std::as_const(visited))
        names.append(nameOf(w));
    return names;
}

// The walk goes round in the layout's order and leaves out no control that takes the focus.
void verifyTabOrder(QWidget *window, const QStringList &order)
{
    QWidget *first = window->findChild<QWidget *>(order.first());
    QVERIFY2(first, qPrintable(order.first()));
    const QStringList walk = tabWalk(first);
    QCOMPARE(walk, order + QStringList{order.first()});
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (takesTabFocus(w, window))
            QVERIFY2(walk.contains(nameOf(w)), qPrintable(nameOf(w) + u" cannot be reached by Tab"_s));
    }
}

// Waits until the window that `opened` finds is shown and active, runs `whileOpen` on it and closes
// it, so that no modal loop waits for a person. `open` is what opens it.
void whileShown(const std::function<QWidget *()> &opened, const std::function<void(QWidget *)> &whileOpen,
                const std::function<void()> &open, bool *seen)
{
    *seen = false;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, &watcher, [&] {
        QWidget *window = opened();
        if (!window || !window->isVisible() || QApplication::activeWindow() != window)
            return;
        watcher.stop();
        *seen = true;
        whileOpen(window);
        if (window->isVisible())
            window->close();
    });
    watcher.start();
    open();
    watcher.stop();
}

QTextBrowser *helpBrowserOf(QWidget *owner)
{
    for (auto *browser : owner->findChildren<QTextBrowser *>(u"helpBrowser"_s)) {
        if (browser->isVisible())
            return browser;
    }
    return nullptr;
}

} // namespace

void TstAccessibility::initTestCase()
{
    setUpApplication();
}

void TstAccessibility::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == u"helpWindow"_s)
            w->close();
    }
}

void TstAccessibility::startWindow()
{
    TfSondaryk window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    WB_CHECK(verifyNames(&window, {}));
    QCOMPARE(window.findChild<QWidget *>(u"StaticText1"_s)->accessibleName(), u"Kalborn"_s);
    WB_CHECK(verifyTabOrder(&window, {u"bPomoc"_s, u"bWyniki"_s, u"bKoniec"_s}));
    // The window that starts the program is not closed by a stray Escape.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(window.isVisible());
}

void TstAccessibility::helpWindow()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"Pomoc"_s));
    QVERIFY(writeBytes(dir.filePath(u"Pomoc/Pomoc.html"_s),
                       "<html><body><h1><a name=\"IDH_MAIN\"></a>Temat</h1><p>Tekst</p></body></html>"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    TfSondaryk window;
    QDir::setCurrent(previous);
    MessageRecorder recorder;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.findChild<QWidget *>(u"bKoniec"_s)->setFocus();

    // F1 asks for help as the Pomoc button does, wherever the focus is.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    QVERIFY2(recorder.shown.isEmpty(), qPrintable(recorder.texts().join(u" | "_s)));
    QTextBrowser *browser = helpBrowserOf(&window);
    QVERIFY(browser);
    QCOMPARE(browser->source().fragment(), u"IDH_MAIN"_s);
    QWidget *help = browser->window();
    help->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(help));
    QTRY_COMPARE(QApplication::activeWindow(), help);
    WB_CHECK(verifyNames(help, {{u"helpBrowser"_s, u"Treść pomocy"_s}}));
    auto *close = help->findChild<QAbstractButton *>();
    QVERIFY(close);
    WB_CHECK(verifyTabOrder(help, {u"helpBrowser"_s, close->text()}));

    // Escape closes the help as its button does.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!browser || !browser->isVisible());
    QVERIFY(window.isVisible());
}

// The windows beyond the workbook: F1 and Pomoc open the help at the window's own part, one that
// the help has; a window made larger opens at that size the next time, and what it holds grows with
// it.
void TstAccessibility::newWindowsHelpAndSize()
{
    // The sizes kept here are gone afterwards: other tests open these windows as drawn.
    const auto forget = [] {
        QSettings(recentschools::settingsFile(), QSettings::IniFormat).remove(u"RozmiaryOkien"_s);
    };
    forget();
    const auto forgetAfter = qScopeGuard(forget);
    const QByteArray help = readBytes(QCoreApplication::applicationDirPath() + u"/Pomoc/Pomoc.html"_s);
    QVERIFY(!help.isEmpty());
    const TestDefinition test = wb::makeTest();
    const AnalysisSettings settings;
    AnalysisContext context;
    context.classes = {build::classOf(u"Klasa VI A"_s, u"U"_s, {{1, 1, 2}, {2, 0, 3}})};
    context.schoolClasses = context.classes;
    const AnalysisReport report = analyseClass(context.classes[0], test, settings);
    struct Case {
        QString topic;
        std::function<std::unique_ptr<QDialog>()> make;
        QString grown; // a control that takes the room a larger window gives
    };
    const QList<Case> cases{
        {u"kilka-testow"_s, [] { return std::make_unique<TfDefinicjaTestu>(); }, u"tabelaZadan"_s},
        {u"porownanie"_s,
         [&] {
             return std::make_unique<TfPorownanie>(ComparisonFigures{}, test, QString(), SchoolFolder(),
                                                   nullptr);
         },
         u"tabelaPorownanie"_s},
        {u"porownanie-testow"_s, [] { return std::make_unique<TfPorownanieTestow>(); }, u"teRaport"_s},
        {u"analiza"_s,
         [&] { return std::make_unique<TfAnaliza>(report, test, settings, QString(), context, nullptr); },
         u"teRaport"_s},
    };
    for (const Case &c : cases) {
        QVERIFY2(help.contains("<a name=\"" + c.topic.toUtf8() + "\">"), qPrintable(c.topic));
        MessageRecorder recorder;
        QSize drawn;
        QSize grownControl;
        {
            std::unique_ptr<QDialog> window = c.make();
            window->show();
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
            QVERIFY2(recorder.shown.isEmpty(), qPrintable(recorder.texts().join(u" | "_s)));
            QTextBrowser *browser = helpBrowserOf(window.get());
            QVERIFY2(browser, qPrintable(c.topic));
            QCOMPARE(browser->source().fragment(), c.topic);
            browser->window()->close();
            auto *button = window->findChild<QAbstractButton *>(u"bPomoc"_s);
            QVERIFY(button);
            QCOMPARE(button->accessibleName(), u"Pomoc"_s);
            button->click();
            QVERIFY(helpBrowserOf(window.get()));
            helpBrowserOf(window.get())->window()->close();

            drawn = window->size();
            // Never smaller than drawn (the analysis, laid out by Qt, down to what its row of buttons needs).
            if (c.topic != u"analiza"_s)
                QCOMPARE(window->minimumSize(), drawn);
            QWidget *control = window->findChild<QWidget *>(c.grown);
            QVERIFY(control);
            const QSize before = control->size();
            window->resize(drawn + QSize(120, 90));
            QTRY_COMPARE(control->size(), before + QSize(c.grown == u"tabelaZadan"_s ? 0 : 120, 90));
            grownControl = control->size();
            window->close();
        }
        // Kept as it was, as far as this screen allows.
        std::unique_ptr<QDialog> again = c.make();
        const QSize screen = QGuiApplication::primaryScreen()->availableSize();
        QCOMPARE(again->size(), (drawn + QSize(120, 90)).boundedTo(screen).expandedTo(drawn));
        if ((drawn + QSize(120, 90)).boundedTo(screen) == drawn + QSize(120, 90)) {
            again->show();
            QTRY_COMPARE(again->findChild<QWidget *>(c.grown)->size(), grownControl);
        }
    }
}

void TstAccessibility::workbookPages_data()
{
    QTest::addColumn<int>("page"); // -1: before acceptance
    QTest::addColumn<QStringList>("steps");

    QTest::newRow("setup page") << -1 << QStringList{};
    QTest::newRow("accepted setup page") << 0 << QStringList{};
    QTest::newRow("class page by its tab") << 1 << QStringList{};
    QTest::newRow("class page by Dalej") << 2 << QStringList{u"bDalej"_s, u"bDalej"_s};
    QTest::newRow("school page by its tab") << 3 << QStringList{};
    QTest::newRow("school page by Dalej") << 3 << QStringList{u"bDalej"_s, u"bDalej"_s, u"bDalej"_s};
}

void TstAccessibility::workbookPages()
{
    QFETCH(int, page);
    QFETCH(QStringList, steps);

    Workbook wb;
    if (page >= 0)
        WB_CHECK(wb.accept());
    for (const QString &button : std::as_const(steps))
        wb.button(button.toLatin1().constData())->click();
    if (steps.isEmpty() && page > 0)
        wb.pages()->setCurrentIndex(page);
    QCOMPARE(wb.window.currentPage(), qMax(page, 0));

    // Edits are named by the caption beside them, the grids by the caption above them.
    const QHash<QString, QString> named{
        {u"eLiczbaKlas"_s, wb.label("StaticText3")->text()},
        {u"eNazwaKatalogu"_s, wb.label("stKatalog")->text()},
        {u"tabela1"_s, wb.label("static1")->text()},
        {u"tabela2"_s, wb.label("static2")->text()},
        {u"cbTest"_s, wb.label("stTest")->text()},
        {u"lbOstatnie"_s, wb.label("stOstatnie")->text()},
    };
    WB_CHECK(verifyNames(&wb.window, named));
    for (const char *toolbar :
         {"sbOtworz", "sbZapisz", "sbPomoc", "sbAnaliza", "sbOtworzSzkole", "sbDefinicja"})
        QCOMPARE(wb.button(toolbar)->accessibleName(), wb.button(toolbar)->toolTip());
    // The workbook's order; a control that is hidden or disabled on this page is passed over.
    QStringList order;
    for (const QString &name : {u"eLiczbaKlas"_s, u"bAkceptuj"_s, u"eNazwaKatalogu"_s, u"bKatalog"_s,
                                u"bOblicz"_s, u"bWykresy"_s, u"bWstecz"_s, u"bDalej"_s, u"tabela1"_s,
                                u"tabela2"_s, u"cbTest"_s, u"bDefinicja"_s, u"lbOstatnie"_s}) {
        const QWidget *control = wb.find(name.toLatin1().constData());
        QVERIFY2(control, qPrintable(name));
        if (control->isVisible() && control->isEnabled())
            order.append(name);
    }
    WB_CHECK(verifyTabOrder(&wb.window, order));
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.recorder.texts().join(u" | "_s)));
}

void TstAccessibility::gridCaptionNamesTheGrid()
{
    Workbook wb;
    WB_CHECK(wb.accept());
    const QStringList expected{
        u"Liczba klas - liczba uczniów w danej klasie"_s,
        u"Wyniki uczniów za poszczególne zadania - Klasa VI A"_s,
        u"Wyniki uczniów za poszczególne zadania - Klasa VI B"_s,
        u"Podsumowanie"_s,
        u"Wyniki uczniów za poszczególne zadania - Klasa VI B"_s,
        u"Wyniki uczniów za poszczególne zadania - Klasa VI A"_s,
        u"Liczba klas - liczba uczniów w danej klasie"_s,
    };
    QStringList names{wb.upper()->accessibleName()};
    for (int i = 0; i < 3; ++i) {
        wb.button("bDalej")->click();
        names.append(wb.upper()->accessibleName());
    }
    for (int i = 0; i < 3; ++i) {
        wb.button("bWstecz")->click();
        names.append(wb.upper()->accessibleName());
    }
    QCOMPARE(names, expected);
    QCOMPARE(wb.find("tabela2")->accessibleName(), wb.label("static2")->text());
}

void TstAccessibility::saveAndOpenKeysDoWhatTheButtonsDo_data()
{
    QTest::addColumn<bool>("school");
    QTest::newRow("class page") << false;
    QTest::newRow("school page") << true;
}

void TstAccessibility::saveAndOpenKeysDoWhatTheButtonsDo()
{
    QFETCH(bool, school);

    Workbook wb;
    WB_CHECK(wb.accept());
    wb.pages()->setCurrentIndex(1);
    WB_CHECK(wb.computeClass());
    if (school)
        wb.pages()->setCurrentIndex(3);
    const QString directory =
        school ? wb.window.session().paths().schoolFolder() : wb.window.session().paths().classFolder(0);
    const QStringList files = school ? QStringList{u"Szkola.tmp"_s, u"Podsumowanie wyników.csv"_s}
                                     : QStringList{u"Odpowiedzi.tmp"_s, u"Wyniki uczniów.csv"_s};
    const auto written = [&] {
        QList<QByteArray> bytes;
        for (const QString &file : files)
            bytes.append(readBytes(directory + u'/' + file));
        return bytes;
    };
    const auto remove = [&] {
        for (const QString &file : files)
            QFile::remove(directory + u'/' + file);
    };

    // Zapisz clicked, then Ctrl+S with the focus in the grid: the same files and the same message.
    remove();
    wb.button("sbZapisz")->click();
    const QList<QByteArray> clicked = written();
    const QStringList clickedMessages = wb.recorder.texts();
    QCOMPARE(clickedMessages.size(), 1);
    for (const QByteArray &bytes : clicked)
        QVERIFY2(!bytes.startsWith("<missing"), bytes.constData());
    remove();
    wb.recorder.clear();
    wb.upper()->setFocus();
    wb.key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(written(), clicked);
    QCOMPARE(wb.recorder.texts(), clickedMessages);

    // Otwórz and Ctrl+O both bring the saved grid back over what was changed since.
    const QString saved = wb.upper()->cell(3, 1);
    wb.recorder.clear();
    wb.upper()->setCell(3, 1, u"9"_s);
    wb.button("sbOtworz")->click();
    QCOMPARE(wb.upper()->cell(3, 1), saved);
    wb.upper()->setCell(3, 1, u"9"_s);
    wb.key(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(wb.upper()->cell(3, 1), saved);
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.recorder.texts().join(u" | "_s)));
}

void TstAccessibility::helpKeyInTheWorkbook()
{
    Workbook wb;
    WB_CHECK(wb.accept());
    wb.pages()->setCurrentIndex(1);
    wb.upper()->setFocus();
    wb.key(Qt::Key_F1);
    // The help beside the program, or the message naming it when it is not there: as the button does.
    const QString help = QCoreApplication::applicationDirPath() + u"/Pomoc/Pomoc.html"_s;
    if (QFile::exists(help)) {
        QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.recorder.texts().join(u" | "_s)));
        QTextBrowser *browser = helpBrowserOf(&wb.window);
        QVERIFY(browser);
        QCOMPARE(browser->source().fragment(), u"IDH_MAIN"_s);
    } else {
        QCOMPARE(wb.recorder.shown.size(), 1);
        QVERIFY(wb.recorder.shown[0].text.contains(help));
    }
}

void TstAccessibility::analysisKey()
{
    Workbook wb;
    WB_CHECK(wb.accept());
    wb.pages()->setCurrentIndex(1);
    WB_CHECK(wb.computeClass());
    wb.upper()->setFocus();

    bool seen = false;
    QString title;
    whileShown([] { return fAnaliza; },
               [&](QWidget *window) {
                   auto *analysis = static_cast<TfAnaliza *>(window);
                   title = analysis->windowTitle();
                   WB_CHECK(verifyNames(analysis, {{u"teRaport"_s, u"Raport analizy wyników"_s}}));
                   WB_CHECK(verifyTabOrder(analysis, {u"teRaport"_s, u"bDrukuj"_s, u"bZapiszPdf"_s,
                                                      u"bDanePorownawcze"_s, u"bKartyUczniow"_s,
                                                      u"bDrukujKarty"_s, u"bZamknij"_s}));
                   // The report can be selected and copied from the keyboard.
                   auto *report = analysis->findChild<QTextBrowser *>(u"teRaport"_s);
                   report->setFocus();
                   QApplication::clipboard()->clear();
                   QTest::keyClick(report, Qt::Key_A, Qt::ControlModifier);
                   QTest::keyClick(report, Qt::Key_C, Qt::ControlModifier);
                   QVERIFY(QApplication::clipboard()->text().contains(u"A2"_s));
                   // Keys of the workbook are not the analysis window's: nothing is saved from here.
                   QFile::remove(wb.classFile(u"Wyniki uczniów.csv"_s));
                   QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
                   QVERIFY(!QFile::exists(wb.classFile(u"Wyniki uczniów.csv"_s)));
                   // Escape closes it, as Zamknij does.
                   QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                   QVERIFY(!analysis->isVisible());
               },
               [&] { wb.key(Qt::Key_F9); }, &seen);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(seen, "F9 did not open the analysis");
    QVERIFY(title.contains(u"Klasa VI A"_s));
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.recorder.texts().join(u" | "_s)));
}

void TstAccessibility::analysisKeyWhileTheButtonIsDisabled_data()
{
    QTest::addColumn<bool>("accepted");
    QTest::newRow("new workbook") << false;
    QTest::newRow("accepted setup page") << true;
}

void TstAccessibility::analysisKeyWhileTheButtonIsDisabled()
{
    QFETCH(bool, accepted);
    Workbook wb;
    if (accepted)
        WB_CHECK(wb.accept());
    QVERIFY(!wb.button("sbAnaliza")->isEnabled());
    bool seen = false;
    whileShown([] { return fAnaliza; }, [](QWidget *) {}, [&] { wb.key(Qt::Key_F9); }, &seen);
    QVERIFY(!seen);
    QVERIFY(!fAnaliza);
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.recorder.texts().join(u" | "_s)));
    // On the setup page Zapisz has nothing to write, by key as by click.
    wb.key(Qt::Key_S, Qt::ControlModifier);
    QVERIFY(wb.recorder.shown.isEmpty());
    QVERIFY(QDir(wb.location.path()).entryList(QDir::Files).isEmpty());
}

void TstAccessibility::cellEditorKeepsItsKeys()
{
    Workbook wb;
    WB_CHECK(wb.accept());
    wb.pages()->setCurrentIndex(1);
    StringGrid *grid = wb.upper();
    grid->setFocus();
    grid->setCurrentCell(1, 1);
    QTest::keyClick(grid, 'A');
    auto *editor = qobject_cast<QLineEdit *>(grid->indexWidget(grid->currentIndex()));
    QVERIFY2(editor, "typing did not open the cell's editor");
    QTest::keyClicks(editor, u"B7"_s);
    QCOMPARE(editor->text(), u"AB7"_s);

    // Select all and copy stay the editor's.
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(editor->selectedText(), u"AB7"_s);
    QApplication::clipboard()->clear();
    QTest::keyClick(editor, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), u"AB7"_s);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(editor->selectedText(), u"AB7"_s);
    QTest::keyClick(editor, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(editor->text(), QString());
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(editor->text(), u"AB7"_s);
    QVERIFY(grid->isEditing());
    QVERIFY(wb.recorder.shown.isEmpty());

    // Ctrl+S in the editor saves what it holds, as a click on Zapisz would.
    wb.key(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(wb.recorder.texts(), QStringList{u"Wyniki uczniów zostały zapisane!"_s});
    QVERIFY(readBytes(wb.classFile(u"Odpowiedzi.tmp"_s)).contains("\r\n1;AB7;T;"));
}

void TstAccessibility::pageKeys_data()
{
    QTest::addColumn<QList<int>>("keys"); // +1 Ctrl+PgDn, +2 Ctrl+Tab, -1 Ctrl+PgUp, -2 Ctrl+Shift+Tab
    QTest::addColumn<QList<int>>("pages");

    using L = QList<int>;
    QTest::newRow("Ctrl+PgDn to the school page and round") << L{1, 1, 1, 1} << L{1, 2, 3, 0};
    QTest::newRow("Ctrl+Tab") << L{2, 2} << L{1, 2};
    QTest::newRow("Ctrl+PgUp round to the school page") << L{-1, -1} << L{3, 2};
    QTest::newRow("Ctrl+Shift+Tab") << L{1, -2, -2} << L{1, 0, 3};
}

void TstAccessibility::pageKeys()
{
    QFETCH(QList<int>, keys);
    QFETCH(QList<int>, pages);

    Workbook wb;
    // One page only: nothing to switch to.
    wb.key(Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(wb.window.currentPage(), 0);
    WB_CHECK(wb.accept());
    wb.button("bDalej")->setFocus();

    QList<int> shown;
    QStringList captions;
    QStringList expectedCaptions;
    for (const int key : std::as_const(keys)) {
        switch (key) {
        case 1:
            wb.key(Qt::Key_PageDown, Qt::ControlModifier);
            break;
        case 2:
            wb.key(Qt::Key_Tab, Qt::ControlModifier);
            break;
        case -1:
            wb.key(Qt::Key_PageUp, Qt::ControlModifier);
            break;
        default:
            // A keyboard sends Shift+Tab as Backtab.
            wb.key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
            break;
        }
        shown.append(wb.window.currentPage());
        captions.append(wb.upper()->accessibleName());
    }
    QCOMPARE(shown, pages);
    // Each page is built as a click on its tab builds it.
    for (const int page : std::as_const(pages)) {
        expectedCaptions.append(page == 0   ? u"Liczba klas - liczba uczniów w danej klasie"_s
                                : page == 3 ? u"Podsumowanie"_s
                                            : u"Wyniki uczniów za poszczególne zadania - Klasa VI "_s +
                                                  QChar(u'A' + page - 1));
    }
    QCOMPARE(captions, expectedCaptions);
    QCOMPARE(wb.pages()->currentIndex(), pages.last());
    QCOMPARE(wb.find("tabela2")->isVisible(), pages.last() != 0);
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.recorder.texts().join(u" | "_s)));
}

void TstAccessibility::pageKeyAsksAboutUnsavedPoints()
{
    Workbook wb;
    WB_CHECK(wb.accept());
    wb.pages()->setCurrentIndex(1);
    StringGrid *grid = wb.upper();
    grid->setFocus();
    grid->setCurrentCell(1, 3);
    QTest::keyClick(grid, Qt::Key_2);
    QVERIFY(grid->isEditing());

    // Cancel keeps the page and the typed point; No leaves it, as with a click on the tab.
    wb.recorder.answers = {QMessageBox::Cancel};
    wb.key(Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(wb.recorder.shown.size(), 1);
    QVERIFY(wb.recorder.shown[0].text.contains(u"Klasa VI A"_s));
    QCOMPARE(wb.window.currentPage(), 1);
    QCOMPARE(wb.pages()->currentIndex(), 1);
    QCOMPARE(grid->cell(3, 1), u"2"_s);
    wb.recorder.answers = {QMessageBox::No};
    wb.key(Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(wb.window.currentPage(), 2);
    QVERIFY(!QFile::exists(wb.classFile(u"Odpowiedzi.tmp"_s)));
}

void TstAccessibility::chartWindow()
{
    Workbook wb;
    WB_CHECK(wb.accept());
    wb.pages()->setCurrentIndex(1);
    WB_CHECK(wb.computeClass());
    const QString folder = wb.window.session().paths().classFolder(0);
    QFile::remove(folder + u"/Wyniki uczniów.csv"_s);

    bool seen = false;
    whileShown([] { return fWykres; },
               [&](QWidget *window) {
                   auto *charts = static_cast<TfWykres *>(window);
                   auto *tabs = charts->findChild<QTabWidget *>(u"tabControl"_s);
                   QTabBar *bar = tabs->tabBar();
                   const auto named = [&] {
                       return QHash<QString, QString>{{u"Chart1"_s, charts->chart()->titleText()}};
                   };
                   WB_CHECK(verifyNames(charts, named()));
                   QCOMPARE(bar->accessibleName(), u"W-1"_s);
                   // The chart's bars are there to be read, not only seen.
                   QCOMPARE(charts->chartView()->accessibleDescription(), u"1: 6; 2: 3"_s);
                   WB_CHECK(verifyTabOrder(charts, {u"tabControl"_s, u"bDrukujWykres"_s}));

                   // Arrows on the tab bar, Ctrl+PgDn and Ctrl+Tab from anywhere: each draws its chart.
                   bar->setFocus(Qt::TabFocusReason);
                   QTest::keyClick(bar, Qt::Key_Right);
                   QCOMPARE(tabs->currentIndex(), 1);
                   QVERIFY(QFile::exists(folder + u"/wykr_2.bmp"_s));
                   QCOMPARE(bar->accessibleName(), u"W-2"_s);
                   QTest::keyClick(bar, Qt::Key_Left);
                   QCOMPARE(tabs->currentIndex(), 0);
                   charts->findChild<QWidget *>(u"bDrukujWykres"_s)->setFocus();
                   QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
                   QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
                   QCOMPARE(tabs->currentIndex(), 2);
                   QVERIFY(QFile::exists(folder + u"/wykr_3.bmp"_s));
                   QCOMPARE(charts->chartView()->accessibleName(), charts->chart()->titleText());
                   WB_CHECK(verifyNames(charts, named()));
                   QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
                   QCOMPARE(tabs->currentIndex(), 3);
                   QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                                   Qt::ControlModifier | Qt::ShiftModifier);
                   QCOMPARE(tabs->currentIndex(), 2);
                   QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
                   QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
                   QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
                   QCOMPARE(tabs->currentIndex(), tabs->count() - 1);
                   QCOMPARE(bar->accessibleName(), tabs->tabText(tabs->count() - 1));

                   // The workbook's keys stay in the workbook while the charts are in front of it.
                   QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
                   QVERIFY(!QFile::exists(folder + u"/Wyniki uczniów.csv"_s));

                   QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                   QVERIFY(!charts->isVisible());
               },
               [&] {
                   wb.button("bWykresy")->setFocus();
                   wb.key(Qt::Key_Space);
               },
               &seen);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(seen, "the chart window was not shown");
    QVERIFY2(wb.recorder.shown.isEmpty(), qPrintable(wb.recorder.texts().join(u" | "_s)));
}

QTEST_MAIN(TstAccessibility)
#include "tst_accessibility.moc"
