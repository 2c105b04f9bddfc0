#include "workbook/pupilsheetpages.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr qreal margin = 4;
constexpr qreal padding = 3;
constexpr qreal paragraphGap = 8;
constexpr qreal headingGap = 14;
constexpr qreal blockGap = 12;
// The printable part of A4 with margins of 15 mm, in millimetres: only its shape matters.
constexpr qreal a4Width = 180;
constexpr qreal a4Height = 267;
const QColor lineColour(0x80, 0x80, 0x80);
const QColor headerColour(0xe4, 0xe4, 0xe4);

QFont styled(QFont font, qreal pointSize, bool bold, bool italic)
{
    if (pointSize > 0)
        font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

} // namespace

// A table laid out: its heading, header rows, names and means once, as glyphs and lines to stamp on
// every page; where the pupil's points go in each row.
struct PupilSheetPages::Table {
    qreal width = 0;         // of all its blocks side by side
    qreal height = 0;        // from the heading's top to the last line
    ui::GlyphBatch fixed;    // heading, header rows, names, means
    QPainterPath lines;      // the cells' borders
    QList<QRectF> headers;   // the header rows, shaded
    QList<QPointF> points;   // the top right of the pupil's points in each row, right-aligned
    QList<qint32> maxPoints; // of each row
};

PupilSheetPages::PupilSheetPages(const PupilSheets &sheets, const QFont &font, qreal width)
    : m_sheets(sheets), m_width(width), m_text(styled(font, 0, false, false)),
      m_bold(styled(font, 0, true, false)), m_italic(styled(font, 0, false, true)),
      m_title(styled(font, 15, true, false)), m_heading(styled(font, 12, true, false)),
      m_standards(std::make_unique<Table>()), m_tasks(std::make_unique<Table>())
{
    layOut(m_sheets.standards, 1, m_standards.get());
    // The tasks in as many blocks side by side as make the page's print largest; every sheet of the
    // class is laid out alike, so the first one's heading stands for all.
    const qreal heading = m_sheets.sheets.isEmpty() ? 0 : placeHeading(m_sheets.sheets.first());
    m_page.clear();
    const auto scaleOf = [&](const Table &tasks) {
        const qreal width = std::max({m_width, m_standards->width + 2 * margin, tasks.width + 2 * margin});
        const qreal height = heading + m_standards->height + headingGap + tasks.height + margin;
        return std::min(a4Width / width, a4Height / height);
    };
    layOut(m_sheets.tasks, 1, m_tasks.get());
    for (int blocks = 2; blocks <= 6; ++blocks) {
        auto candidate = std::make_unique<Table>();
        layOut(m_sheets.tasks, blocks, candidate.get());
        if (scaleOf(*candidate) <= scaleOf(*m_tasks) * 1.05)
            break;
        m_tasks = std::move(candidate);
    }
}

PupilSheetPages::~PupilSheetPages() = default;

// Each column as wide as its widest text; the names give way (and wrap) when the page is narrow.
QList<qreal> PupilSheetPages::columnWidths(const PupilSheetTable &source)
{
    const int columns = int(source.columns.size());
    const qsizetype rows = source.labels.size();
    QList<qreal> widths(columns, 0);
    for (int c = 0; c < columns; ++c)
        widths[c] = m_bold.line(source.columns[c]).width;
    for (qsizetype r = 0; r < rows; ++r) {
        widths[0] = std::max(widths[0], m_text.line(source.labels[r]).width);
        const qint32 max = source.maxPoints.value(r);
        widths[1] = std::max(widths[1], m_text.line(pupilPoints(max, max)).width);
        widths[2] = std::max(widths[2], m_text.line(source.classMeans.value(r)).width);
        if (columns > 3)
            widths[3] = std::max(widths[3], m_text.line(source.countryMeans.value(r)).width);
    }
    const qreal available = m_width - 2 * margin - columns * 2 * padding;
    qreal others = 0;
    for (int c = 1; c < columns; ++c)
        others += widths[c];
    widths[0] = std::max<qreal>(std::min(widths[0], available - others), 40);
    return widths;
}

void PupilSheetPages::layOut(const PupilSheetTable &source, int blocks, Table *table)
{
    *table = Table();
    const ui::ShapedText &heading = m_heading.line(source.heading);
    table->fixed.add(heading, QPointF(0, 0));
    const qreal top = heading.height + 6;
    table->height = top;
    table->width = heading.width;
    const int columns = int(source.columns.size());
    const qsizetype rows = source.labels.size();
    if (columns == 0)
        return;

    const QList<qreal> widths = columnWidths(source);
    QList<qreal> lefts{0};
    for (int c = 0; c < columns; ++c)
        lefts.append(lefts.last() + widths[c] + 2 * padding);
    const qreal blockWidth = lefts.last();

    // A long table runs on in blocks side by side, each under its own header row.
    const qsizetype perBlock = std::max<qsizetype>(1, (rows + blocks - 1) / blocks);
    for (qsizetype first = 0, block = 0; first < rows || (rows == 0 && block == 0);
         first += perBlock, ++block) {
        const qreal x = qreal(block) * (blockWidth + blockGap);
        const auto across = [&](qreal y) {
            table->lines.moveTo(x, y);
            table->lines.lineTo(x + blockWidth, y);
        };
        qreal y = top;
        qreal headerHeight = 0;
        for (int c = 0; c < columns; ++c) {
            const ui::ShapedText &text = m_bold.line(source.columns[c]);
            table->fixed.add(text,
                             QPointF(x + lefts[c] + padding + (widths[c] - text.width) / 2, y + padding));
            headerHeight = std::max(headerHeight, text.height);
        }
        across(y);
        y += headerHeight + 2 * padding;
        table->headers.append(QRectF(x, top, blockWidth, y - top));
        across(y);

        const auto rightAligned = [&](const QString &text, int c, qreal rowTop) {
            const ui::ShapedText &shaped = m_text.line(text);
            table->fixed.add(shaped, QPointF(x + lefts[c + 1] - padding - shaped.width, rowTop + padding));
            return shaped.height;
        };
        for (qsizetype r = first; r < std::min(rows, first + perBlock); ++r) {
            const ui::ShapedText &name = m_text.line(source.labels[r]);
            qreal height = name.height;
            if (name.width > widths[0]) {
                const ui::ShapedText wrapped = m_text.wrapped(source.labels[r], widths[0]);
                table->fixed.add(wrapped, QPointF(x + padding, y + padding));
                height = wrapped.height;
            } else {
                table->fixed.add(name, QPointF(x + padding, y + padding));
            }
            height = std::max(height, rightAligned(source.classMeans.value(r), 2, y));
            if (columns > 3)
                height = std::max(height, rightAligned(source.countryMeans.value(r), 3, y));
            table->points.append(QPointF(x + lefts.value(2) - padding, y + padding));
            table->maxPoints.append(source.maxPoints.value(r));
            y += height + 2 * padding;
            across(y);
        }
        for (const qreal left : std::as_const(lefts)) {
            table->lines.moveTo(x + left, top);
            table->lines.lineTo(x + left, y);
        }
        table->height = std::max(table->height, y);
        table->width = std::max(table->width, x + blockWidth);
    }
}

qreal PupilSheetPages::placeHeading(const PupilSheet &sheet)
{
    const qreal width = m_width - 2 * margin;
    qreal y = margin;
    const auto place = [&](const ui::ShapedText &text, qreal gap) {
        m_page.add(text, QPointF(margin, y));
        y += text.height + gap;
    };
    place(m_title.line(sheet.title), paragraphGap);
    place(m_italic.line(m_sheets.testLine), 0);
    place(m_text.line(m_sheets.classLabel), paragraphGap);
    place(m_text.wrapped(sheet.summary, width), paragraphGap);
    if (!sheet.stanine.isEmpty())
        place(m_text.wrapped(sheet.stanine, width), paragraphGap);
    if (!m_sheets.note.isEmpty())
        place(m_italic.wrapped(m_sheets.note, width), paragraphGap);
    for (const QString &sentence : sheet.weakStandards)
        place(m_bold.wrapped(sentence, width), paragraphGap);
    if (!sheet.revision.isEmpty()) {
        place(m_bold.line(QStringLiteral("Do powtórzenia")), 0);
        for (const QString &line : sheet.revision)
            place(m_text.wrapped(line, width), 0);
        y += paragraphGap;
    }
    if (!sheet.closedAnswers.isEmpty())
        place(m_text.wrapped(sheet.closedAnswers, width), paragraphGap);
    return y - paragraphGap + headingGap;
}

void PupilSheetPages::draw(QPainter &painter, int i, const QRectF &area)
{
    const PupilSheet &sheet = m_sheets.sheets.at(i);
    m_page.clear();
    const qreal standardsTop = placeHeading(sheet);
    const qreal tasksTop = standardsTop + m_standards->height + headingGap;
    const auto placePoints = [&](const Table &table, const QList<qint64> &points, qreal top) {
        for (qsizetype r = 0; r < table.points.size(); ++r) {
            const ui::ShapedText &text = m_text.line(pupilPoints(points.value(r), table.maxPoints[r]));
            m_page.add(text, table.points[r] + QPointF(margin - text.width, top));
        }
    };
    placePoints(*m_standards, sheet.standardPoints, standardsTop);
    placePoints(*m_tasks, sheet.taskPoints, tasksTop);
    const qreal width = std::max({m_width, m_standards->width + 2 * margin, m_tasks->width + 2 * margin});
    const qreal height = tasksTop + m_tasks->height + margin;

    // One page a pupil: a long test is made smaller rather than spill onto a second page.
    const qreal scale = std::min(area.width() / width, area.height() / height);
    painter.save();
    painter.translate(area.topLeft());
    painter.scale(scale, scale);
    QPen pen(lineColour);
    pen.setWidthF(1);
    painter.setPen(pen);
    for (const auto &[table, top] : {std::pair{m_standards.get(), standardsTop}, {m_tasks.get(), tasksTop}}) {
        const QPointF origin(margin, top);
        for (const QRectF &header : std::as_const(table->headers))
            painter.fillRect(header.translated(origin), headerColour);
        painter.drawPath(table->lines.translated(origin));
    }
    painter.setPen(Qt::black);
    m_standards->fixed.draw(painter, QPointF(margin, standardsTop));
    m_tasks->fixed.draw(painter, QPointF(margin, tasksTop));
    m_page.draw(painter);
    painter.restore();
}
