// The pupils' sheets on paper, one page each. The two tables are laid out once for the whole class,
// with their names, means and lines; each page adds only the pupil's own texts and points.
#pragma once

#include "documents/pupilsheets.h"
#include "ui/glyphbatch.h"

#include <QPainterPath>
#include <QRectF>

#include <memory>

class QPainter;

class PupilSheetPages
{
public:
    // width: of the page, in the font's pixels; each page is scaled to the paper from it.
    PupilSheetPages(const PupilSheets &sheets, const QFont &font, qreal width);
    ~PupilSheetPages();

    int count() const { return int(m_sheets.sheets.size()); }
    // Draws the sheet of the i-th present pupil in area, made smaller as a whole when it is long.
    void draw(QPainter &painter, int i, const QRectF &area);

private:
    struct Table;
    // In `blocks` blocks side by side.
    void layOut(const PupilSheetTable &source, int blocks, Table *table);
    QList<qreal> columnWidths(const PupilSheetTable &source);
    // The pupil's part above the tables; returns the tables' top.
    qreal placeHeading(const PupilSheet &sheet);

    PupilSheets m_sheets;
    qreal m_width;
    ui::TextShapes m_text;
    ui::TextShapes m_bold;
    ui::TextShapes m_italic;
    ui::TextShapes m_title;
    ui::TextShapes m_heading;
    std::unique_ptr<Table> m_standards;
    std::unique_ptr<Table> m_tasks;
    ui::GlyphBatch m_page; // what is the pupil's own on the page being drawn
};
