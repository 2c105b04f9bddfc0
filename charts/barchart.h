// The chart component of the chart window: one series of gradient bars, each with its own label,
// a value axis from 0, a title above and a footer below, drawn the same on the screen, into a
// bitmap and on paper.
#pragma once

#include "core/errors.h"

#include <QChart>
#include <QList>
#include <QSize>
#include <QStringList>

#include <memory>

class QBarSeries;
class QBarSet;
class QGraphicsScene;
class QGraphicsSimpleTextItem;
class QImage;
class QPainter;
class QValueAxis;

class CategoryLabelsItem;

// A bitmap file that could not be written.
class BitmapWriteError : public SondarykError
{
public:
    explicit BitmapWriteError(const QString &path);
};

class BarChart : public QChart
{
    Q_OBJECT

public:
    // The chart's size on the screen, in its bitmaps and its proportions on paper.
    static constexpr QSize chartSize{643, 385};

    explicit BarChart(QGraphicsItem *parent = nullptr);
    ~BarChart() override;

    // Bars: one value and one label each, in the order of adding.
    void clearBars();
    void addBar(float value, const QString &label);
    QList<qreal> values() const { return m_values; }
    // A second bar beside each, in another colour, for a comparison (the school and the country);
    // empty for none. Cleared with the bars.
    void setSecondValues(const QList<float> &values);
    QList<qreal> secondValues() const { return m_secondValues; }
    QStringList labels() const { return m_labels; }

    // The title above the chart, broken into lines where it is wider than the chart.
    void setTitleText(const QString &text);
    QString titleText() const { return m_title; }
    void setFooter(const QString &text);
    QString footer() const;
    void setBottomTitle(const QString &text);
    QString bottomTitle() const;
    void setLeftTitle(const QString &text);
    QString leftTitle() const;

    // The left axis runs from 0 to the maximum with labels every increment. A bar above the
    // maximum is cut off at the top of the plot; a maximum of 0 or less shows only "0".
    void setMaximum(double maximum);
    double maximum() const { return m_maximum; }
    void setIncrement(double increment);
    double increment() const { return m_increment; }

    // 0: labels written horizontally; 90: written upwards.
    void setLabelAngle(int degrees);
    int labelAngle() const { return m_labelAngle; }

    // Brings the layout up to date at once, as a paint would: plot area, axes and labels.
    void layOut();

    // The chart at its size on white.
    QImage toImage();
    // toImage() as a Windows bitmap file.
    QByteArray bitmapBytes();
    // Writes the bitmap, replacing the file whole or not at all, and within the school folder root
    // when one is given; throws BitmapWriteError.
    void saveBitmap(const QString &path, const QString &root = QString());
    // Draws the chart stretched over target, which should have the chart's proportions.
    void paintInto(QPainter *painter, const QRectF &target);
    // The chart drawn at width × height on white with twice the pixels, so that it stays sharp on
    // paper and on dense screens: the picture of a report.
    QImage reportImage(int width, int height);

    // What a look at the picture would tell; for tests.
    QValueAxis *valueAxis() const { return m_axisY; }
    // Each label's rectangle in chart coordinates, in bar order, and the label's font.
    QList<QRectF> labelRects() const;
    QFont labelFont() const;
    QRectF bottomTitleRect() const;
    QRectF footerRect() const;

    // Arial, or Liberation Sans (metric-compatible) where Arial is missing.
    static QFont arial(int pixelSize);

private:
    void scheduleLayOut();
    void updateBars();
    void updateValueAxis();
    void placeItems();

    QBarSeries *m_series = nullptr;
    QBarSet *m_set = nullptr;
    QBarSet *m_secondSet = nullptr;
    QValueAxis *m_axisX = nullptr;
    QValueAxis *m_axisY = nullptr;
    CategoryLabelsItem *m_labelsItem = nullptr;
    QGraphicsSimpleTextItem *m_bottomTitle = nullptr;
    QGraphicsSimpleTextItem *m_footer = nullptr;
    // A scene of its own while no view shows the chart, so that it can still be drawn.
    std::unique_ptr<QGraphicsScene> m_ownScene;

    QString m_title;
    QList<qreal> m_values;
    QList<qreal> m_secondValues;
    QStringList m_labels;
    double m_maximum = 40;
    double m_increment = 1;
    int m_labelAngle = 90; // as designed; every drawing sets its own
    bool m_layOutPending = false;
    bool m_barsChanged = false;
    // Height the bottom axis takes under the plot, as the last layout found it.
    qreal m_axisRoom = 8;
};

// Where the chart goes on a page: 15 per cent of the page's width free at each side, the chart's
// proportions kept, centred from top to bottom (and narrower when the page is too low for it).
QRectF printedChartRect(const QRectF &page);
