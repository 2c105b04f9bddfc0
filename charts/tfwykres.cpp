#include "charts/tfwykres.h"

#include "charts/barchart.h"
#include "files/schoolpaths.h"
#include "ui/fixedwindow.h"
#include "ui/guarded.h"
#include "ui/messages.h"
#include "ui/printing.h"
#include "ui/seams.h"
#include "ui/shortcuts.h"
#include "ui_tfwykres.h"

#include <QChartView>
#include <QDir>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QProxyStyle>
#include <QScopeGuard>
#include <QTabBar>
#include <QTimer>

TfWykres *fWykres = nullptr;

namespace {

using charts::Chart;

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

} // namespace

TfWykres::TfWykres(const charts::ChartData &data, QWidget *parent)
    : QDialog(parent, fixedWindowFlags), ui(std::make_unique<Ui::TfWykres>()), m_data(data)
{
    ui->setupUi(this);
    setFixedSize(650, 458);
    move(274, 184);

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
    const int tabs = charts::chartCount(m_data.mode);
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

void TfWykres::tabControlChange()
{
    const int index = ui->tabControl->currentIndex();
    if (index >= 0)
        buildChart(index);
}

void TfWykres::buildChart(qint32 tabIndex)
{
    const TestDefinition &test = m_data.test;
    // Told as it is drawn, also when a value ends the drawing half-way.
    struct Describer {
        TfWykres *window;
        ~Describer() { window->describeChart(); }
    } describer{this};
    m_chart->clearBars();
    m_chart->setLabelAngle(0);
    m_chart->setFooter(test.testName + QStringLiteral(": ") + test.testDate);
    const Chart *chart = charts::chartAt(m_data.mode, tabIndex);
    if (!chart)
        return;
    m_chart->setMaximum(charts::axisMaximum(*chart, test));
    m_chart->setIncrement(chart->increment);
    {
        // The bars read before a value that is no number stay drawn.
        QList<charts::Bar> bars;
        const auto addBars = qScopeGuard([&] {
            for (const charts::Bar &bar : std::as_const(bars))
                m_chart->addBar(bar.value, bar.label);
        });
        charts::barsOf(*chart, m_data, &bars);
    }
    m_chart->setTitleText(charts::titleOf(*chart, test));
    if (chart->labelAngle != 0)
        m_chart->setLabelAngle(chart->labelAngle);
    m_chart->setBottomTitle(charts::bottomTitleOf(*chart, m_data));
    m_chart->setLeftTitle(charts::leftAxisTitle.toString());
    try {
        m_chart->saveBitmap(bitmapPath(*chart), m_data.schoolFolder);
    } catch (const BitmapWriteError &) {
        // A folder that cannot be written (read-only, full) still lets the teacher look at every
        // chart and print it; saying so once is enough.
        if (!m_bitmapFailureShown) {
            m_bitmapFailureShown = true;
            const QString text =
                QStringLiteral("Wykres jest pokazany, ale nie został zapisany do pliku %1, bo nie można tam "
                               "pisać (katalog tylko do odczytu, pełny dysk albo dowiązanie poza katalog "
                               "szkoły). Wykresy można dalej oglądać i drukować.")
                    .arg(QDir::toNativeSeparators(bitmapPath(*chart)));
            // The first chart is drawn before the window opens: the window comes first, then the word.
            if (isVisible())
                messages::showFileError(text);
            else
                QTimer::singleShot(0, this, [text] { messages::showFileError(text); });
        }
    }
}

QString TfWykres::bitmapPath(const Chart &chart) const
{
    return m_data.bitmapFolder + u'/' + schoolfiles::chartBitmap(chart.number);
}

void TfWykres::bDrukujWykresClick()
{
    QPrinter *printer = ui::printerOrExplain(
        QStringLiteral("Nie można wydrukować wykresu: w systemie nie ma żadnej drukarki. "
                       "Zainstaluj drukarkę i spróbuj ponownie."));
    if (!printer)
        return;
    const ui::PageLayoutGuard keeper(printer);
    printer->setPageOrientation(QPageLayout::Landscape);
    printer->setDocName(QStringLiteral("Chart1"));
    const bool printed = ui::printPages(printer, 1, [this, printer](QPainter &painter, int) {
        // Painting starts at the printable area's corner, the margins are measured on the paper.
        const QRectF paper = printer->paperRect(QPrinter::DevicePixel);
        const QRectF printable = printer->pageRect(QPrinter::DevicePixel);
        m_chart->paintInto(&painter, printedChartRect(paper).translated(-printable.topLeft()));
    });
    if (!printed)
        throw SondarykError(
            QStringLiteral("Nie udało się wydrukować wykresu: drukarka nie przyjęła wydruku."));
}
