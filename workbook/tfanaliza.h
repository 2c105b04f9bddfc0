// The analysis window: the class's or the school's analysis as one report, with its histogram
// drawn by the charts' own component, ready to print or to save as PDF for the staff meeting.
#pragma once

#include "analysis.h"

#include <QDialog>
#include <memory>

class BarChart;
class QPagedPaintDevice;
class QPrinter;
class QTextDocument;

namespace Ui {
class TfAnaliza;
}

class TfAnaliza : public QDialog
{
    Q_OBJECT

public:
    // pdfPath: where "Zapisz PDF" writes the report.
    TfAnaliza(const AnalysisReport &report, const TestDefinition &test, const AnalysisSettings &settings,
              const QString &pdfPath, QWidget *parent = nullptr);
    ~TfAnaliza() override;

    void bDrukujClick();
    void bZapiszPdfClick();

    Ui::TfAnaliza *form() const { return ui.get(); }
    const AnalysisReport &report() const { return m_report; }
    QString pdfPath() const { return m_pdfPath; }
    BarChart *histogram() const { return m_histogram.get(); }
    QTextDocument *document() const;

    // Lays the report out on A4 pages in portrait and sends it to the printer (or a PDF writer);
    // false when it would not take it.
    bool printReport(QPagedPaintDevice *printer);
    // The report as a whole PDF file, or empty when it could not be made.
    QByteArray pdfBytes();
    // The school folder the PDF must stay in; empty for none.
    void setSchoolRoot(const QString &root) { m_schoolRoot = root; }

private:
    void drawHistogram();

    std::unique_ptr<Ui::TfAnaliza> ui;
    AnalysisReport m_report;
    TestDefinition m_test;
    QString m_pdfPath;
    QString m_schoolRoot;
    std::unique_ptr<BarChart> m_histogram;
};

extern TfAnaliza *fAnaliza;
