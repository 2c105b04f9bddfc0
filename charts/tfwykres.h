// The chart window: the class's or the school's results from the open workbook as bar charts,
// one per tab, each saved as a bitmap when drawn; the chart in view can be printed.
#pragma once

#include "chartcatalogue.h"

#include <QDialog>
#include <functional>
#include <memory>

class BarChart;
class QChartView;
class QPrinter;

namespace Ui {
class TfWykres;
}

class TfWykres : public QDialog
{
    Q_OBJECT

public:
    // Draws the first chart; a failure there is thrown on, and the window is not made.
    explicit TfWykres(QWidget *parent = nullptr);
    ~TfWykres() override;

    // Draws the chart of the tab with this index (from 0) and saves it as its bitmap.
    void buildChart(qint32 tabIndex);
    void tabControlChange();
    void bDrukujWykresClick();

    // The workbook shows its last page, the school's.
    static charts::Mode currentMode();

    // The printer charts are printed on; nullptr when the system has none. Tests replace it.
    using PrinterSource = std::function<QPrinter *()>;
    static PrinterSource printerSource;
    // The system's default printer, made once and kept, so that it keeps its settings.
    static QPrinter *systemPrinter();

    Ui::TfWykres *form() const { return ui.get(); }
    BarChart *chart() const { return m_chart; }
    QChartView *chartView() const { return m_view; }

private:
    void addBars(const charts::Chart &chart, charts::Mode mode);
    void nameSelectedTab();
    void describeChart();
    QString bitmapPath(const charts::Chart &chart, charts::Mode mode) const;

    std::unique_ptr<Ui::TfWykres> ui;
    BarChart *m_chart = nullptr;
    QChartView *m_view = nullptr;
    bool m_bitmapFailureShown = false;
};

extern TfWykres *fWykres;
