#include "ui/stringgrid.h"

#include "core/cells.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QValidator>
#include <QWheelEvent>

#include <optional>

QPoint centredTextOffset(const QFontMetrics &metrics, const QString &text, const QRect &rect)
{
    // Integer division in C++ rounds towards zero, as the offsets must.
    return {(rect.width() - metrics.horizontalAdvance(text)) / 2, (rect.height() - metrics.height()) / 2};
}

void drawCellCentred(QPainter *painter, const QString &text, const QRect &rect)
{
    const QFontMetrics metrics = painter->fontMetrics();
    const QPoint offset = centredTextOffset(metrics, text, rect);
    painter->fillRect(rect, painter->brush());
    painter->drawText(QPoint(rect.left() + offset.x(), rect.top() + offset.y() + metrics.ascent()), text);
}

namespace {

// Drops every character a cell may not hold, so that neither typing nor pasting can bring one in.
class CellValidator : public QValidator
{
public:
    CellValidator(StringGrid *grid, bool semicolons, QObject *parent)
        : QValidator(parent), m_grid(grid), m_semicolons(semicolons)
    {}

    State validate(QString &input, int &pos) const override
    {
        QString kept;
        kept.reserve(input.size());
        int removedBeforeCursor = 0;
        std::optional<QChar> refused;
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (StringGrid::isAllowedInCell(input.at(i)) || (m_semicolons && input.at(i) == u';')) {
                kept.append(input.at(i));
                continue;
            }
            if (!refused)
                refused = input.at(i);
            if (i < pos)
                ++removedBeforeCursor;
        }
        if (kept.size() != input.size()) {
            input = kept;
            pos -= removedBeforeCursor;
        }
        // Told after the key, not from inside the editor's check: a message box there would take the
        // focus from an editor still handling its keystroke.
        if (refused) {
            QMetaObject::invokeMethod(
                m_grid, [grid = m_grid, c = *refused] { Q_EMIT grid->characterRefused(c); },
                Qt::QueuedConnection);
        }
        return Acceptable;
    }

private:
    QPointer<StringGrid> m_grid;
    bool m_semicolons;
};

bool refusedAsFirstKey(const QString &text, bool semicolons)
{
    if (text.isEmpty() || text.at(0).category() == QChar::Other_Control)
        return false; // navigation and editing keys, not text
    return !StringGrid::isAllowedInCell(text.at(0)) && !(semicolons && text.at(0) == u';');
}

} // namespace

class StringGridDelegate : public QStyledItemDelegate
{
public:
    StringGridDelegate(StringGrid *grid, QObject *parent) : QStyledItemDelegate(parent), m_grid(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const int col = index.column();
        const int row = index.row();
        const QRect &rect = option.rect;
        const bool fixed = m_grid->isFixedCell(col, row);
        // Like the classic grid, the current cell of a focused grid stays unhighlighted and
        // carries a focus frame instead.
        const bool focused = !fixed && (option.state & QStyle::State_HasFocus);
        const bool selected = !fixed && !focused && (option.state & QStyle::State_Selected);
        const QPalette &palette = option.palette;

        painter->save();
        painter->setClipRect(rect, Qt::IntersectClip);
        painter->setFont(option.font);
        if (fixed) {
            painter->setBrush(palette.brush(QPalette::Button));
            painter->setPen(palette.color(QPalette::ButtonText));
        } else if (selected) {
            painter->setBrush(palette.brush(QPalette::Highlight));
            painter->setPen(palette.color(QPalette::HighlightedText));
        } else {
            painter->setBrush(palette.brush(QPalette::Base));
            painter->setPen(palette.color(QPalette::Text));
        }

        if (m_grid->drawCellHandler)
            m_grid->drawCellHandler(painter, col, row, rect);
        else
            drawCellCentred(painter, index.data(Qt::DisplayRole).toString(), rect);

        if (fixed) {
            // A raised edge makes the fixed cells read as headings.
            painter->setPen(palette.color(QPalette::Light));
            painter->drawLine(rect.topLeft(), rect.topRight());
            painter->drawLine(rect.topLeft(), rect.bottomLeft());
            painter->setPen(palette.color(QPalette::Mid));
            painter->drawLine(rect.bottomLeft(), rect.bottomRight());
            painter->drawLine(rect.topRight(), rect.bottomRight());
        } else if (focused) {
            painter->setBrush(Qt::NoBrush);
            painter->setPen(QPen(palette.color(QPalette::Text), 1, Qt::DotLine));
            painter->drawRect(rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override
    {
        auto *editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setValidator(new CellValidator(m_grid, index.column() == m_grid->semicolonColumn(), editor));
        // A block pasted into an open cell goes into the cells, not into this one.
        editor->installEventFilter(m_grid);
        return editor;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        static_cast<QLineEdit *>(editor)->setText(index.data(Qt::EditRole).toString());
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        const QString text = static_cast<QLineEdit *>(editor)->text();
        const QString before = index.data(Qt::EditRole).toString();
        if (text == before)
            return;
        model->setData(index, text, Qt::EditRole);
        m_grid->recordEdit(index.column(), index.row(), before, text);
        Q_EMIT m_grid->cellEdited(index.column(), index.row());
        Q_EMIT m_grid->editFinished();
    }

    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &) const override
    {
        editor->setGeometry(option.rect);
    }

private:
    StringGrid *m_grid;
};

// A view of the grid's own cells laid over its fixed rows, fixed columns or their corner, so
// that they stay in place while the grid scrolls beneath. It never takes focus or selects;
// in the fixed rows it lets the user drag column boundaries.
class FrozenCellsView : public QTableView
{
public:
    enum Part { Rows, Cols, Corner };

    FrozenCellsView(StringGrid *grid, Part part) : QTableView(grid), m_grid(grid), m_part(part)
    {
        setModel(grid->model());
        // A delegate of its own: a shared one would send the grid's editor signals here too.
        setItemDelegate(new StringGridDelegate(grid, this));
        horizontalHeader()->hide();
        verticalHeader()->hide();
        horizontalHeader()->setMinimumSectionSize(1);
        verticalHeader()->setMinimumSectionSize(1);
        setFrameShape(QFrame::NoFrame);
        setFocusPolicy(Qt::NoFocus);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollMode(ScrollPerPixel);
        setVerticalScrollMode(ScrollPerPixel);
        setSelectionMode(NoSelection);
        setEditTriggers(NoEditTriggers);
        setTabKeyNavigation(false);
        setAutoScroll(false);
        setCornerButtonEnabled(false);
        setWordWrap(false);
        setTextElideMode(Qt::ElideNone);
        viewport()->setMouseTracking(part != Cols);
        hide();
    }

    void scrollTo(const QModelIndex &, ScrollHint) override {}

    // Follows the grid along the axis on which this part scrolls; stays at the origin on the other.
    void followGrid()
    {
        horizontalScrollBar()->setValue(m_part == Rows ? m_grid->horizontalScrollBar()->value() : 0);
        verticalScrollBar()->setValue(m_part == Cols ? m_grid->verticalScrollBar()->value() : 0);
    }

protected:
    void updateGeometries() override
    {
        QTableView::updateGeometries();
        followGrid();
    }

    void wheelEvent(QWheelEvent *event) override { QCoreApplication::sendEvent(m_grid->viewport(), event); }

    void mousePressEvent(QMouseEvent *event) override
    {
        m_grid->setFocus(Qt::MouseFocusReason);
        const int col = event->button() == Qt::LeftButton ? boundaryAt(event->position().toPoint()) : -1;
        if (col >= 0) {
            m_dragCol = col;
            m_dragStartX = event->position().toPoint().x();
            m_dragStartWidth = m_grid->colWidth(col);
        }
        event->accept();
    }

    void mouseMoveEvent(QMouseEvent *event) override
    {
        const QPoint pos = event->position().toPoint();
        if (m_dragCol >= 0) {
            m_grid->setColWidth(m_dragCol, qMax(1, m_dragStartWidth + pos.x() - m_dragStartX));
        } else if (boundaryAt(pos) >= 0) {
            viewport()->setCursor(Qt::SplitHCursor);
        } else {
            viewport()->unsetCursor();
        }
        event->accept();
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        m_dragCol = -1;
        event->accept();
    }

    void mouseDoubleClickEvent(QMouseEvent *event) override { event->accept(); }

private:
    // The visible column whose right-hand grid line lies under pos, or -1.
    int boundaryAt(const QPoint &pos) const
    {
        constexpr int reach = 3;
        if (m_part == Cols || pos.y() >= m_grid->fixedRowsHeight())
            return -1;
        int found = -1;
        int nearest = reach + 1;
        for (int col = 0; col < model()->columnCount(); ++col) {
            if (isColumnHidden(col))
                continue;
            const int line = columnViewportPosition(col) + columnWidth(col) - 1;
            const int distance = qAbs(pos.x() - line);
            if (distance < nearest) {
                nearest = distance;
                found = col;
            }
        }
        return found;
    }

    StringGrid *m_grid;
    Part m_part;
    int m_dragCol = -1;
    int m_dragStartX = 0;
    int m_dragStartWidth = 0;
};

StringGrid::StringGrid(QWidget *parent) : QTableWidget(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    // Each cell is followed by a one-pixel grid line that the table draws inside the section.
    horizontalHeader()->setDefaultSectionSize(m_defaultColWidth + 1);
    verticalHeader()->setDefaultSectionSize(m_defaultRowHeight + 1);
    setCornerButtonEnabled(false);
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectItems);
    setEditTriggers(NoEditTriggers);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);

    setItemDelegate(new StringGridDelegate(this, this));

    m_frozenCols = new FrozenCellsView(this, FrozenCellsView::Cols);
    m_frozenRows = new FrozenCellsView(this, FrozenCellsView::Rows);
    m_frozenCorner = new FrozenCellsView(this, FrozenCellsView::Corner);
    for (FrozenCellsView *view : {m_frozenCols, m_frozenRows, m_frozenCorner}) {
        view->horizontalHeader()->setDefaultSectionSize(m_defaultColWidth + 1);
        view->verticalHeader()->setDefaultSectionSize(m_defaultRowHeight + 1);
    }
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_frozenRows, &FrozenCellsView::followGrid);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, m_frozenCols, &FrozenCellsView::followGrid);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int logical) { syncSection(Qt::Horizontal, logical); });
    connect(verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int logical) { syncSection(Qt::Vertical, logical); });

    // Connected after every view on the model, so that the views know the new cells first.
    connect(model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) {
                createMissingItems(first, last, 0, columnCount() - 1);
                layoutFrozenViews();
            });
    connect(model(), &QAbstractItemModel::columnsInserted, this,
            [this](const QModelIndex &, int first, int last) {
                createMissingItems(0, rowCount() - 1, first, last);
                layoutFrozenViews();
            });
    connect(model(), &QAbstractItemModel::rowsRemoved, this, &StringGrid::layoutFrozenViews);
    connect(model(), &QAbstractItemModel::columnsRemoved, this, &StringGrid::layoutFrozenViews);
}

StringGrid::~StringGrid() = default;

QString StringGrid::cell(int col, int row) const
{
    const QTableWidgetItem *cellItem = item(row, col);
    return cellItem ? cellItem->text() : QString();
}

void StringGrid::setCell(int col, int row, const QString &text)
{
    QTableWidgetItem *cellItem = item(row, col);
    if (!cellItem)
        return;
    {
        // Filling a page sets thousands of cells; a change notice per cell would cost more than
        // the one repaint that follows them all.
        const QSignalBlocker blocker(model());
        cellItem->setText(text);
    }
    scheduleRepaint();
}

void StringGrid::clearCells()
{
    {
        const QSignalBlocker blocker(model());
        for (int row = 0; row < rowCount(); ++row) {
            for (int col = 0; col < columnCount(); ++col) {
                if (QTableWidgetItem *cellItem = item(row, col))
                    cellItem->setText(QString());
            }
        }
    }
    scheduleRepaint();
}

void StringGrid::setFixedCols(int cols)
{
    cols = qMax(0, cols);
    if (cols == m_fixedCols)
        return;
    commitOpenEditor();
    m_fixedCols = cols;
    refreshFlags();
}

void StringGrid::setFixedRows(int rows)
{
    rows = qMax(0, rows);
    if (rows == m_fixedRows)
        return;
    commitOpenEditor();
    m_fixedRows = rows;
    refreshFlags();
}

void StringGrid::setEditingEnabled(bool enabled)
{
    if (enabled == m_editingEnabled)
        return;
    if (!enabled)
        commitOpenEditor();
    m_editingEnabled = enabled;
    setEditTriggers(enabled ? DoubleClicked | EditKeyPressed | AnyKeyPressed : NoEditTriggers);
    refreshFlags();
}

int StringGrid::colWidth(int col) const
{
    if (col < 0 || col >= columnCount() || isColumnHidden(col))
        return 0;
    return columnWidth(col) - 1;
}

void StringGrid::setColWidth(int col, int width)
{
    if (col < 0 || col >= columnCount())
        return;
    if (width <= 0) {
        setColumnHidden(col, true);
    } else {
        setColumnHidden(col, false);
        setColumnWidth(col, width + 1);
    }
    syncSection(Qt::Horizontal, col);
}

void StringGrid::setDefaultColWidth(int width)
{
    m_defaultColWidth = qMax(1, width);
    for (QTableView *view : allViews())
        view->horizontalHeader()->setDefaultSectionSize(m_defaultColWidth + 1);
    for (int col = 0; col < columnCount(); ++col)
        setColWidth(col, m_defaultColWidth);
}

void StringGrid::setDefaultRowHeight(int height)
{
    m_defaultRowHeight = qMax(1, height);
    for (QTableView *view : allViews())
        view->verticalHeader()->setDefaultSectionSize(m_defaultRowHeight + 1);
    for (int row = 0; row < rowCount(); ++row)
        setRowHeight(row, m_defaultRowHeight + 1);
}

bool StringGrid::isAllowedInCell(QChar c)
{
    return ::isAllowedInCell(c);
}

QModelIndex StringGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    if (cursorAction == MoveNext || cursorAction == MovePrevious)
        return current.isValid() ? tabTarget(current, cursorAction == MoveNext) : firstFreeCell();

    const QModelIndex target = QTableWidget::moveCursor(cursorAction, modifiers);
    if (!target.isValid() || !isFixedCell(target.column(), target.row()))
        return target;
    // Keys that would reach the fixed cells stop at the first free row or column.
    const QModelIndex first = firstFreeCell();
    if (!first.isValid())
        return {};
    return model()->index(qMax(target.row(), first.row()),
                          target.column() < m_fixedCols ? first.column() : target.column());
}

bool StringGrid::focusNextPrevChild(bool next)
{
    if (tabKeyNavigation() && isVisible() && isEnabled()) {
        const QModelIndex current = currentIndex();
        const QModelIndex target = current.isValid() ? tabTarget(current, next) : firstFreeCell();
        if (target.isValid()) {
            setCurrentIndex(target);
            return true;
        }
    }
    // Past the last cell (or before the first) Tab leaves the grid.
    return QWidget::focusNextPrevChild(next);
}

void StringGrid::keyPressEvent(QKeyEvent *event)
{
    if (state() != EditingState) {
        if (event->matches(QKeySequence::Copy)) {
            copySelection();
            event->accept();
            return;
        }
        if (event->matches(QKeySequence::Paste)) {
            pasteClipboard();
            event->accept();
            return;
        }
        if (event->matches(QKeySequence::Undo)) {
            undo();
            event->accept();
            return;
        }
    }
    if (state() != EditingState && m_editingEnabled &&
        refusedAsFirstKey(event->text(), currentIndex().column() == m_semicolonColumn)) {
        event->accept();
        if (cellTakesTyping(currentIndex().column(), currentIndex().row()))
            Q_EMIT characterRefused(event->text().at(0));
        return;
    }
    QTableWidget::keyPressEvent(event);
}

bool StringGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit *>(watched) &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Paste)) {
        const QString text = QGuiApplication::clipboard()->text();
        if (text.contains(u'\t') || text.contains(u'\n') || text.contains(u'\r')) {
            commitOpenEditor();
            pasteBlock(text);
            return true;
        }
    }
    return QTableWidget::eventFilter(watched, event);
}

void StringGrid::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *copy = menu.addAction(QStringLiteral("Kopiuj"), this, [this] { copySelection(); });
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(!selectedIndexes().isEmpty());
    QAction *paste = menu.addAction(QStringLiteral("Wklej"), this, [this] { pasteClipboard(); });
    paste->setShortcut(QKeySequence::Paste);
    paste->setEnabled(m_editingEnabled && !QGuiApplication::clipboard()->text().isEmpty());
    QAction *back = menu.addAction(QStringLiteral("Cofnij"), this, [this] { undo(); });
    back->setShortcut(QKeySequence::Undo);
    back->setEnabled(canUndo());
    menu.exec(event->globalPos());
    event->accept();
}

QString StringGrid::selectedBlockText() const
{
    const QModelIndexList selected = selectedIndexes();
    if (selected.isEmpty())
        return QString();
    int top = rowCount(), left = columnCount(), bottom = -1, right = -1;
    for (const QModelIndex &index : selected) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
        left = std::min(left, index.column());
        right = std::max(right, index.column());
    }
    QList<QStringList> rows;
    for (int r = top; r <= bottom; ++r) {
        QStringList cells;
        for (int c = left; c <= right; ++c) {
            if (isColumnHidden(c))
                continue;
            const QTableWidgetItem *cellItem = item(r, c);
            cells.append(cellItem && cellItem->isSelected() ? cellItem->text() : QString());
        }
        rows.append(cells);
    }
    return cellBlockText(rows);
}

void StringGrid::copySelection() const
{
    const QString text = selectedBlockText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

StringGrid::PasteResult StringGrid::pasteClipboard()
{
    return pasteBlock(QGuiApplication::clipboard()->text());
}

StringGrid::PasteResult StringGrid::pasteBlock(const QString &text)
{
    if (!m_editingEnabled || text.isEmpty())
        return {};
    QModelIndex start = currentIndex();
    if (!start.isValid() || isFixedCell(start.column(), start.row()))
        start = firstFreeCell();
    if (!start.isValid())
        return {};
    if (pasteHandler)
        return pasteHandler(parseCellBlock(text), start.column(), start.row());
    const PasteResult result = putTypedBlock(parseCellBlock(text), start.column(), start.row());
    if (result.rowsLeftOut > 0 || result.columnsLeftOut > 0)
        Q_EMIT blockLeftOut(result.rowsLeftOut, result.columnsLeftOut);
    return result;
}

bool StringGrid::cellTakesTyping(int col, int row) const
{
    return m_editingEnabled && row >= 0 && row < rowCount() && col >= 0 && col < columnCount() &&
           !isFixedCell(col, row) && !isColumnHidden(col);
}

StringGrid::PasteResult StringGrid::putTypedBlock(const QList<QStringList> &rows, int firstCol, int firstRow)
{
    commitOpenEditor();
    PasteResult result;
    QList<CellChange> step;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const int row = firstRow + int(i);
        if (row >= rowCount()) {
            result.rowsLeftOut = int(rows.size() - i);
            break;
        }
        // Hidden columns are passed over, as the eye and the Tab key pass over them.
        int col = firstCol;
        for (qsizetype j = 0; j < rows[i].size(); ++j, ++col) {
            while (col < columnCount() && isColumnHidden(col))
                ++col;
            if (col >= columnCount()) {
                result.columnsLeftOut = std::max(result.columnsLeftOut, int(rows[i].size() - j));
                break;
            }
            if (!cellTakesTyping(col, row))
                continue;
            const QString text = asTypedCell(rows[i][j]);
            const QString before = cell(col, row);
            if (text == before)
                continue;
            step.append({col, row, before, text});
        }
    }
    for (const CellChange &change : std::as_const(step))
        setCell(change.col, change.row, change.after);
    if (!step.isEmpty())
        m_undo.append(step);
    for (const CellChange &change : std::as_const(step))
        Q_EMIT cellEdited(change.col, change.row);
    if (!step.isEmpty())
        Q_EMIT editFinished();
    result.cellsChanged = int(step.size());
    return result;
}

void StringGrid::recordEdit(int col, int row, const QString &before, const QString &after)
{
    m_undo.append({CellChange{col, row, before, after}});
}

void StringGrid::undo()
{
    if (m_undo.isEmpty() || !m_editingEnabled)
        return;
    commitOpenEditor();
    const QList<CellChange> step = m_undo.takeLast();
    for (const CellChange &change : step)
        setCell(change.col, change.row, change.before);
    for (const CellChange &change : step)
        Q_EMIT cellEdited(change.col, change.row);
    Q_EMIT editFinished();
}

void StringGrid::keyboardSearch(const QString &)
{
    // Typing never jumps to a cell by its text.
}

void StringGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem) {
        // The edit is already committed; Tab then moves on as it does outside the editor.
        QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
        focusNextPrevChild(hint == QAbstractItemDelegate::EditNextItem);
        return;
    }
    QTableWidget::closeEditor(editor, hint);
}

void StringGrid::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    QTableWidget::scrollTo(index, hint);
    if (!index.isValid() || isFixedCell(index.column(), index.row()))
        return;
    // Bring the cell out from under the fixed rows and columns laid over the top and left.
    const QRect rect = visualRect(index);
    const int top = fixedRowsHeight();
    if (rect.top() < top)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - (top - rect.top()));
    const int left = fixedColsWidth();
    if (rect.left() < left)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (left - rect.left()));
}

void StringGrid::updateGeometries()
{
    QTableWidget::updateGeometries();
    layoutFrozenViews();
}

Qt::ItemFlags StringGrid::flagsFor(int row, int col) const
{
    if (isFixedCell(col, row))
        return Qt::ItemIsEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_editingEnabled)
        flags |= Qt::ItemIsEditable;
    return flags;
}

void StringGrid::createMissingItems(int firstRow, int lastRow, int firstCol, int lastCol)
{
    // A new empty cell looks as no cell did, so there is nothing to repaint.
    const QSignalBlocker blocker(model());
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int col = firstCol; col <= lastCol; ++col) {
            if (item(row, col))
                continue;
            auto *cellItem = new QTableWidgetItem;
            cellItem->setFlags(flagsFor(row, col));
            setItem(row, col, cellItem);
        }
    }
}

void StringGrid::refreshFlags()
{
    {
        const QSignalBlocker blocker(model());
        for (int row = 0; row < rowCount(); ++row) {
            for (int col = 0; col < columnCount(); ++col) {
                if (QTableWidgetItem *cellItem = item(row, col))
                    cellItem->setFlags(flagsFor(row, col));
            }
        }
    }
    const QModelIndex current = currentIndex();
    if (current.isValid() && isFixedCell(current.column(), current.row()))
        selectionModel()->clear();
    layoutFrozenViews();
    scheduleRepaint();
}

void StringGrid::commitOpenEditor()
{
    if (state() != EditingState)
        return;
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

QModelIndex StringGrid::tabTarget(const QModelIndex &from, bool next) const
{
    int row = from.row();
    int col = from.column();
    // Each step moves one cell in reading order, so the walk ends once it leaves the rows.
    for (;;) {
        col += next ? 1 : -1;
        if (col >= columnCount()) {
            col = m_fixedCols;
            ++row;
        } else if (col < m_fixedCols) {
            col = columnCount() - 1;
            --row;
        }
        if (row < m_fixedRows || row >= rowCount())
            return {};
        if (col >= m_fixedCols && col < columnCount() && !isColumnHidden(col))
            return model()->index(row, col);
    }
}

QModelIndex StringGrid::firstFreeCell() const
{
    if (m_fixedRows >= rowCount())
        return {};
    for (int col = m_fixedCols; col < columnCount(); ++col) {
        if (!isColumnHidden(col))
            return model()->index(m_fixedRows, col);
    }
    return {};
}

int StringGrid::fixedColsWidth() const
{
    int width = 0;
    for (int col = 0; col < qMin(m_fixedCols, columnCount()); ++col)
        width += columnWidth(col);
    return width;
}

int StringGrid::fixedRowsHeight() const
{
    int height = 0;
    for (int row = 0; row < qMin(m_fixedRows, rowCount()); ++row)
        height += rowHeight(row);
    return height;
}

void StringGrid::syncSection(Qt::Orientation orientation, int logical)
{
    if (!m_frozenCorner)
        return;
    for (QTableView *view : {m_frozenRows, m_frozenCols, m_frozenCorner}) {
        if (orientation == Qt::Horizontal) {
            if (logical >= view->model()->columnCount())
                continue;
            view->setColumnHidden(logical, isColumnHidden(logical));
            if (!isColumnHidden(logical))
                view->setColumnWidth(logical, columnWidth(logical));
        } else if (logical < view->model()->rowCount()) {
            view->setRowHeight(logical, rowHeight(logical));
        }
    }
    if (orientation == Qt::Horizontal ? logical < m_fixedCols : logical < m_fixedRows)
        layoutFrozenViews();
}

void StringGrid::layoutFrozenViews()
{
    if (!m_frozenCorner)
        return; // still being built
    const QRect area = viewport()->geometry();
    const int width = qMin(fixedColsWidth(), area.width());
    const int height = qMin(fixedRowsHeight(), area.height());
    const auto place = [](FrozenCellsView *view, const QRect &rect) {
        view->setGeometry(rect);
        view->setVisible(!rect.isEmpty());
        view->followGrid();
    };
    place(m_frozenRows, QRect(area.left(), area.top(), area.width(), height));
    place(m_frozenCols, QRect(area.left(), area.top(), width, area.height()));
    place(m_frozenCorner, QRect(area.left(), area.top(), width, height));
    m_frozenCorner->raise();
}

QList<QTableView *> StringGrid::allViews()
{
    return {this, m_frozenRows, m_frozenCols, m_frozenCorner};
}

void StringGrid::scheduleRepaint()
{
    if (m_repaintPending)
        return;
    m_repaintPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_repaintPending = false;
            for (QTableView *view : allViews())
                view->viewport()->update();
        },
        Qt::QueuedConnection);
}
