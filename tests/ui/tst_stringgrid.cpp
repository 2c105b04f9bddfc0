// The string grid: cell addressing, shape, editing and its input filter, Tab, drawing and the
// fixed rows and columns that stay in place while the grid scrolls.
#include "ui/stringgrid.h"

#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTest>
#include <QVBoxLayout>

#include <map>

using namespace Qt::StringLiterals;

namespace {

// A grid between two edits, as the workbook has it among its other controls.
struct GridWindow {
    QWidget window;
    QLineEdit *before = new QLineEdit(&window);
    StringGrid *grid = new StringGrid(&window);
    QLineEdit *after = new QLineEdit(&window);

    GridWindow(int cols, int rows)
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(before);
        layout->addWidget(grid);
        layout->addWidget(after);
        grid->setColCount(cols);
        grid->setRowCount(rows);
        window.resize(400, 300);
        window.show();
    }
};

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
}

// Key by key, to whichever widget has the focus then, as a user types; any character.
void type(const QString &text)
{
    for (const QChar c : text) {
        const auto key = Qt::Key(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Press, QApplication::focusWidget(), key, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, QApplication::focusWidget(), key, QString(c), Qt::NoModifier);
    }
}

QPoint currentCell(const StringGrid *grid)
{
    return {grid->currentColumn(), grid->currentRow()};
}

bool isInk(QRgb pixel)
{
    return qGray(pixel) < 100;
}

} // namespace

class TestStringGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cellsAreItemsAddressedColumnFirst();
    void reshapeKeepsCells_data();
    void reshapeKeepsCells();
    void flagsFollowFixedCellsAndEditing_data();
    void flagsFollowFixedCellsAndEditing();
    void typingEditsCell_data();
    void typingEditsCell();
    void pasteDropsRefusedCharacters();
    void nothingEditableWhenEditingOff();
    void tabWalksFreeCellsThenLeaves_data();
    void tabWalksFreeCellsThenLeaves();
    void tabInEditorCommitsAndMoves();
    void widthsExcludeGridLine();
    void centredTextOffset_data();
    void centredTextOffset();
    void drawCellCentredNeverElides();
    void cellBackgrounds();
    void fixedCellsStayWhenScrolled();
    void fixedRowBoundaryResizesColumn();
};

void TestStringGrid::initTestCase()
{
    QApplication::setStyle(QStyleFactory::create(u"Fusion"_s));
    QFont font(u"Liberation Sans"_s);
    font.setPixelSize(11);
    QApplication::setFont(font);
}

void TestStringGrid::cellsAreItemsAddressedColumnFirst()
{
    StringGrid grid;
    grid.setColCount(4);
    grid.setRowCount(3);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col)
            QVERIFY2(grid.item(row, col), qPrintable(u"no item at %1,%2"_s.arg(col).arg(row)));
    }
    grid.setCell(3, 1, u"x;y"_s);
    QCOMPARE(grid.item(1, 3)->text(), u"x;y"_s);
    QCOMPARE(grid.cell(3, 1), u"x;y"_s);
    QCOMPARE(grid.cell(1, 3), QString());
    grid.setCell(9, 9, u"outside"_s);
    QCOMPARE(grid.cell(9, 9), QString());
    grid.setCell(0, 0, u"L.p."_s);
    grid.clearCells();
    QCOMPARE(grid.cell(3, 1), QString());
    QCOMPARE(grid.cell(0, 0), QString());
}

void TestStringGrid::reshapeKeepsCells_data()
{
    QTest::addColumn<QSize>("before"); // columns x rows
    QTest::addColumn<QSize>("after");
    QTest::newRow("more columns") << QSize(3, 4) << QSize(6, 4);
    QTest::newRow("more rows") << QSize(3, 4) << QSize(3, 9);
    QTest::newRow("fewer of both") << QSize(5, 6) << QSize(2, 3);
    QTest::newRow("from nothing") << QSize(0, 0) << QSize(4, 4);
}

void TestStringGrid::reshapeKeepsCells()
{
    QFETCH(QSize, before);
    QFETCH(QSize, after);
    StringGrid grid;
    grid.setDefaultColWidth(65);
    grid.setColCount(before.width());
    grid.setRowCount(before.height());
    for (int row = 0; row < before.height(); ++row) {
        for (int col = 0; col < before.width(); ++col)
            grid.setCell(col, row, u"%1,%2"_s.arg(col).arg(row));
    }
    if (before.width() > 1)
        grid.setColWidth(1, 0);

    grid.setColCount(after.width());
    grid.setRowCount(after.height());
    QCOMPARE(grid.colCount(), after.width());
    QCOMPARE(grid.rowCount(), after.height());
    for (int row = 0; row < after.height(); ++row) {
        for (int col = 0; col < after.width(); ++col) {
            const bool kept = col < before.width() && row < before.height();
            QVERIFY(grid.item(row, col));
            QCOMPARE(grid.cell(col, row), kept ? u"%1,%2"_s.arg(col).arg(row) : QString());
        }
    }
    for (int col = qMax(before.width(), 2); col < after.width(); ++col)
        QCOMPARE(grid.colWidth(col), 65);
    if (before.width() > 1 && after.width() > 1)
        QCOMPARE(grid.colWidth(1), 0);
}

void TestStringGrid::flagsFollowFixedCellsAndEditing_data()
{
    QTest::addColumn<int>("fixedCols");
    QTest::addColumn<int>("fixedRows");
    QTest::addColumn<bool>("editing");
    QTest::newRow("score grid") << 1 << 1 << true;
    QTest::newRow("summary grid") << 1 << 1 << false;
    QTest::newRow("school grid") << 2 << 1 << false;
    QTest::newRow("school grid, editing") << 2 << 1 << true;
    QTest::newRow("no fixed cells") << 0 << 0 << true;
}

void TestStringGrid::flagsFollowFixedCellsAndEditing()
{
    QFETCH(int, fixedCols);
    QFETCH(int, fixedRows);
    QFETCH(bool, editing);
    StringGrid grid;
    grid.setColCount(4);
    grid.setRowCount(3);
    // Switched the other way first, so that each setting has to undo the previous one.
    grid.setEditingEnabled(!editing);
    grid.setFixedCols(3);
    grid.setFixedRows(2);
    grid.setEditingEnabled(editing);
    grid.setFixedCols(fixedCols);
    grid.setFixedRows(fixedRows);
    grid.setRowCount(5); // new cells follow the same rules

    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 4; ++col) {
            const bool fixed = col < fixedCols || row < fixedRows;
            const Qt::ItemFlags flags = grid.item(row, col)->flags();
            const QString where = u"%1,%2"_s.arg(col).arg(row);
            QVERIFY2(bool(flags & Qt::ItemIsSelectable) == !fixed, qPrintable(where));
            QVERIFY2(bool(flags & Qt::ItemIsEditable) == (!fixed && editing), qPrintable(where));
        }
    }
}

void TestStringGrid::typingEditsCell_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("digits replace the text") << u"12"_s << u"12"_s;
    QTest::newRow("Polish letters") << u"Zażółć Ę"_s << u"Zażółć Ę"_s;
    QTest::newRow("euro sign fits the code page") << u"5€"_s << u"5€"_s;
    QTest::newRow("semicolon refused") << u"1;2"_s << u"12"_s;
    QTest::newRow("Cyrillic refused") << u"aжb"_s << u"ab"_s;
    QTest::newRow("Chinese refused, even first") << u"中x"_s << u"x"_s;
    QTest::newRow("only refused characters") << u";ж"_s << u"old"_s;
}

void TestStringGrid::typingEditsCell()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    GridWindow w(3, 3);
    w.grid->setEditingEnabled(true);
    w.grid->setCell(1, 1, u"old"_s);
    QSignalSpy edited(w.grid, &StringGrid::cellEdited);
    QCOMPARE(edited.count(), 0); // text set by the program is no user edit
    w.grid->setFocus();
    w.grid->setCurrentCell(1, 1);
    QTRY_COMPARE(QApplication::focusWidget(), w.grid);

    type(typed);
    press(Qt::Key_Return);
    QTRY_VERIFY(!w.grid->isEditing());

    QCOMPARE(w.grid->cell(1, 1), expected);
    if (expected == u"old"_s) {
        QCOMPARE(edited.count(), 0);
    } else {
        QCOMPARE(edited.count(), 1);
        QCOMPARE(edited.at(0), (QVariantList{1, 1}));
    }
}

void TestStringGrid::pasteDropsRefusedCharacters()
{
    GridWindow w(3, 3);
    w.grid->setEditingEnabled(true);
    w.grid->setCell(2, 2, u"old"_s);
    w.grid->setFocus();
    w.grid->setCurrentCell(2, 2);
    QTRY_COMPARE(QApplication::focusWidget(), w.grid);
    press(Qt::Key_F2);
    QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));

    QApplication::clipboard()->setText(u"7;8\r\n9ж"_s);
    if (QApplication::clipboard()->text() != u"7;8\r\n9ж"_s)
        QSKIP("no clipboard on this platform");
    // A block goes into the cells, not into the open one; the second row has no row to go to.
    QList<QPair<int, int>> leftOut;
    QObject::connect(w.grid, &StringGrid::blockLeftOut, w.grid, [&](int rows, int columns) {
        leftOut.append({rows, columns});
    });
    press(Qt::Key_V, Qt::ControlModifier);
    QTRY_VERIFY(!w.grid->isEditing());
    QCOMPARE(w.grid->cell(2, 2), u"78"_s);
    QCOMPARE(leftOut, (QList<QPair<int, int>>{{1, 0}}));
    // One line pasted into the open cell stays the editor's own paste: it replaces the selected text,
    // refused characters dropped.
    press(Qt::Key_F2);
    QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
    QApplication::clipboard()->setText(u"9ж;1"_s);
    press(Qt::Key_V, Qt::ControlModifier);
    press(Qt::Key_Return);
    QTRY_VERIFY(!w.grid->isEditing());
    QCOMPARE(w.grid->cell(2, 2), u"91"_s);
}

void TestStringGrid::nothingEditableWhenEditingOff()
{
    GridWindow w(3, 3);
    w.grid->setCell(1, 1, u"old"_s);
    w.grid->setFocus();
    w.grid->setCurrentCell(1, 1);
    QTRY_COMPARE(QApplication::focusWidget(), w.grid);
    type(u"5"_s);
    press(Qt::Key_F2);
    QVERIFY(!w.grid->isEditing());
    QCOMPARE(w.grid->cell(1, 1), u"old"_s);
    QCOMPARE(currentCell(w.grid), QPoint(1, 1)); // typing does not search for a cell either

    // With editing on, the fixed cells still refuse.
    w.grid->setEditingEnabled(true);
    QTest::ignoreMessage(QtWarningMsg, "edit: editing failed");
    QTest::ignoreMessage(QtWarningMsg, "edit: editing failed");
    w.grid->edit(w.grid->model()->index(0, 1));
    w.grid->edit(w.grid->model()->index(1, 0));
    QVERIFY(!w.grid->isEditing());

    // Switching editing off keeps what was typed so far.
    type(u"7"_s);
    QVERIFY(w.grid->isEditing());
    QSignalSpy edited(w.grid, &StringGrid::cellEdited);
    w.grid->setEditingEnabled(false);
    QVERIFY(!w.grid->isEditing());
    QCOMPARE(w.grid->cell(1, 1), u"7"_s);
    QCOMPARE(edited.count(), 1);
}

void TestStringGrid::tabWalksFreeCellsThenLeaves_data()
{
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("fixedCols");
    QTest::addColumn<int>("hiddenCol");
    QTest::addColumn<QList<QPoint>>("walk");
    QTest::newRow("one fixed column") << 3 << 1 << -1 << QList<QPoint>{{1, 1}, {2, 1}, {1, 2}, {2, 2}};
    QTest::newRow("two fixed columns, a hidden one")
        << 5 << 2 << 2 << QList<QPoint>{{3, 1}, {4, 1}, {3, 2}, {4, 2}};
}

void TestStringGrid::tabWalksFreeCellsThenLeaves()
{
    QFETCH(int, cols);
    QFETCH(int, fixedCols);
    QFETCH(int, hiddenCol);
    QFETCH(QList<QPoint>, walk);
    GridWindow w(cols, 3);
    w.grid->setFixedCols(fixedCols);
    if (hiddenCol >= 0)
        w.grid->setColWidth(hiddenCol, 0);
    w.before->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), w.before);

    QList<QPoint> forward;
    press(Qt::Key_Tab);
    while (QApplication::focusWidget() == w.grid && forward.size() <= walk.size()) {
        forward.append(currentCell(w.grid));
        press(Qt::Key_Tab);
    }
    QCOMPARE(forward, walk);
    QCOMPARE(QApplication::focusWidget(), w.after);

    QList<QPoint> backward;
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    while (QApplication::focusWidget() == w.grid && backward.size() <= walk.size()) {
        backward.prepend(currentCell(w.grid));
        press(Qt::Key_Backtab, Qt::ShiftModifier);
    }
    QCOMPARE(backward, walk);
    QCOMPARE(QApplication::focusWidget(), w.before);
}

void TestStringGrid::tabInEditorCommitsAndMoves()
{
    GridWindow w(3, 2);
    w.grid->setEditingEnabled(true);
    w.grid->setFocus();
    w.grid->setCurrentCell(1, 1);
    QTRY_COMPARE(QApplication::focusWidget(), w.grid);
    type(u"4"_s);
    press(Qt::Key_Tab);
    QTRY_COMPARE(w.grid->cell(1, 1), u"4"_s);
    QCOMPARE(currentCell(w.grid), QPoint(2, 1));
    QVERIFY(!w.grid->isEditing());

    // Tab in the last cell's editor commits and leaves the grid.
    type(u"5"_s);
    press(Qt::Key_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), w.after);
    QCOMPARE(w.grid->cell(2, 1), u"5"_s);
}

void TestStringGrid::widthsExcludeGridLine()
{
    GridWindow w(4, 3);
    w.grid->setDefaultColWidth(65);
    w.grid->setDefaultRowHeight(16);
    w.grid->setColWidth(2, 35);
    w.grid->setColWidth(3, 0);
    QCOMPARE(w.grid->colWidth(0), 65);
    QCOMPARE(w.grid->colWidth(2), 35);
    QCOMPARE(w.grid->colWidth(3), 0);
    QVERIFY(w.grid->isColumnHidden(3));
    w.grid->setColWidth(3, 20);
    QVERIFY(!w.grid->isColumnHidden(3));
    QCOMPARE(w.grid->colWidth(3), 20);

    std::map<std::pair<int, int>, QRect> drawn;
    w.grid->drawCellHandler = [&](QPainter *, int col, int row, const QRect &rect) {
        drawn[{col, row}] = rect;
    };
    w.grid->grab();
    const std::pair<int, int> cells[] = {{0, 0}, {2, 0}, {2, 1}, {3, 2}};
    for (const auto &cell : cells) {
        QVERIFY(drawn.count(cell));
        QCOMPARE(drawn[cell].size(), QSize(w.grid->colWidth(cell.first), 16));
    }
    // One-pixel grid lines between cells.
    QCOMPARE(drawn[std::pair(2, 2)].top() - drawn[std::pair(2, 1)].bottom(), 2);
    QCOMPARE(drawn[std::pair(3, 1)].left() - drawn[std::pair(2, 1)].right(), 2);
}

void TestStringGrid::centredTextOffset_data()
{
    QTest::addColumn<QSize>("room"); // rectangle size minus text size
    QTest::addColumn<QPoint>("offset");
    QTest::newRow("exact fit") << QSize(0, 0) << QPoint(0, 0);
    QTest::newRow("even room") << QSize(30, 4) << QPoint(15, 2);
    QTest::newRow("odd room rounds down") << QSize(5, 3) << QPoint(2, 1);
    QTest::newRow("text one pixel larger") << QSize(-1, -1) << QPoint(0, 0);
    QTest::newRow("text larger, odd") << QSize(-3, -5) << QPoint(-1, -2);
    QTest::newRow("text larger, even") << QSize(-8, -2) << QPoint(-4, -1);
}

void TestStringGrid::centredTextOffset()
{
    QFETCH(QSize, room);
    QFETCH(QPoint, offset);
    const QFontMetrics metrics(QApplication::font());
    const QString text = u"Kod ucznia"_s;
    const QSize textSize(metrics.horizontalAdvance(text), metrics.height());
    QCOMPARE(::centredTextOffset(metrics, text, QRect(QPoint(7, 9), textSize + room)), offset);
}

void TestStringGrid::drawCellCentredNeverElides()
{
    QImage image(200, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QRect rect(80, 20, 20, 16);
    const QString text = u"Nr. zadania"_s;
    {
        QPainter painter(&image);
        painter.setFont(QApplication::font());
        painter.setBrush(QColor(Qt::red));
        painter.setPen(Qt::black);
        drawCellCentred(&painter, text, rect);
    }
    QCOMPARE(image.pixel(rect.topLeft()), QColor(Qt::red).rgb());
    QCOMPARE(image.pixel(rect.bottomRight()), QColor(Qt::red).rgb());
    QCOMPARE(image.pixel(rect.topLeft() - QPoint(1, 1)), QColor(Qt::white).rgb());

    int left = image.width();
    int right = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isInk(image.pixel(x, y))) {
                left = qMin(left, x);
                right = qMax(right, x);
            }
        }
    }
    // The whole text, centred on the cell and spilling out on both sides.
    const int advance = QFontMetrics(QApplication::font()).horizontalAdvance(text);
    QVERIFY2(right - left + 1 >= advance - 3, qPrintable(u"ink %1..%2"_s.arg(left).arg(right)));
    QVERIFY(left < rect.left() && right > rect.right());
    QVERIFY(qAbs((left + right) / 2 - rect.center().x()) <= 2);
}

void TestStringGrid::cellBackgrounds()
{
    GridWindow w(3, 3);
    w.grid->selectionModel()->select(w.grid->model()->index(2, 2), QItemSelectionModel::Select);
    std::map<std::pair<int, int>, std::pair<QColor, QColor>> drawn;
    w.grid->drawCellHandler = [&](QPainter *painter, int col, int row, const QRect &) {
        drawn[{col, row}] = {painter->brush().color(), painter->pen().color()};
    };
    w.grid->grab();

    const QPalette palette = w.grid->palette();
    const struct {
        int col, row;
        QPalette::ColorRole background, text;
    } expected[] = {
        {0, 0, QPalette::Button, QPalette::ButtonText},
        {1, 0, QPalette::Button, QPalette::ButtonText},
        {0, 2, QPalette::Button, QPalette::ButtonText},
        {1, 1, QPalette::Base, QPalette::Text},
        {2, 2, QPalette::Highlight, QPalette::HighlightedText},
    };
    for (const auto &cell : expected) {
        const QString where = u"%1,%2"_s.arg(cell.col).arg(cell.row);
        QVERIFY2(drawn.count({cell.col, cell.row}), qPrintable(where));
        const auto &[background, text] = drawn[std::pair(cell.col, cell.row)];
        QCOMPARE(background, palette.color(cell.background));
        QCOMPARE(text, palette.color(cell.text));
    }
}

void TestStringGrid::fixedCellsStayWhenScrolled()
{
    GridWindow w(63, 41);
    w.grid->setDefaultColWidth(35);
    w.grid->setDefaultRowHeight(16);
    w.grid->setColWidth(0, 25);
    w.grid->setColWidth(58, 0);
    w.grid->setColWidth(60, 50);
    std::map<std::pair<int, int>, QRect> drawn;
    w.grid->drawCellHandler = [&](QPainter *painter, int col, int row, const QRect &rect) {
        const QColor colour =
            row == 0 ? (col == 0 ? Qt::yellow : Qt::red) : (col == 0 ? Qt::blue : Qt::green);
        painter->fillRect(rect, colour);
        drawn[{col, row}] = rect;
    };
    QApplication::processEvents();
    QVERIFY(w.grid->verticalScrollBar()->maximum() > 0);
    QVERIFY(w.grid->horizontalScrollBar()->maximum() > 0);
    w.grid->verticalScrollBar()->setValue(w.grid->verticalScrollBar()->maximum());
    w.grid->horizontalScrollBar()->setValue(w.grid->horizontalScrollBar()->maximum());
    QApplication::processEvents();

    drawn.clear();
    const QImage image = w.grid->grab().toImage();
    const QPoint origin = w.grid->viewport()->geometry().topLeft();
    QCOMPARE(QColor(image.pixel(origin + QPoint(5, 5))), QColor(Qt::yellow));
    QCOMPARE(QColor(image.pixel(origin + QPoint(60, 5))), QColor(Qt::red));
    QCOMPARE(QColor(image.pixel(origin + QPoint(5, 60))), QColor(Qt::blue));
    QCOMPARE(QColor(image.pixel(origin + QPoint(60, 60))), QColor(Qt::green));
    // The headings stay over their columns, the hidden and the widened one included.
    QVERIFY(!drawn.count({58, 0}));
    for (int col = 55; col < 63; ++col) {
        if (col == 58)
            continue;
        QVERIFY2(drawn.count({col, 0}) && drawn.count({col, 40}), qPrintable(QString::number(col)));
        QCOMPARE(drawn[std::pair(col, 0)].left(), drawn[std::pair(col, 40)].left());
        QCOMPARE(drawn[std::pair(col, 0)].width(), drawn[std::pair(col, 40)].width());
    }

    // A cell scrolled to comes out from under the fixed row and column.
    const QModelIndex first = w.grid->model()->index(1, 1);
    w.grid->scrollTo(first);
    const QRect rect = w.grid->visualRect(first);
    QCOMPARE(rect.topLeft(), QPoint(26, 17));
}

void TestStringGrid::fixedRowBoundaryResizesColumn()
{
    GridWindow w(4, 3);
    w.grid->setDefaultColWidth(40);
    QApplication::processEvents();
    const QPoint origin = w.grid->viewport()->geometry().topLeft();
    const QPoint boundary = origin + QPoint(2 * 41 - 1, 8); // grid line after column 1
    QWidget *target = w.grid->childAt(boundary);
    QVERIFY(target);
    const QPoint local = target->mapFrom(w.grid, boundary);
    QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, local);
    QTest::mouseMove(target, local + QPoint(25, 0));
    QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, local + QPoint(25, 0));
    QCOMPARE(w.grid->colWidth(1), 65);
    QCOMPARE(w.grid->colWidth(0), 40);
}

QTEST_MAIN(TestStringGrid)
#include "tst_stringgrid.moc"
