// A grid of text cells in the manner of a classic string grid: leading fixed rows and
// columns drawn as headings that stay in place while the rest scrolls, optional typing
// into the other cells, and owner-drawn cells.
#pragma once

#include <QPoint>
#include <QTableWidget>

#include <functional>

class QFontMetrics;
class QPainter;
class QRect;
class QString;

class FrozenCellsView;

// Where text drawn by drawCellCentred starts, relative to the rectangle's top left: half the
// room left over in each direction, rounded towards zero; negative when the text is larger.
QPoint centredTextOffset(const QFontMetrics &metrics, const QString &text, const QRect &rect);

// Fills rect with the painter's brush and draws text centred in it with the painter's font and
// pen. The text is never shortened; what does not fit falls outside the rectangle.
void drawCellCentred(QPainter *painter, const QString &text, const QRect &rect);

class StringGrid : public QTableWidget
{
    Q_OBJECT

public:
    explicit StringGrid(QWidget *parent = nullptr);
    ~StringGrid() override;

    // Cells are addressed column first; cell (col, row) is item(row, col). Every cell, fixed
    // or not, always has an item.
    QString cell(int col, int row) const;
    // Any text is taken; a cell outside the grid is ignored. Does not emit cellEdited.
    void setCell(int col, int row, const QString &text);
    // Empties every cell, the fixed ones included.
    void clearCells();

    // The row count is the table's own rowCount() and setRowCount(). Changing the shape keeps
    // the cells that remain; new cells are empty, new columns and rows get the default size.
    int colCount() const { return columnCount(); }
    void setColCount(int cols) { setColumnCount(cols); }

    int fixedCols() const { return m_fixedCols; }
    void setFixedCols(int cols);
    int fixedRows() const { return m_fixedRows; }
    void setFixedRows(int rows);

    // When on, every cell outside the fixed rows and columns can be typed into: typing a
    // character, F2 or a double click opens the editor. Switching it off commits an open edit.
    bool editingEnabled() const { return m_editingEnabled; }
    void setEditingEnabled(bool enabled);
    // A cell's editor is open.
    bool isEditing() const { return state() == EditingState; }
    // Puts the text of an open editor into its cell and closes the editor, so that what the
    // user typed last is part of what is read, written or computed next.
    void commitOpenEditor();

    // Widths and heights are of the cell's inside, without the one-pixel grid line that follows
    // it. A width of 0 makes the column invisible.
    int colWidth(int col) const;
    void setColWidth(int col, int width);
    int defaultColWidth() const { return m_defaultColWidth; }
    // Also gives every existing column the new width.
    void setDefaultColWidth(int width);
    int defaultRowHeight() const { return m_defaultRowHeight; }
    // Also gives every existing row the new height.
    void setDefaultRowHeight(int height);

    // Draws one cell. The painter arrives with the cell's background as its brush, the text
    // colour as its pen and the grid's font, clipped to rect. When unset, the cell's text is
    // drawn with drawCellCentred.
    std::function<void(QPainter *, int col, int row, const QRect &rect)> drawCellHandler;

    bool isFixedCell(int col, int row) const { return row < m_fixedRows || col < m_fixedCols; }
    // The character can be typed into a cell: it fits the files' code page and breaks neither
    // their lines nor their semicolon-separated fields.
    static bool isAllowedInCell(QChar c);
    // The one column whose cells take a typed semicolon: a list the window parts itself, never
    // written into a semicolon-separated file as it stands. -1 for none.
    int semicolonColumn() const { return m_semicolonColumn; }
    void setSemicolonColumn(int col) { m_semicolonColumn = col; }

    // Also keeps the cell clear of the fixed rows and columns.
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

    // Blocks of cells to and from spreadsheets (rows by line breaks, cells by tabs). The selected
    // cells' block, the unselected ones inside it empty.
    QString selectedBlockText() const;
    void copySelection() const;
    // Puts a block into the cells from the current one rightwards and downwards, each cell as
    // typing would leave it, into cells that can be typed into only; one step for undo. Returns
    // what was left out beyond the grid's last row and column (also told by blockLeftOut).
    struct PasteResult {
        int cellsChanged = 0;
        int rowsLeftOut = 0;
        int columnsLeftOut = 0;
    };
    PasteResult pasteBlock(const QString &text);
    // When set, a pasted block (keys, menu or an open cell) goes to it, from the cell it starts in,
    // instead of into the cells: for a grid whose rows grow with what is pasted.
    std::function<PasteResult(const QList<QStringList> &rows, int firstCol, int firstRow)> pasteHandler;
    PasteResult pasteClipboard();
    // Puts cells as typing would, one step for undo: rows of texts from (firstCol, firstRow).
    PasteResult putTypedBlock(const QList<QStringList> &rows, int firstCol, int firstRow);

    // The user's changes (typed cells, pastes) can be taken back one step at a time, until the
    // program refills the grid (clearUndo).
    bool canUndo() const { return !m_undo.isEmpty(); }
    void undo();
    void clearUndo() { m_undo.clear(); }

Q_SIGNALS:
    // The user has changed a cell's text by editing it (typing, pasting or undoing).
    void cellEdited(int col, int row);
    // A paste did not fit: so many rows and columns of the block were left out.
    void blockLeftOut(int rows, int columns);
    // One step of the user's editing has ended (a typed cell, a paste, an undo).
    void editFinished();
    // A typed character the cell cannot hold was dropped; told once the key has been handled.
    void characterRefused(QChar character);

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyboardSearch(const QString &search) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void updateGeometries() override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class FrozenCellsView;
    friend class StringGridDelegate;

    struct CellChange {
        int col;
        int row;
        QString before;
        QString after;
    };
    // Records a typed cell's change as one step.
    void recordEdit(int col, int row, const QString &before, const QString &after);
    bool cellTakesTyping(int col, int row) const;

    Qt::ItemFlags flagsFor(int row, int col) const;
    void createMissingItems(int firstRow, int lastRow, int firstCol, int lastCol);
    void refreshFlags();
    // The next (or previous) cell outside the fixed area in reading order, or an invalid index.
    QModelIndex tabTarget(const QModelIndex &from, bool next) const;
    QModelIndex firstFreeCell() const;
    int fixedColsWidth() const;
    int fixedRowsHeight() const;
    void syncSection(Qt::Orientation orientation, int logical);
    void layoutFrozenViews();
    // The grid itself and the views laid over it.
    QList<QTableView *> allViews();
    // Cells change without the model's per-cell notices; the views repaint once the changes end.
    void scheduleRepaint();

    int m_fixedCols = 1;
    int m_fixedRows = 1;
    bool m_editingEnabled = false;
    int m_semicolonColumn = -1;
    bool m_repaintPending = false;
    int m_defaultColWidth = 64;
    int m_defaultRowHeight = 16;
    // Fixed rows (scroll sideways with the grid), fixed columns (scroll up and down with it) and
    // their corner (never scrolls), laid over the grid's own cells.
    FrozenCellsView *m_frozenRows = nullptr;
    FrozenCellsView *m_frozenCols = nullptr;
    FrozenCellsView *m_frozenCorner = nullptr;
    QList<QList<CellChange>> m_undo;
};
