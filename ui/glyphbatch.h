// Text for pages drawn by the thousand: each string is shaped once and afterwards only placed, and
// all the text placed on a page goes to the painter as one glyph run per font. A PDF writer spends
// its time per drawing call, not per letter, so a page of hundreds of table cells stays cheap.
#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>

class QPainter;

namespace ui {

// A string shaped in a font, its glyphs placed as from the left end of its first line's top.
struct ShapedText {
    QList<QGlyphRun> runs;
    qreal width = 0;  // of the widest line
    qreal height = 0; // of all its lines
};

// Texts in one font.
class TextShapes
{
public:
    explicit TextShapes(const QFont &font) : m_font(font), m_raw(QRawFont::fromFont(font)) {}
    const QFont &font() const { return m_font; }
    // The text on one line, shaped once and kept.
    const ShapedText &line(const QString &text);
    // The text broken into lines no wider than width; not kept, as such texts seldom repeat.
    ShapedText wrapped(const QString &text, qreal width) const;

private:
    QFont m_font;
    QRawFont m_raw;
    QHash<QString, ShapedText> m_lines;
};

class GlyphBatch
{
public:
    void add(const ShapedText &text, QPointF topLeft);
    void draw(QPainter &painter, QPointF origin = {}) const;
    void clear() { m_runs.clear(); }

private:
    struct Run {
        QRawFont font;
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };
    QList<Run> m_runs; // one per raw font
};

} // namespace ui
