// Shared helpers of the workbook window's tests: a small test definition, a workbook shown over a
// temporary location with every message box recorded, and a teacher's mouse and keyboard.
#pragma once

#include "tests/support/builders.h"
#include "tests/support/gridtyping.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testfiles.h"
#include "ui/appearance.h"
#include "ui/stringgrid.h"
#include "workbook/tfwyniki.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace wb {

using support::typeCell;
using support::typeIntoCell;
using support::typeScores;
using support::typeText;

using namespace Qt::StringLiterals;

// Tasks labelled Zad.1, Zad.2, ... with the given maxima and standards; five standards whose maxima
// (2, 1, 3, 4, 5) add up to 15, while the whole test is worth 10, so that a facility reveals which
// maximum divided it.
inline TestDefinition makeTest(const QList<qint32> &maxima = {2, 1, 3},
                               const QList<qint32> &standards = {1, 2, 3})
{
    return build::testOf(maxima)
        .labelled(u"Zad."_s)
        .inStandards(5, standards)
        .allClosed()
        .total(10)
        .named(u"Test"_s, u"2003-12-12"_s)
        .standardMaxima({2, 1, 3, 4, 5})
        .standardNames({u"Czyt."_s, u"Pis."_s, u"Rozum."_s, u"Korz."_s, u"Wiedza"_s}, build::fiveStandards);
}

// A cell row written as its texts joined by ";" ("1;A1;T;;2").
inline QStringList cells(const QString &joined)
{
    return joined.split(u';');
}

inline QList<QStringList> gridCells(const StringGrid *grid)
{
    QList<QStringList> rows;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < grid->colCount(); ++c)
            row.append(grid->cell(c, r));
        rows.append(row);
    }
    return rows;
}

inline void compareGrid(const StringGrid *grid, const QList<QStringList> &expected)
{
    QCOMPARE(grid->rowCount(), int(expected.size()));
    for (int r = 0; r < expected.size(); ++r) {
        QCOMPARE(grid->colCount(), int(expected[r].size()));
        for (int c = 0; c < expected[r].size(); ++c) {
            QVERIFY2(grid->cell(c, r) == expected[r][c],
                     qPrintable(u"cell (%1, %2): \"%3\", expected \"%4\""_s.arg(c).arg(r).arg(
                         grid->cell(c, r), expected[r][c])));
        }
    }
}

inline QList<int> columnWidths(const StringGrid *grid)
{
    QList<int> widths;
    for (int c = 0; c < grid->colCount(); ++c)
        widths.append(grid->colWidth(c));
    return widths;
}

// Replaces an edit's whole text by typing, as a teacher who selects all and types over it.
inline void typeInto(QLineEdit *edit, const QString &text)
{
    QVERIFY(edit);
    QVERIFY2(edit->isVisible() && edit->isEnabled(), qPrintable(edit->objectName()));
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        typeText(edit, text);
}

// Runs inside on the modal window that open() shows, then closes it if still open, so that no
// modal loop waits for a person.
inline void whileModalOpen(const std::function<void(QWidget *)> &inside, const std::function<void()> &open)
{
    QWidget *before = QApplication::activeModalWidget();
    bool ran = false;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, &watcher, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == before || !modal->isVisible())
            return;
        watcher.stop();
        ran = true;
        inside(modal);
        if (modal->isVisible())
            modal->close();
    });
    watcher.start();
    open();
    watcher.stop();
    QVERIFY2(ran, "the window did not open");
}

// Clicks a control after checking that a teacher could click it.
inline void click(QWidget *control)
{
    QVERIFY2(control, "no such control");
    QVERIFY2(control->isVisible(), qPrintable(control->objectName() + u" is hidden"_s));
    QVERIFY2(control->isEnabled(), qPrintable(control->objectName() + u" is disabled"_s));
    QTest::mouseClick(control, Qt::LeftButton);
}

// A workbook shown on screen, with its test replaced by makeTest(), a temporary location for the
// school's data and every message box recorded.
struct Workbook {
    MessageRecorder recorder;
    QTemporaryDir location;
    TfWyniki window;

    explicit Workbook(const TestDefinition &test = makeTest())
    {
        window.session().useNewSchoolTest(test);
        // What Setup.ini beside the tests says is not these tests' concern.
        recorder.clear();
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("the workbook window was not exposed");
    }

    // The program deletes a workbook only once it is hidden.
    ~Workbook() { window.hide(); }
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    template <typename T = QWidget> T *find(const char *name) const
    {
        return window.findChild<T *>(QString::fromLatin1(name));
    }
    QLineEdit *edit(const char *name) const { return find<QLineEdit>(name); }
    QAbstractButton *button(const char *name) const { return find<QAbstractButton>(name); }
    QLabel *label(const char *name) const { return find<QLabel>(name); }
    QTabWidget *pages() const { return find<QTabWidget>("pcWyniki"); }
    StringGrid *upper() const { return find<StringGrid>("tabela1"); }
    StringGrid *lower() const { return find<StringGrid>("tabela2"); }

    void press(const char *name) { click(button(name)); }
    // The user's click on a page's tab.
    void showTab(int index) { pages()->setCurrentIndex(index); }

    // Where the school is set up: the temporary location, unless a test chooses another folder.
    QString where;
    QString path(const QString &relative) const
    {
        return where.isEmpty() ? location.filePath(relative) : where + u'/' + relative;
    }
    QString school(const QString &relative = QString()) const
    {
        return relative.isEmpty() ? path(u"Szkola1"_s) : path(u"Szkola1/"_s + relative);
    }

    QStringList shownTexts() const { return recorder.texts(); }
    int errorCount() const
    {
        int count = 0;
        for (const auto &message : recorder.shown)
            count += message.kind == messages::Kind::Error ? 1 : 0;
        return count;
    }

    // Moves between pages: "next" and "back" press Dalej and Wstecz, "tab N" clicks page N's tab.
    void go(const QStringList &steps)
    {
        for (const QString &step : steps) {
            if (step == u"next"_s)
                WB_CHECK(press("bDalej"));
            else if (step == u"back"_s)
                WB_CHECK(press("bWstecz"));
            else if (step.startsWith(u"tab "_s))
                showTab(step.mid(4).toInt());
            else
                QFAIL(qPrintable(u"unknown step "_s + step));
        }
    }

    // A class's statistics files as Compute would have left them.
    void writeClassStatistics(const QString &label, const QByteArray &tasks, const QByteArray &standards)
    {
        QVERIFY(writeBytes(school(label + u"/Zadania.tmp"_s), tasks));
        QVERIFY(writeBytes(school(label + u"/Standardy.tmp"_s), standards));
    }

    // Chooses the temporary location with the folder button.
    void chooseLocation(const QString &folder)
    {
        ui::folderChooser = [folder](QWidget *, const QString &, const QString &) { return folder; };
        press("bKatalog");
        ui::folderChooser = [](QWidget *, const QString &, const QString &) { return QString(); };
        QCOMPARE(label("stSciezka")->text(), folder);
    }

    // Sets the school up as a teacher does: location, number of classes, labels where they differ
    // from the default ones, pupil counts, directory name "Szkola1", then "Akceptuj".
    void accept(const QStringList &labels, const QStringList &pupils)
    {
        WB_CHECK(chooseLocation(where.isEmpty() ? location.path() : where));
        WB_CHECK(typeInto(edit("eLiczbaKlas"), QString::number(labels.size())));
        for (int i = 0; i < labels.size(); ++i) {
            if (upper()->cell(1, i + 1) != labels[i])
                WB_CHECK(typeIntoCell(upper(), 1, i + 1, labels[i]));
            WB_CHECK(typeIntoCell(upper(), 2, i + 1, pupils.value(i)));
        }
        WB_CHECK(typeInto(edit("eNazwaKatalogu"), u"Szkola1"_s));
        WB_CHECK(press("bAkceptuj"));
        QCOMPARE(window.pageCount(), int(labels.size()) + 2);
        QVERIFY2(recorder.shown.isEmpty(), qPrintable(shownTexts().join(u" | "_s)));
    }
};

} // namespace wb
