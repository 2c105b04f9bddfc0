#include "ui/glyphbatch.h"

#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace ui {

namespace {

// Glyphs of the font itself where it has them all, spaces included, so that a PDF made of them
// reads back as the same words; the layout's own runs (with fallback fonts) otherwise.
void addLine(const QTextLine &line, const QString &text, const QRawFont &font, ShapedText *result)
{
    const QString part = text.mid(line.textStart(), line.textLength());
    const QList<quint32> glyphs = font.glyphIndexesForString(part);
    if (glyphs.size() != part.size() || glyphs.contains(0u)) {
        result->runs += line.glyphRuns();
        return;
    }
    const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs);
    QList<QPointF> positions;
    positions.reserve(glyphs.size());
    QPointF at(line.x(), line.y() + line.ascent());
    for (const QPointF &advance : advances) {
        positions.append(at);
        at += advance;
    }
    QGlyphRun run;
    run.setRawFont(font);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    result->runs.append(run);
}

ShapedText shaped(const QString &text, const QFont &font, const QRawFont &raw, qreal width)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(width > 0 ? QTextOption::WordWrap : QTextOption::NoWrap);
    layout.setTextOption(option);
    ShapedText result;
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        // A line is laid out only once given a width; a line that must not wrap gets all it needs.
        line.setLineWidth(width > 0 ? width : 1e6);
        line.setPosition(QPointF(0, y));
        y += line.height();
        result.width = std::max(result.width, line.naturalTextWidth());
    }
    layout.endLayout();
    result.height = y;
    for (int i = 0; i < layout.lineCount(); ++i)
        addLine(layout.lineAt(i), text, raw, &result);
    return result;
}

} // namespace

const ShapedText &TextShapes::line(const QString &text)
{
    auto found = m_lines.constFind(text);
    if (found == m_lines.constEnd())
        found = m_lines.insert(text, shaped(text, m_font, m_raw, 0));
    return *found;
}

ShapedText TextShapes::wrapped(const QString &text, qreal width) const
{
    return shaped(text, m_font, m_raw, width);
}

void GlyphBatch::add(const ShapedText &text, QPointF topLeft)
{
    for (const QGlyphRun &run : text.runs) {
        const QRawFont font = run.rawFont();
        auto target =
            std::find_if(m_runs.begin(), m_runs.end(), [&](const Run &kept) { return kept.font == font; });
        if (target == m_runs.end()) {
            m_runs.append(Run{font, {}, {}});
            target = m_runs.end() - 1;
        }
        target->glyphs += run.glyphIndexes();
        for (const QPointF &position : run.positions())
            target->positions.append(position + topLeft);
    }
}

void GlyphBatch::draw(QPainter &painter, QPointF origin) const
{
    for (const Run &kept : m_runs) {
        QGlyphRun run;
        run.setRawFont(kept.font);
        run.setGlyphIndexes(kept.glyphs);
        run.setPositions(kept.positions);
        painter.drawGlyphRun(origin, run);
    }
}

} // namespace ui
