#include "charts/barchart.h"

#include "files/savefile.h"

#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QDir>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

BitmapWriteError::BitmapWriteError(const QString &path)
    : SondarykError(
          QStringLiteral("Nie mogę zapisać wykresu do pliku %1!").arg(QDir::toNativeSeparators(path)))
{}

namespace {

// The component's spacing, in pixels.
constexpr qreal leftMargin = 26; // 4 per cent of the chart's width
constexpr qreal topMargin = 6;
constexpr qreal rightMargin = 16;
constexpr qreal gap = 4;
constexpr int labelPixelSize = 11;
constexpr int smallestLabelPixelSize = 7;
// Upward labels longer than this are shortened rather than squeeze the bars out of the chart.
constexpr qreal longestUpwardLabel = 150;
// Horizontal labels too wide for their bar take turns on up to this many lines.
constexpr int mostLabelLines = 4;

QColor seriesColour()
{
    return QColor(0, 64, 128);
}

// Decimals needed to write every multiple of step exactly (0.1 needs one).
int decimalsOf(double step)
{
    int decimals = 0;
    double scaled = step;
    while (decimals < 6 && std::fabs(scaled - std::round(scaled)) > 1e-9 * std::max(1.0, scaled)) {
        scaled *= 10;
        ++decimals;
    }
    return decimals;
}

} // namespace

// The bars' labels, each centred under its own bar: drawn here because the component's category
// axis drops repeated and empty labels and shortens the rest to "..." when bars are narrow.
// Measuring text is the costly part of drawing a chart, so every label is measured once per font.
class CategoryLabelsItem : public QGraphicsItem
{
public:
    explicit CategoryLabelsItem(QGraphicsItem *parent) : QGraphicsItem(parent) {}

    void setLabels(const QStringList &labels, int angle)
    {
        if (labels == m_labels && angle == m_angle)
            return;
        m_labels = labels;
        m_angle = angle;
        m_measuredSize = 0;
    }

    // Chooses font and lines for bars slot pixels wide; returns the height the labels need.
    qreal arrange(qreal slot)
    {
        m_slot = slot;
        m_lines = 1;
        int size = labelPixelSize;
        if (m_angle != 0) {
            // Upward labels stand side by side: their letters, from the tops of capitals to the
            // descenders, must fit the bar's slot with a little room between neighbours.
            while (size > smallestLabelPixelSize && thickness(size) > slot - 1.5)
                --size;
        }
        measure(size);
        if (m_labels.isEmpty())
            return 0;
        if (m_angle != 0)
            return std::min(m_widest, longestUpwardLabel);
        // Horizontal labels wider than their slot take turns on several lines, so that
        // neighbours never overlap.
        m_lines = std::clamp(int(std::ceil((m_widest + gap) / std::max(slot, 1.0))), 1, mostLabelLines);
        return m_lines * m_lineHeight;
    }

    void place(qreal left, qreal top)
    {
        prepareGeometryChange();
        m_rects.clear();
        m_bounds = QRectF();
        const qreal breadth = thickness(m_measuredSize);
        for (int i = 0; i < m_labels.size(); ++i) {
            const qreal centre = left + m_slot * (i + 0.5);
            if (m_angle != 0) {
                m_rects.append(
                    QRectF(centre - breadth / 2, top, breadth, std::min(m_advances[i], longestUpwardLabel)));
            } else {
                m_rects.append(QRectF(centre - m_advances[i] / 2, top + (i % m_lines) * m_lineHeight,
                                      m_advances[i], m_lineHeight));
            }
            m_bounds |= m_rects.last();
        }
    }

    QList<QRectF> labelRects() const { return m_rects; }
    QFont font() const { return m_font; }
    QRectF boundingRect() const override { return m_bounds; }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        painter->setFont(m_font);
        painter->setPen(Qt::black);
        const QFontMetricsF metrics(m_font);
        const qreal baseline = (metrics.capHeight() - metrics.descent()) / 2;
        for (int i = 0; i < m_labels.size() && i < m_rects.size(); ++i) {
            const QRectF &rect = m_rects[i];
            if (m_angle == 0) {
                painter->drawText(QPointF(rect.left(), rect.top() + metrics.ascent()), m_labels[i]);
                continue;
            }
            // Written upwards: the label ends just under its bar, its letters centred on the bar.
            const QString text =
                m_advances[i] > longestUpwardLabel
                    ? metrics.elidedText(m_labels[i], Qt::ElideRight, longestUpwardLabel + 0.5)
                    : m_labels[i];
            painter->save();
            painter->translate(rect.center().x(), rect.top());
            painter->rotate(-90);
            painter->drawText(QPointF(-std::min(m_advances[i], longestUpwardLabel), baseline), text);
            painter->restore();
        }
    }

private:
    // The breadth of a line of upward text: from the tops of capitals to the descenders.
    static qreal thickness(int pixelSize)
    {
        static qreal known[labelPixelSize + 1] = {};
        if (known[pixelSize] == 0) {
            const QFontMetricsF metrics(BarChart::arial(pixelSize));
            known[pixelSize] = metrics.capHeight() + metrics.descent();
        }
        return known[pixelSize];
    }

    void measure(int pixelSize)
    {
        if (m_measuredSize == pixelSize)
            return;
        m_measuredSize = pixelSize;
        m_font = BarChart::arial(pixelSize);
        const QFontMetricsF metrics(m_font);
        m_lineHeight = metrics.height();
        m_advances.clear();
        m_widest = 0;
        for (const QString &label : std::as_const(m_labels)) {
            m_advances.append(metrics.horizontalAdvance(label));
            m_widest = std::max(m_widest, m_advances.last());
        }
    }

    QStringList m_labels;
    int m_angle = 0;
    QFont m_font = BarChart::arial(labelPixelSize);
    int m_measuredSize = 0;
    QList<qreal> m_advances;
    qreal m_widest = 0;
    qreal m_lineHeight = 0;
    int m_lines = 1;
    qreal m_slot = 1;
    QList<QRectF> m_rects;
    QRectF m_bounds;
};

QFont BarChart::arial(int pixelSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

BarChart::BarChart(QGraphicsItem *parent) : QChart(parent)
{
    setAnimationOptions(QChart::NoAnimation);
    legend()->hide();
    setBackgroundBrush(Qt::white);
    setBackgroundPen(Qt::NoPen);
    setBackgroundRoundness(0);
    setDropShadowEnabled(false);
    setPlotAreaBackgroundVisible(false);
    setTitleFont(arial(13));
    setTitleBrush(Qt::black);

    m_set = new QBarSet(QString());
    QLinearGradient gradient(0, 0, 0, 1);
    gradient.setCoordinateMode(QGradient::ObjectMode);
    gradient.setColorAt(0, seriesColour());
    gradient.setColorAt(1, QColor(150, 185, 220));
    m_set->setBrush(gradient);
    m_set->setPen(QPen(seriesColour().darker(150), 1));
    m_series = new QBarSeries;
    m_series->setObjectName(QStringLiteral("Series1"));
    m_series->setBarWidth(0.6);
    m_series->setLabelsVisible(false);
    m_series->append(m_set);
    addSeries(m_series);

    // The bars stand at 0, 1, 2 and so on. A category axis would make a text item per bar to
    // measure on every layout, for labels that are drawn apart anyway.
    m_axisX = new QValueAxis;
    m_axisX->setLabelsVisible(false);
    m_axisX->setGridLineVisible(false);
    m_axisX->setTitleVisible(false);
    m_axisX->setTickCount(2);
    m_axisX->setMinorTickCount(0);
    m_axisX->setLinePen(QPen(Qt::black, 1));
    addAxis(m_axisX, Qt::AlignBottom);
    m_series->attachAxis(m_axisX);

    m_axisY = new QValueAxis;
    m_axisY->setTickType(QValueAxis::TicksDynamic);
    m_axisY->setTickAnchor(0);
    m_axisY->setMinorTickCount(0);
    m_axisY->setLabelsFont(arial(11));
    m_axisY->setLabelsBrush(Qt::black);
    m_axisY->setTitleFont(arial(11));
    m_axisY->setTitleBrush(Qt::black);
    m_axisY->setLinePen(QPen(Qt::black, 1));
    m_axisY->setGridLinePen(QPen(QColor(192, 192, 192), 1, Qt::DotLine));
    addAxis(m_axisY, Qt::AlignLeft);
    m_series->attachAxis(m_axisY);

    m_labelsItem = new CategoryLabelsItem(this);
    m_bottomTitle = new QGraphicsSimpleTextItem(this);
    m_bottomTitle->setFont(arial(11));
    m_footer = new QGraphicsSimpleTextItem(this);
    QFont footerFont = arial(11);
    footerFont.setItalic(true);
    m_footer->setFont(footerFont);
    m_footer->setBrush(QColor(0, 0, 128));

    resize(chartSize);
    clearBars();
    updateValueAxis();
    connect(this, &QChart::plotAreaChanged, this, [this] { placeItems(); });
}

BarChart::~BarChart()
{
    // The scene would delete the chart a second time.
    if (m_ownScene && scene() == m_ownScene.get())
        m_ownScene->removeItem(this);
}

void BarChart::clearBars()
{
    m_values.clear();
    m_secondValues.clear();
    m_labels.clear();
    m_barsChanged = true;
    scheduleLayOut();
}

void BarChart::addBar(float value, const QString &label)
{
    m_values.append(qreal(value));
    m_labels.append(label);
    m_barsChanged = true;
    scheduleLayOut();
}

void BarChart::setSecondValues(const QList<float> &values)
{
    m_secondValues.clear();
    for (const float value : values)
        m_secondValues.append(qreal(value));
    m_barsChanged = true;
    scheduleLayOut();
}

// The component redraws on every change of a bar: the bars are handed over in one go.
void BarChart::updateBars()
{
    if (!m_barsChanged)
        return;
    m_barsChanged = false;
    const qreal top = m_maximum > 0 ? m_maximum : 1;
    QList<qreal> drawn;
    for (const qreal value : std::as_const(m_values)) {
        // Drawn no higher than the plot: a bar above the maximum is cut off at its top.
        drawn.append(m_maximum > 0 ? std::clamp(value, 0.0, top) : (value > 0 ? top : 0.0));
    }
    if (m_set->count() > 0)
        m_set->remove(0, m_set->count());
    m_set->append(drawn);
    if (!m_secondValues.isEmpty() && !m_secondSet) {
        m_secondSet = new QBarSet(QString());
        m_secondSet->setBrush(QColor(240, 150, 40));
        m_secondSet->setPen(QPen(QColor(240, 150, 40).darker(150), 1));
        m_series->append(m_secondSet);
    } else if (m_secondValues.isEmpty() && m_secondSet) {
        m_series->remove(m_secondSet);
        m_secondSet = nullptr;
    }
    if (m_secondSet) {
        QList<qreal> second;
        for (qsizetype i = 0; i < m_values.size(); ++i) {
            const qreal value = m_secondValues.value(i);
            second.append(m_maximum > 0 ? std::clamp(value, 0.0, top) : (value > 0 ? top : 0.0));
        }
        if (m_secondSet->count() > 0)
            m_secondSet->remove(0, m_secondSet->count());
        m_secondSet->append(second);
    }
    // Each bar in the middle of its own slot; without bars the axis keeps one empty slot.
    m_axisX->setRange(-0.5, std::max(qsizetype(1), m_values.size()) - 0.5);
    m_labelsItem->setLabels(m_labels, m_labelAngle);
}

void BarChart::setTitleText(const QString &text)
{
    m_title = text;
    // The component shortens a title too wide for one line to "...": long descriptions of
    // standards go on to further lines instead, broken between words. The text is marked up so
    // that nothing in it is taken for markup.
    const QFontMetricsF metrics(titleFont());
    const qreal width = chartSize.width() - 2 * gap;
    QStringList lines;
    QString rest = text;
    while (metrics.horizontalAdvance(rest) > width && lines.size() < 2) {
        qsizetype cut = rest.lastIndexOf(u' ');
        while (cut > 0 && metrics.horizontalAdvance(rest.left(cut)) > width)
            cut = rest.lastIndexOf(u' ', cut - 1);
        if (cut <= 0)
            break;
        lines.append(rest.left(cut));
        rest = rest.mid(cut + 1);
    }
    lines.append(rest);
    for (QString &line : lines)
        line = line.toHtmlEscaped();
    setTitle(QStringLiteral("<span>%1</span>").arg(lines.join(QStringLiteral("<br>"))));
    scheduleLayOut();
}

void BarChart::setFooter(const QString &text)
{
    m_footer->setText(text);
    scheduleLayOut();
}

QString BarChart::footer() const
{
    return m_footer->text();
}

void BarChart::setBottomTitle(const QString &text)
{
    m_bottomTitle->setText(text);
    scheduleLayOut();
}

QString BarChart::bottomTitle() const
{
    return m_bottomTitle->text();
}

void BarChart::setLeftTitle(const QString &text)
{
    m_axisY->setTitleText(text);
    scheduleLayOut();
}

QString BarChart::leftTitle() const
{
    return m_axisY->titleText();
}

void BarChart::setMaximum(double maximum)
{
    m_maximum = maximum;
    updateValueAxis();
    m_barsChanged = true;
    scheduleLayOut();
}

void BarChart::setIncrement(double increment)
{
    m_increment = increment;
    updateValueAxis();
    scheduleLayOut();
}

void BarChart::setLabelAngle(int degrees)
{
    m_labelAngle = degrees;
    m_labelsItem->setLabels(m_labels, m_labelAngle);
    scheduleLayOut();
}

void BarChart::updateValueAxis()
{
    if (m_maximum <= 0) {
        // Nothing above 0 to label; the plot keeps a height of its own.
        if (m_axisY->max() != 1 || m_axisY->min() != 0)
            m_axisY->setRange(0, 1);
        if (m_axisY->tickInterval() != 2)
            m_axisY->setTickInterval(2);
        if (m_axisY->labelFormat() != QStringLiteral("%.0f"))
            m_axisY->setLabelFormat(QStringLiteral("%.0f"));
        return;
    }
    double step = m_increment > 0 ? m_increment : m_maximum;
    // When its labels, each with the component's padding, stand taller than the plot, the
    // component cuts every one of them down to "...": label fewer values instead.
    const qreal room = plotArea().height() > 0 ? plotArea().height() : qreal(chartSize.height()) / 2;
    const double most = std::max(1.0, std::floor(room / (QFontMetricsF(m_axisY->labelsFont()).height() + 9)));
    static constexpr double multiples[] = {2, 2.5, 2};
    for (int k = 0; m_maximum / step > most && k < 60; ++k)
        step *= multiples[k % 3];
    // Whichever change keeps the ticks few goes first: a large range at a small old interval, or a
    // small interval over a large old range, would first lay out thousands of them.
    const bool rangeChanges = m_axisY->max() != m_maximum || m_axisY->min() != 0;
    if (step >= m_axisY->tickInterval()) {
        if (m_axisY->tickInterval() != step)
            m_axisY->setTickInterval(step);
        if (rangeChanges)
            m_axisY->setRange(0, m_maximum);
    } else {
        if (rangeChanges)
            m_axisY->setRange(0, m_maximum);
        m_axisY->setTickInterval(step);
    }
    const QString format = QStringLiteral("%.%1f").arg(decimalsOf(step));
    if (m_axisY->labelFormat() != format)
        m_axisY->setLabelFormat(format);
}

void BarChart::scheduleLayOut()
{
    if (m_layOutPending)
        return;
    m_layOutPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_layOutPending)
                layOut();
        },
        Qt::QueuedConnection);
}

void BarChart::layOut()
{
    m_layOutPending = false;
    updateBars();
    if (size() != QSizeF(chartSize))
        resize(chartSize);
    const QFontMetricsF titleMetrics(m_bottomTitle->font());
    const QFontMetricsF footerMetrics(m_footer->font());
    // The labels, the bottom axis's title and the footer lie under the plot in the chart's bottom
    // margin, which the component knows nothing of: it is sized from what they need, less the
    // room the bottom axis itself takes (known from the last layout; a second pass corrects it).
    for (int pass = 0; pass < 3; ++pass) {
        const int bars = std::max(1, int(m_labels.size()));
        const qreal plotWidth = plotArea().width() > 0 ? plotArea().width() : size().width() - 80;
        const qreal band = m_labelsItem->arrange(plotWidth / bars);
        const qreal needed = gap + band + gap + titleMetrics.height() + gap + footerMetrics.height() + gap;
        const QMargins wanted(int(leftMargin), int(topMargin), int(rightMargin),
                              std::max(0, int(std::ceil(needed - m_axisRoom))));
        if (margins() != wanted)
            setMargins(wanted);
        QGraphicsLayout *chartLayout = layout();
        chartLayout->activate();
        updateValueAxis();
        chartLayout->activate();
        const qreal measured = size().height() - margins().bottom() - plotArea().bottom();
        const bool settled =
            std::fabs(measured - m_axisRoom) < 0.5 && std::fabs(plotArea().width() - plotWidth) < 0.5;
        m_axisRoom = std::max(0.0, measured);
        if (settled)
            break;
    }
    placeItems();
}

void BarChart::placeItems()
{
    const QRectF plot = plotArea();
    const int bars = std::max(1, int(m_labels.size()));
    m_labelsItem->arrange(plot.width() / bars);
    m_labelsItem->place(plot.left(), plot.bottom() + gap);
    qreal below = plot.bottom() + gap;
    const QRectF labels = m_labelsItem->boundingRect();
    if (!labels.isEmpty())
        below = labels.bottom();
    const QRectF title = m_bottomTitle->boundingRect();
    m_bottomTitle->setPos(std::round(plot.center().x() - title.width() / 2), std::round(below + gap));
    const QRectF footerBounds = m_footer->boundingRect();
    m_footer->setPos(leftMargin, std::round(size().height() - gap - footerBounds.height()));
}

QList<QRectF> BarChart::labelRects() const
{
    return m_labelsItem->labelRects();
}

QFont BarChart::labelFont() const
{
    return m_labelsItem->font();
}

QRectF BarChart::bottomTitleRect() const
{
    return m_bottomTitle->mapRectToParent(m_bottomTitle->boundingRect());
}

QRectF BarChart::footerRect() const
{
    return m_footer->mapRectToParent(m_footer->boundingRect());
}

void BarChart::paintInto(QPainter *painter, const QRectF &target)
{
    // Into a scene first: the layout measures the chart as it will be drawn there.
    if (!scene()) {
        m_ownScene = std::make_unique<QGraphicsScene>();
        m_ownScene->addItem(this);
    }
    layOut();
    scene()->render(painter, target, sceneBoundingRect(), Qt::IgnoreAspectRatio);
}

QImage BarChart::toImage()
{
    QImage image(chartSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    paintInto(&painter, QRectF(QPointF(0, 0), QSizeF(chartSize)));
    painter.end();
    return image;
}

QImage BarChart::reportImage(int width, int height)
{
    QImage image(width * 2, height * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    paintInto(&painter, QRectF(0, 0, width, height));
    painter.end();
    return image;
}

QByteArray BarChart::bitmapBytes()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(toImage()))
        return QByteArray();
    return bytes;
}

void BarChart::saveBitmap(const QString &path, const QString &root)
{
    const QByteArray bytes = bitmapBytes();
    if (bytes.isEmpty() ||
        !(root.isEmpty() ? writeFileAtomically(path, bytes) : writeFileInside(root, path, bytes)))
        throw BitmapWriteError(path);
}

QRectF printedChartRect(const QRectF &page)
{
    const qreal side = page.width() * 0.15;
    qreal width = page.width() - 2 * side;
    qreal height = width * BarChart::chartSize.height() / BarChart::chartSize.width();
    if (height > page.height()) {
        height = page.height();
        width = height * BarChart::chartSize.width() / BarChart::chartSize.height();
    }
    return QRectF(page.left() + (page.width() - width) / 2, page.top() + (page.height() - height) / 2, width,
                  height);
}
