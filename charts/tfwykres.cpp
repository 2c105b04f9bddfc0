#include "tfwykres.h"

#include "barchart.h"
#include "fixedwindow.h"
#include "guarded.h"
#include "messages.h"
#include "stringgrid.h"
#include "tfwyniki.h"
#include "ui_tfwykres.h"

#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProxyStyle>
#include <QTabBar>

TfWykres *fWykres = nullptr;

TfWykres::PrinterSource TfWykres::printerSource = [] { return TfWykres::systemPrinter(); };

namespace {

using charts::Bars;
using charts::Chart;
using charts::Maximum;
using charts::Mode;
using charts::Rows;

// A standard the test does not have gets a chart without bars and without a description.
bool testHasStandard(const Chart &chart, const TestDefinition &test)
{
    return chart.standard == 0 || chart.standard <= test.standardCount;
}

double axisMaximum(const Chart &chart, const TestDefinition &test)
{
    switch (chart.maximum) {
    case Maximum::TotalPoints:
        return test.maxTotalPoints;
    case Maximum::StandardPoints:
        return testHasStandard(chart, test) ? test.standardMaxPoints.value(chart.standard - 1) : 0;
    case Maximum::LargestTaskPoints:
        return charts::largestValue(test.taskMaxPoints, test.taskCount);
    case Maximum::One:
        return 1;
    }
    return 0;
}

QString titleOf(const Chart &chart, const TestDefinition &test)
{
    QString title = chart.title.toString();
    if (chart.standard > 0 && testHasStandard(chart, test))
        title += test.standardDescriptions.value(chart.standard - 1);
    return title;
}

// The rows of the school page that hold the classes' and the school's values.
int classRow(const Chart &chart, int classIndex)
{
    return 2 * classIndex + (chart.rows == Rows::Average ? 1 : 2);
}

int schoolRow(const Chart &chart, const StringGrid *grid)
{
    return grid->rowCount() - (chart.rows == Rows::Average ? 2 : 1);
}

// Fourteen tabs side by side in the window's width, as on the tab control the window was designed
// with: the tabs' padding of the program's style would push the last ones out of sight.
class NarrowTabsStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return 14;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// Keeps the system's printer alive as long as the application, and no longer.
class PrinterHolder : public QObject
{
public:
    using QObject::QObject;
    std::unique_ptr<QPrinter> printer;
};

} // namespace

TfWykres::TfWykres(QWidget *parent) : QDialog(parent, fixedWindowFlags), ui(std::make_unique<Ui::TfWykres>())
{
    ui->setupUi(this);
    setFixedSize(650, 458);
    move(274, 184);
    if (!fWyniki || fWyniki->currentPage < 1 || fWyniki->currentPage >= fWyniki->pageCount())
        throw SondarykError(
            QStringLiteral("Wykresy można oglądać tylko na stronie klasy lub na stronie „Szkoła”."));

    m_chart = new BarChart;
    m_view = new QChartView(m_chart, ui->tabControl);
    m_view->setObjectName(QStringLiteral("Chart1"));
    m_view->setGeometry(2, 32, BarChart::chartSize.width(), BarChart::chartSize.height());
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setRubberBand(QChartView::NoRubberBand);
    m_view->setInteractive(false);
    // A picture, not a control: the keyboard goes from the tabs to the print button and back.
    m_view->setFocusPolicy(Qt::NoFocus);
    m_view->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    auto *tabsStyle = new NarrowTabsStyle;
    tabsStyle->setParent(ui->tabControl->tabBar());
    ui->tabControl->tabBar()->setStyle(tabsStyle);
    ui->tabControl->setUsesScrollButtons(false);

    // The design's tabs are placeholders; the mode decides how many there are.
    while (ui->tabControl->count() > 0) {
        QWidget *page = ui->tabControl->widget(0);
        ui->tabControl->removeTab(0);
        delete page;
    }
    const int tabs = charts::chartCount(currentMode());
    for (int i = 0; i < tabs; ++i) {
        const QString caption = QStringLiteral("W-%1").arg(i + 1);
        ui->tabControl->addTab(new QWidget, caption);
        ui->tabControl->tabBar()->setAccessibleTabName(i, caption);
    }
    ui->tabControl->setCurrentIndex(0);
    m_view->raise();
    nameSelectedTab();
    addPageShortcuts(this, ui->tabControl);

    connect(ui->tabControl, &QTabWidget::currentChanged, this, [this] {
        nameSelectedTab();
        guarded([this] { tabControlChange(); });
    });
    connect(ui->bDrukujWykres, &QPushButton::clicked, this,
            [this] { guarded([this] { bDrukujWykresClick(); }); });

    buildChart(0);
}

TfWykres::~TfWykres()
{
    if (fWykres == this)
        fWykres = nullptr;
}

void TfWykres::nameSelectedTab()
{
    // The tab bar takes the focus; it is named after the tab it shows.
    const QString caption = ui->tabControl->tabText(ui->tabControl->currentIndex());
    ui->tabControl->setAccessibleName(caption);
    ui->tabControl->tabBar()->setAccessibleName(caption);
}

void TfWykres::describeChart()
{
    // A screen reader reads the chart by its title and its bars as text.
    m_view->setAccessibleName(m_chart->titleText());
    QStringList bars;
    const QList<qreal> values = m_chart->values();
    const QStringList labels = m_chart->labels();
    const QLocale locale;
    for (qsizetype i = 0; i < values.size(); ++i)
        bars.append(labels.value(i) + QStringLiteral(": ") + locale.toString(values[i]));
    m_view->setAccessibleDescription(bars.join(QStringLiteral("; ")));
}

Mode TfWykres::currentMode()
{
    return fWyniki && fWyniki->pageCount() == fWyniki->currentPage + 1 ? Mode::School : Mode::Class;
}

void TfWykres::tabControlChange()
{
    const int index = ui->tabControl->currentIndex();
    if (index >= 0)
        buildChart(index);
}

void TfWykres::buildChart(qint32 tabIndex)
{
    if (!fWyniki)
        return;
    const TestDefinition &test = fWyniki->test;
    // Told as it is drawn, also when a value ends the drawing half-way.
    struct Describer {
        TfWykres *window;
        ~Describer() { window->describeChart(); }
    } describer{this};
    m_chart->clearBars();
    m_chart->setLabelAngle(0);
    m_chart->setFooter(test.testName + QStringLiteral(": ") + test.testDate);
    const Mode mode = currentMode();
    const Chart *chart = charts::chartAt(mode, tabIndex);
    if (!chart)
        return;
    m_chart->setMaximum(axisMaximum(*chart, test));
    m_chart->setIncrement(chart->increment);
    addBars(*chart, mode);
    m_chart->setTitleText(titleOf(*chart, test));
    if (chart->labelAngle != 0)
        m_chart->setLabelAngle(chart->labelAngle);
    QString bottomTitle = chart->bottomTitle.toString();
    if (bottomTitle.contains(u"%1"))
        bottomTitle = bottomTitle.arg(fWyniki->classLabels.value(fWyniki->currentPage - 1));
    m_chart->setBottomTitle(bottomTitle);
    m_chart->setLeftTitle(charts::leftAxisTitle.toString());
    try {
        m_chart->saveBitmap(bitmapPath(*chart, mode), fWyniki->schoolDirectory);
    } catch (const BitmapWriteError &) {
        // A folder that cannot be written (read-only, full) still lets the teacher look at every
        // chart and print it; saying so once is enough.
        if (!m_bitmapFailureShown) {
            m_bitmapFailureShown = true;
            messages::showFileError(
                QStringLiteral("Wykres jest pokazany, ale nie został zapisany do pliku %1, bo nie można tam "
                               "pisać (katalog tylko do odczytu, pełny dysk albo dowiązanie poza katalog "
                               "szkoły). Wykresy można dalej oglądać i drukować.")
                    .arg(QDir::toNativeSeparators(bitmapPath(*chart, mode))));
        }
    }
}

void TfWykres::addBars(const Chart &chart, Mode mode)
{
    const TestDefinition &test = fWyniki->test;
    if (!testHasStandard(chart, test))
        return;
    switch (chart.bars) {
    case Bars::Pupils: {
        const StringGrid *summary = fWyniki->tabela2();
        const qint32 pupils = mode == Mode::Class ? fWyniki->pupilCounts.value(fWyniki->currentPage - 1) : 0;
        for (int p = 1; p <= pupils; ++p)
            m_chart->addBar(charts::barValue(summary->cell(chart.column, p)), QString::number(p));
        break;
    }
    case Bars::SchoolTasks: {
        const StringGrid *scores = fWyniki->tabela1();
        const int row = schoolRow(chart, scores);
        for (int t = 1; t <= test.taskCount; ++t)
            m_chart->addBar(charts::barValue(scores->cell(chart.column + t - 1, row)),
                            test.taskLabels.value(t - 1));
        break;
    }
    case Bars::ClassesAndSchool: {
        const StringGrid *summary = fWyniki->tabela2();
        for (int i = 0; i < fWyniki->classCount; ++i)
            m_chart->addBar(charts::barValue(summary->cell(chart.column, classRow(chart, i))),
                            fWyniki->classLabels.value(i));
        // The school's bar is converted as it stands: a school row without a number ends the drawing.
        m_chart->addBar(charts::textToFloat(summary->cell(chart.column, schoolRow(chart, summary))),
                        charts::schoolBarLabel.toString());
        break;
    }
    }
}

QString TfWykres::bitmapPath(const Chart &chart, Mode mode) const
{
    const QString directory = mode == Mode::School ? fWyniki->schoolSubdirectory()
                                                   : fWyniki->classDirectory(fWyniki->currentPage - 1);
    return directory + QStringLiteral("/wykr_%1.bmp").arg(chart.number);
}

QPrinter *TfWykres::systemPrinter()
{
    static PrinterHolder *holder = nullptr;
    if (!holder) {
        holder = new PrinterHolder(QCoreApplication::instance());
        QObject::connect(holder, &QObject::destroyed, [] { holder = nullptr; });
    }
    if (!holder->printer) {
        QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull())
            info = QPrinterInfo::availablePrinters().value(0);
        if (info.isNull())
            return nullptr;
        holder->printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    return holder->printer.get();
}

namespace {

// Puts the printer back into the orientation it had, however printing ends.
class OrientationKeeper
{
public:
    explicit OrientationKeeper(QPrinter *printer)
        : m_printer(printer), m_orientation(printer->pageLayout().orientation())
    {}
    ~OrientationKeeper() { m_printer->setPageOrientation(m_orientation); }
    OrientationKeeper(const OrientationKeeper &) = delete;
    OrientationKeeper &operator=(const OrientationKeeper &) = delete;

private:
    QPrinter *m_printer;
    QPageLayout::Orientation m_orientation;
};

} // namespace

void TfWykres::bDrukujWykresClick()
{
    QPrinter *printer = printerSource ? printerSource() : nullptr;
    if (!printer) {
        messages::showMessage(
            QStringLiteral("Nie można wydrukować wykresu: w systemie nie ma żadnej drukarki. "
                           "Zainstaluj drukarkę i spróbuj ponownie."));
        return;
    }
    const OrientationKeeper keeper(printer);
    printer->setPageOrientation(QPageLayout::Landscape);
    printer->setDocName(QStringLiteral("Chart1"));
    QPainter painter;
    if (!painter.begin(printer))
        throw SondarykError(
            QStringLiteral("Nie udało się wydrukować wykresu: drukarka nie przyjęła wydruku."));
    try {
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        // Painting starts at the printable area's corner, the margins are measured on the paper.
        const QRectF paper = printer->paperRect(QPrinter::DevicePixel);
        const QRectF printable = printer->pageRect(QPrinter::DevicePixel);
        m_chart->paintInto(&painter, printedChartRect(paper).translated(-printable.topLeft()));
    } catch (...) {
        printer->abort();
        throw;
    }
    if (!painter.end())
        throw SondarykError(
            QStringLiteral("Nie udało się wydrukować wykresu: drukarka nie przyjęła wydruku."));
}
