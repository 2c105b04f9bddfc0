// The chart window: the class's or the school's results as bar charts, one per tab, each saved as
// a bitmap when drawn; the chart in view can be printed. It draws from what it is handed only.
#pragma once

#include "charts/chartcatalogue.h"

#include <QDialog>
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
    explicit TfWykres(const charts::ChartData &data, QWidget *parent = nullptr);
    ~TfWykres() override;

    // Draws the chart of the tab with this index (from 0) and saves it as its bitmap.
    void buildChart(qint32 tabIndex);
    void tabControlChange();
    void bDrukujWykresClick();

    const charts::ChartData &data() const { return m_data; }

    Ui::TfWykres *form() const { return ui.get(); }
    BarChart *chart() const { return m_chart; }
    QChartView *chartView() const { return m_view; }

private:
    void nameSelectedTab();
    void describeChart();
    QString bitmapPath(const charts::Chart &chart) const;

    std::unique_ptr<Ui::TfWykres> ui;
    charts::ChartData m_data;
    BarChart *m_chart = nullptr;
    QChartView *m_view = nullptr;
    bool m_bitmapFailureShown = false;
};

extern TfWykres *fWykres;
