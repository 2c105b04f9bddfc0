// The analysis window: the class's or the school's analysis as one report, with its histogram
// drawn by the charts' own component, ready to print or to save as PDF for the staff meeting.
#pragma once

#include "analysis/analysisreport.h"
#include "analysis/staffmeeting.h"
#include "core/progress.h"
#include "school/schoolfolder.h"

#include <QDialog>
#include <memory>
#include <optional>

class BarChart;
class QPagedPaintDevice;
class QPrinter;
class QSizeF;
class QTextDocument;

namespace Ui {
class TfAnaliza;
}

// What the staff-meeting parts of the analysis draw from besides the report.
struct AnalysisContext {
    QList<ClassResults> classes;       // the classes the report was made of
    QList<ClassResults> schoolClasses; // a class's analysis: every class, to rank its pupils in the school
    ComparisonFigures comparison;
    QString comparisonPath;  // Porownanie.ini in the school folder; "" for none
    QString pupilSheetsPath; // a class's "Karty wyników uczniów.pdf"; "" on the school's analysis
    // The figures already made from these classes and comparison figures: the window then does not
    // make them again. A large school's take a noticeable moment.
    std::optional<StaffMeetingFigures> figures;
};

class TfAnaliza : public QDialog
{
    Q_OBJECT

public:
    // pdfPath: where "Zapisz PDF" writes the report.
    TfAnaliza(const AnalysisReport &report, const TestDefinition &test, const AnalysisSettings &settings,
              const QString &pdfPath, QWidget *parent = nullptr);
    TfAnaliza(const AnalysisReport &report, const TestDefinition &test, const AnalysisSettings &settings,
              const QString &pdfPath, const AnalysisContext &context, QWidget *parent = nullptr);
    ~TfAnaliza() override;

    void bDrukujClick();
    void bZapiszPdfClick();
    void bDanePorownawczeClick();
    void bKartyUczniowClick();
    void bDrukujKartyClick();

    Ui::TfAnaliza *form() const { return ui.get(); }
    const AnalysisReport &report() const { return m_report; }
    QString pdfPath() const { return m_pdfPath; }
    BarChart *histogram() const { return m_histogram.get(); }
    const StaffMeetingFigures &figures() const { return m_figures; }
    const AnalysisContext &context() const { return m_context; }
    QTextDocument *document() const;

    // The report as it prints: a copy of the document with its pictures, laid out in pages of the
    // given size (in the document's pixels): no heading parted from what follows it, no table row
    // from itself, and every table's header row atop each page it reaches.
    std::unique_ptr<QTextDocument> printedDocument(const QSizeF &page) const;
    // Lays the report out on A4 pages in portrait and sends it to the printer (or a PDF writer);
    // false when it would not take it.
    bool printReport(QPagedPaintDevice *printer, const ProgressReport &progress = {});
    // The report as a whole PDF file, or empty when it could not be made.
    QByteArray pdfBytes(const ProgressReport &progress = {});
    // The school folder the PDF must stay in; empty for none.
    void setSchool(const SchoolFolder &school) { m_school = school; }

    // The pupils' sheets, one A4 page each, on the printer (or a PDF writer).
    bool printPupilSheets(QPagedPaintDevice *printer, const ProgressReport &progress = {});
    QByteArray pupilSheetsPdf(const ProgressReport &progress = {});

private:
    void drawHistogram();
    void drawStaffMeetingCharts();
    // The figures (anew, after the comparison figures changed) and the document.
    void refresh(bool newFigures = true);
    // Says the files not written (this one and alsoNotWritten) in one message, or else saved.
    bool writePdf(const QString &path, const QByteArray &bytes, const QString &saved,
                  const QStringList &alsoNotWritten = {});
    // A PDF the school folder did not take, saved where the teacher chooses; true once it is.
    bool savePdfElsewhere(const QString &path, const QByteArray &bytes, const QString &saved);

    std::unique_ptr<Ui::TfAnaliza> ui;
    AnalysisReport m_report;
    TestDefinition m_test;
    AnalysisSettings m_settings;
    AnalysisContext m_context;
    StaffMeetingFigures m_figures;
    QString m_pdfPath;
    SchoolFolder m_school; // where the PDFs and comparison figures are written
    std::unique_ptr<BarChart> m_histogram;
};

extern TfAnaliza *fAnaliza;
