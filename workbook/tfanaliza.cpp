#include "workbook/tfanaliza.h"
#include "analysis/analysisreport.h"

#include "analysis/histogram.h"
#include "charts/barchart.h"
#include "documents/analysisdocument.h"
#include "documents/pupilsheets.h"
#include "school/recentschools.h"
#include "school/sharedfolder.h"
#include "ui/growingwindow.h"
#include "ui/guarded.h"
#include "ui/messages.h"
#include "ui/printing.h"
#include "ui/progresswindow.h"
#include "ui/seams.h"
#include "ui_tfanaliza.h"
#include "workbook/pupilsheetpages.h"
#include "workbook/tfporownanie.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>

#include <algorithm>
#include <utility>

TfAnaliza *fAnaliza = nullptr;

namespace {

QImage chartImage(BarChart &chart)
{
    return chart.reportImage(histogramWidth, histogramHeight);
}

} // namespace

TfAnaliza::TfAnaliza(const AnalysisReport &report, const TestDefinition &test,
                     const AnalysisSettings &settings, const QString &pdfPath, QWidget *parent)
    : TfAnaliza(report, test, settings, pdfPath, AnalysisContext{}, parent)
{}

TfAnaliza::TfAnaliza(const AnalysisReport &report, const TestDefinition &test,
                     const AnalysisSettings &settings, const QString &pdfPath, const AnalysisContext &context,
                     QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfAnaliza>()), m_report(report), m_test(test),
      m_settings(settings), m_context(context), m_pdfPath(pdfPath)
{
    ui->setupUi(this);
    setWindowTitle(analysisTitle(report));
    // No button's caption is cut: each is as wide as its text needs, the window as wide as the row.
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setMinimumWidth(std::max(button->minimumWidth(), button->sizeHint().width()));
    setMinimumWidth(std::max(minimumWidth(), layout()->minimumSize().width()));
    resize(std::max(width(), minimumWidth()), height());
    keepWindowSize(this, recentschools::settingsFile());
    offerHelp(this, ui->bPomoc, QStringLiteral("analiza"));

    QTextDocument *doc = ui->teRaport->document();
    // Point sizes, not pixels: the printed copy is laid out at the printer's resolution.
    QFont font = this->font();
    font.setPointSizeF(9);
    doc->setDefaultFont(font);
    doc->setDefaultStyleSheet(QStringLiteral("h1 { font-size: 15pt; } "
                                             "h2 { font-size: 12pt; margin-top: 14px; margin-bottom: 6px; } "
                                             "h3 { font-size: 10pt; margin-top: 10px; margin-bottom: 4px; } "
                                             "th { background-color: #e4e4e4; }"));
    drawHistogram();
    const bool made = m_context.figures.has_value();
    if (made)
        m_figures = *std::exchange(m_context.figures, std::nullopt);
    refresh(!made);

    connect(ui->bDrukuj, &QPushButton::clicked, this, [this] { guarded([this] { bDrukujClick(); }); });
    connect(ui->bZapiszPdf, &QPushButton::clicked, this, [this] { guarded([this] { bZapiszPdfClick(); }); });
    connect(ui->bDanePorownawcze, &QPushButton::clicked, this,
            [this] { guarded([this] { bDanePorownawczeClick(); }); });
    connect(ui->bKartyUczniow, &QPushButton::clicked, this,
            [this] { guarded([this] { bKartyUczniowClick(); }); });
    connect(ui->bDrukujKarty, &QPushButton::clicked, this,
            [this] { guarded([this] { bDrukujKartyClick(); }); });
    // The pupils' sheets belong to a class; comparison figures need a school folder to keep them.
    ui->bKartyUczniow->setVisible(!report.school);
    ui->bDrukujKarty->setVisible(!report.school);
    ui->bDanePorownawcze->setEnabled(!context.comparisonPath.isEmpty());
    connect(ui->bZamknij, &QPushButton::clicked, this, &QDialog::accept);
    ui->teRaport->setFocus();
}

TfAnaliza::~TfAnaliza()
{
    if (fAnaliza == this)
        fAnaliza = nullptr;
}

QTextDocument *TfAnaliza::document() const
{
    return ui->teRaport->document();
}

void TfAnaliza::drawHistogram()
{
    m_histogram = std::make_unique<BarChart>();
    BarChart *chart = m_histogram.get();
    const HistogramBars bars = histogramBars(m_report.overall.histogram);
    const QList<int> &counts = bars.counts;
    const int step = histogramLabelStep(int(counts.size()));
    int largest = 0;
    for (qsizetype bar = 0; bar < counts.size(); ++bar) {
        largest = std::max(largest, counts[bar]);
        chart->addBar(float(counts[bar]), bar % step == 0 ? QString::number(bar * bars.width) : QString());
    }
    const HistogramAxis axis = histogramAxis(largest);
    chart->setTitleText(histogramTitle(m_report));
    chart->setFooter(m_test.testName + QStringLiteral(": ") + m_test.testDate);
    chart->setLeftTitle(QStringLiteral("Liczba uczniów"));
    chart->setBottomTitle(
        bars.width == 1 ? QStringLiteral("Suma punktów")
                        : QStringLiteral("Suma punktów (przedziały po %1 pkt, podpisany początek przedziału)")
                              .arg(bars.width));
    chart->setIncrement(axis.increment);
    chart->setMaximum(axis.maximum);
    chart->setLabelAngle(counts.size() > 21 ? 90 : 0);

    document()->addResource(QTextDocument::ImageResource, QUrl(QLatin1StringView(histogramImageName)),
                            chartImage(*chart));
}

namespace {

QList<QUrl> reportPictures()
{
    QList<QUrl> pictures;
    for (const char *name :
         {histogramImageName, comparisonStandardsImageName, comparisonTasksImageName, stanineImageName})
        pictures.append(QUrl(QLatin1StringView(name)));
    return pictures;
}

} // namespace

std::unique_ptr<QTextDocument> TfAnaliza::printedDocument(const QSizeF &page) const
{
    return ui::pagedCopy(*document(), reportPictures(), page);
}

bool TfAnaliza::printReport(QPagedPaintDevice *printer, const ProgressReport &progress)
{
    // At the window's width, so that the histogram fits across the paper.
    return ui::printDocument(printer, *document(), reportPictures(), histogramWidth + 40, windowTitle(),
                             progress);
}

void TfAnaliza::bDrukujClick()
{
    QPrinter *printer = ui::printerOrExplain(
        QStringLiteral("Nie można wydrukować analizy: w systemie nie ma żadnej drukarki. "
                       "Zainstaluj drukarkę albo zapisz analizę jako PDF."));
    if (!printer)
        return;
    ui::ProgressWindow progress(this, QStringLiteral("Drukowanie analizy…"),
                                QStringLiteral("Przerwano drukowanie analizy. Nic nie zostało wydrukowane."));
    if (!printReport(printer, progress.report()))
        throw SondarykError(
            QStringLiteral("Nie udało się wydrukować analizy: drukarka nie przyjęła wydruku."));
}

QByteArray TfAnaliza::pdfBytes(const ProgressReport &progress)
{
    return ui::pdfOf([&](QPagedPaintDevice *device) { return printReport(device, progress); });
}

bool TfAnaliza::writePdf(const QString &path, const QByteArray &bytes, const QString &saved,
                         const QStringList &alsoNotWritten)
{
    const WriteStatus result = bytes.isEmpty() ? WriteStatus::Failed : m_school.write(path, bytes);
    QStringList notWritten = alsoNotWritten;
    if (result == WriteStatus::OutsideSchool) {
        messages::showFileError(
            QStringLiteral("Nie mogę zapisać pliku:\n%1\nPlik albo jego katalog jest "
                           "dowiązaniem symbolicznym, które prowadzi poza katalog szkoły. Dla "
                           "bezpieczeństwa program niczego nie zapisał.")
                .arg(path));
    } else if (result != WriteStatus::Ok) {
        notWritten.prepend(QDir(m_school.root()).relativeFilePath(path));
    }
    if (!notWritten.isEmpty()) {
        QString text = messages::cannotWriteMessage(notWritten);
        if (result == WriteStatus::Failed && !bytes.isEmpty())
            text += QStringLiteral("\n\n") + writeFailureCause(path);
        messages::showFileError(text);
    }
    // The document is made: the teacher may keep it elsewhere (a pen drive, another folder).
    if (result != WriteStatus::Ok && !bytes.isEmpty())
        return savePdfElsewhere(path, bytes, saved);
    if (!notWritten.isEmpty())
        return false;
    messages::showMessage(saved + path);
    return true;
}

bool TfAnaliza::savePdfElsewhere(const QString &path, const QByteArray &bytes, const QString &saved)
{
    for (;;) {
        if (messages::askChoice(
                QStringLiteral("Zapisać plik „%1” w innym miejscu?").arg(QFileInfo(path).fileName()),
                QStringLiteral("Zapisz jako…"), QString()) != QMessageBox::Yes)
            return false;
        const QString chosen = ui::saveFileChooser(this, QStringLiteral("Zapisz jako"),
                                                   QDir::homePath() + u'/' + QFileInfo(path).fileName(),
                                                   QStringLiteral("Pliki PDF (*.pdf)"));
        if (chosen.isEmpty())
            return false;
        if (SchoolFolder().write(chosen, bytes) == WriteStatus::Ok) {
            messages::showMessage(saved + QDir::toNativeSeparators(chosen));
            return true;
        }
        messages::showFileError(messages::cannotWriteMessage({}) + QStringLiteral("\n\n") +
                                writeFailureCause(chosen));
    }
}

void TfAnaliza::bZapiszPdfClick()
{
    ui::ProgressWindow progress(this, QStringLiteral("Zapisywanie analizy w pliku PDF…"),
                                QStringLiteral("Przerwano zapisywanie analizy. Nic nie zostało zapisane."));
    const QByteArray pdf = pdfBytes(progressPart(progress.report(), 0, 600));
    // The spreadsheet files' "Analiza" sheets get the figures the PDF shows.
    progress.setLabel(QStringLiteral("Zapisywanie arkuszy „Analiza” w plikach XLSX…"));
    const QStringList sheetsNotWritten =
        m_school.refreshAnalysisSheets(m_test, progressPart(progress.report(), 600, 1000));
    writePdf(m_pdfPath, pdf, QStringLiteral("Analiza została zapisana w pliku:\n"), sheetsNotWritten);
}

void TfAnaliza::refresh(bool newFigures)
{
    if (newFigures)
        m_figures = staffMeetingFigures(m_report.overall, m_context.classes, m_test,
                                        m_settings.pupilStanineBounds, m_context.comparison,
                                        m_settings.comparisonThreshold, m_context.schoolClasses);
    drawStaffMeetingCharts();
    const int scroll = ui->teRaport->verticalScrollBar()->value();
    ui->teRaport->setHtml(analysisHtml(m_report, m_test, m_settings, &m_figures));
    ui->teRaport->verticalScrollBar()->setValue(scroll);
}

namespace {

// The own facilities as dark bars, the country's beside them as light ones.
QImage comparisonChart(const QList<ComparisonLine> &lines, const QString &title, const QString &bottom,
                       const TestDefinition &test, int angle)
{
    BarChart chart;
    QList<float> country;
    for (const ComparisonLine &line : lines) {
        chart.addBar(float(line.own.value_or(0)), line.label);
        country.append(float(line.areas[std::size_t(Area::Kraj)].value_or(0)));
    }
    chart.setSecondValues(country);
    chart.setTitleText(title);
    chart.setFooter(test.testName + QStringLiteral(": ") + test.testDate);
    chart.setLeftTitle(QStringLiteral("Łatwość"));
    chart.setBottomTitle(bottom);
    chart.setMaximum(1);
    chart.setIncrement(0.1);
    chart.setLabelAngle(angle);
    return chartImage(chart);
}

} // namespace

void TfAnaliza::drawStaffMeetingCharts()
{
    const QString own = m_report.school ? QStringLiteral("szkoła") : QStringLiteral("klasa");
    const ComparisonTable &table = m_figures.comparison;
    document()->addResource(
        QTextDocument::ImageResource, QUrl(QLatin1StringView(comparisonStandardsImageName)),
        comparisonChart(table.standards + QList<ComparisonLine>{table.wholeTest},
                        QStringLiteral("Łatwość standardów: %1 (granatowe) i kraj (pomarańczowe)").arg(own),
                        QStringLiteral("Standard"), m_test, 0));
    document()->addResource(
        QTextDocument::ImageResource, QUrl(QLatin1StringView(comparisonTasksImageName)),
        comparisonChart(table.tasks,
                        QStringLiteral("Łatwość zadań: %1 (granatowe) i kraj (pomarańczowe)").arg(own),
                        QStringLiteral("Zadanie"), m_test, 90));
    BarChart stanines;
    int largest = 0;
    for (int k = 0; k < 9; ++k) {
        const int count = m_figures.norms.spread.counts[std::size_t(k)];
        largest = std::max(largest, count);
        stanines.addBar(float(count), QString::number(k + 1));
    }
    const HistogramAxis axis = histogramAxis(largest);
    stanines.setTitleText(QStringLiteral("Staniny uczniów – ") +
                          (m_report.school ? QStringLiteral("szkoła") : m_report.overall.label));
    stanines.setFooter(m_test.testName + QStringLiteral(": ") + m_test.testDate);
    stanines.setLeftTitle(QStringLiteral("Liczba uczniów"));
    stanines.setBottomTitle(QStringLiteral("Stanin"));
    stanines.setMaximum(axis.maximum);
    stanines.setIncrement(axis.increment);
    stanines.setLabelAngle(0);
    document()->addResource(QTextDocument::ImageResource, QUrl(QLatin1StringView(stanineImageName)),
                            chartImage(stanines));
}

void TfAnaliza::bDanePorownawczeClick()
{
    delete fPorownanie;
    fPorownanie = nullptr;
    fPorownanie = new TfPorownanie(m_context.comparison, m_test, m_context.comparisonPath, m_school, this);
    if (fPorownanie->exec() != QDialog::Accepted)
        return;
    m_context.comparison = fPorownanie->figures();
    refresh();
}

bool TfAnaliza::printPupilSheets(QPagedPaintDevice *printer, const ProgressReport &progress)
{
    if (m_report.school || m_context.classes.isEmpty())
        return false;
    PupilSheetPages pages(
        pupilSheets(m_context.classes.first(), m_report.overall, m_figures, m_context.comparison, m_test),
        document()->defaultFont(), histogramWidth + 40);
    const ui::PageLayoutGuard keeper(printer);
    ui::prepareA4(printer, QStringLiteral("Karty wyników uczniów – ") + m_report.overall.label);
    const QRectF area(QPointF(0, 0), ui::printableArea(printer).size());
    return ui::printPages(printer, pages.count(), [&](QPainter &painter, int i) {
        reportProgress(progress, i, pages.count());
        pages.draw(painter, i, area);
    });
}

QByteArray TfAnaliza::pupilSheetsPdf(const ProgressReport &progress)
{
    return ui::pdfOf([&](QPagedPaintDevice *device) { return printPupilSheets(device, progress); });
}

void TfAnaliza::bKartyUczniowClick()
{
    if (m_figures.norms.pupils.isEmpty()) {
        messages::showMessage(QStringLiteral("Nie ma kart do zapisania: żaden uczeń klasy nie był obecny."));
        return;
    }
    ui::ProgressWindow progress(this, QStringLiteral("Tworzenie kart wyników uczniów…"),
                                QStringLiteral("Przerwano tworzenie kart wyników uczniów. Nic nie zostało "
                                               "zapisane."));
    const QByteArray pdf = pupilSheetsPdf(progress.report());
    progress.update(1, 1);
    writePdf(m_context.pupilSheetsPath, pdf,
             QStringLiteral("Karty wyników uczniów zostały zapisane w pliku:\n"));
}

void TfAnaliza::bDrukujKartyClick()
{
    if (m_figures.norms.pupils.isEmpty()) {
        messages::showMessage(
            QStringLiteral("Nie ma kart do wydrukowania: żaden uczeń klasy nie był obecny."));
        return;
    }
    QPrinter *printer =
        ui::printerOrExplain(QStringLiteral("Nie można wydrukować kart: w systemie nie ma żadnej drukarki. "
                                            "Zainstaluj drukarkę albo zapisz karty jako PDF."));
    if (!printer)
        return;
    ui::ProgressWindow progress(this, QStringLiteral("Drukowanie kart wyników uczniów…"),
                                QStringLiteral("Przerwano drukowanie kart wyników uczniów. Nic nie zostało "
                                               "wydrukowane."));
    if (!printPupilSheets(printer, progress.report()))
        throw SondarykError(QStringLiteral("Nie udało się wydrukować kart: drukarka nie przyjęła wydruku."));
}
