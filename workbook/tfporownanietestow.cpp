#include "workbook/tfporownanietestow.h"
#include "ui_tfporownanietestow.h"

#include "charts/barchart.h"
#include "core/errors.h"
#include "documents/analysisdocument.h"
#include "documents/testcomparisondocument.h"
#include "files/spreadsheet.h"
#include "school/recentschools.h"
#include "school/schoolacrosstests.h"
#include "school/sharedfolder.h"
#include "ui/growingwindow.h"
#include "ui/guarded.h"
#include "ui/messages.h"
#include "ui/printing.h"
#include "ui/progresswindow.h"
#include "ui/seams.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPrinter>
#include <QTextDocument>

// The pupils across the tests for the window's own table: thousands of rows in a large school,
// each cell made when it is shown.
class TfPorownanieTestow::PupilsModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void show(const TestsComparison *comparison)
    {
        beginResetModel();
        m_comparison = comparison;
        m_headings = pupilHeadings(comparison->tests);
        endResetModel();
    }
    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() || !m_comparison ? 0 : int(m_comparison->pupils.size());
    }
    int columnCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(m_headings.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!m_comparison || !index.isValid() || index.row() >= m_comparison->pupils.size())
            return {};
        if (role == Qt::TextAlignmentRole)
            return index.column() >= 2 ? int(Qt::AlignRight | Qt::AlignVCenter)
                                       : int(Qt::AlignLeft | Qt::AlignVCenter);
        if (role != Qt::DisplayRole)
            return {};
        return pupilCells(m_comparison->pupils[index.row()], m_comparison->tests.size())
            .value(index.column());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        // The test's name above what its column holds, so that the heading stays narrow.
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return QString(m_headings.value(section)).replace(QStringLiteral(": "), QStringLiteral(":\n"));
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    const TestsComparison *m_comparison = nullptr;
    QStringList m_headings;
};

namespace {

constexpr int chartWidth = histogramWidth;
constexpr int chartHeight = 300;

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

TfPorownanieTestow::TfPorownanieTestow(QWidget *parent) : QDialog(parent), ui(new Ui::TfPorownanieTestow)
{
    ui->setupUi(this);
    auto *window = new Growth(this);
    for (QWidget *wider : std::initializer_list<QWidget *>{ui->stOstrzezenie, ui->lbSzkoly, ui->stPominiete,
                                                           ui->stKlasy, ui->tabelaKlasy})
        window->follow(wider, grows::wider);
    for (QWidget *right :
         std::initializer_list<QWidget *>{ui->bDodaj, ui->cbOstatnie, ui->bDodajOstatnia, ui->bUsun})
        window->follow(right, grows::right);
    window->follow(ui->tcWidok, grows::wider | grows::taller);
    window->follow(ui->bPomoc, grows::down);
    for (QWidget *corner : std::initializer_list<QWidget *>{ui->bZapisz, ui->bDrukuj, ui->bZamknij})
        window->follow(corner, grows::right | grows::down);
    auto *page = new Growth(ui->tcWidok);
    page->follow(ui->teRaport, grows::wider | grows::taller);
    page->follow(ui->tabelaUczniowie, grows::wider | grows::taller);
    letWindowGrow(this, recentschools::settingsFile());
    offerHelp(this, ui->bPomoc, QStringLiteral("porownanie-testow"));
    ui->stOstrzezenie->setText(comparisonCaveat());
    ui->tabelaKlasy->verticalHeader()->hide();
    m_pupils = new PupilsModel(this);
    ui->tabelaUczniowie->setModel(m_pupils);
    ui->tabelaUczniowie->verticalHeader()->hide();
    ui->tabelaUczniowie->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    for (const QString &folder : recentschools::load(recentschools::settingsFile()))
        ui->cbOstatnie->addItem(native(folder), folder);
    ui->cbOstatnie->setToolTip(QStringLiteral("Szkoły ostatnio otwierane w zeszycie wyników"));

    connectGuarded(ui->bDodaj, &QPushButton::clicked, this, &TfPorownanieTestow::bDodajClick);
    connectGuarded(ui->bDodajOstatnia, &QPushButton::clicked, this, &TfPorownanieTestow::bDodajOstatniaClick);
    connectGuarded(ui->bUsun, &QPushButton::clicked, this, &TfPorownanieTestow::bUsunClick);
    connectGuarded(ui->bZapisz, &QPushButton::clicked, this, &TfPorownanieTestow::bZapiszClick);
    connectGuarded(ui->bDrukuj, &QPushButton::clicked, this, &TfPorownanieTestow::bDrukujClick);
    connect(ui->bZamknij, &QPushButton::clicked, this, &QDialog::reject);
    // A drag within the list is the teacher's own order of the tests.
    connect(ui->lbSzkoly->model(), &QAbstractItemModel::rowsMoved, this,
            [this] { guarded([this] { schoolsReordered(); }); });
    connect(ui->lbSzkoly, &QListWidget::itemSelectionChanged, this,
            [this] { ui->bUsun->setEnabled(!ui->lbSzkoly->selectedItems().isEmpty()); });
    showSchools();
}

TfPorownanieTestow::~TfPorownanieTestow() = default;

QTextDocument *TfPorownanieTestow::document() const
{
    return ui->teRaport->document();
}

bool TfPorownanieTestow::addSchool(const QString &folder)
{
    return addSchools({folder}) == 1;
}

int TfPorownanieTestow::addSchools(const QStringList &chosen)
{
    // Read into a copy: a reading stopped halfway leaves the comparison as it was.
    QList<SchoolAtTest> tests = m_tests;
    QStringList leftOut;
    int added = 0;
    {
        ui::ProgressWindow progress(this, QStringLiteral("Wczytywanie wyników szkół…"),
                                    QStringLiteral("Przerwano wczytywanie wyników szkół. Porównanie zostało "
                                                   "takie, jak było."));
        const int count = int(chosen.size());
        for (int i = 0; i < count; ++i) {
            const QString folder = QDir::cleanPath(QFileInfo(chosen[i]).absoluteFilePath());
            const bool already = std::any_of(tests.cbegin(), tests.cend(),
                                             [&](const SchoolAtTest &test) { return test.folder == folder; });
            if (already) {
                leftOut.append(QStringLiteral("Katalog „%1” jest już w porównaniu.").arg(native(folder)));
                continue;
            }
            QString why;
            const std::optional<SchoolAtTest> read = readSchoolAtTest(
                folder, &why, progressPart(progress.report(), 1000 * i / count, 1000 * (i + 1) / count));
            if (!read) {
                leftOut.append(why + QStringLiteral(" Szkoła nie weszła do porównania."));
                continue;
            }
            // After every test of the same or an earlier date, so that an order the teacher made stays.
            qsizetype at = tests.size();
            while (at > 0 && tests[at - 1].testDate > read->testDate)
                --at;
            tests.insert(at, *read);
            ++added;
        }
    }
    m_tests = tests;
    m_leftOut = leftOut;
    if (added > 0)
        m_match = matchClassesByLabel(m_tests);
    showSchools();
    return added;
}

void TfPorownanieTestow::bDodajClick()
{
    const QString start = m_tests.isEmpty() ? QString() : QFileInfo(m_tests.last().folder).absolutePath();
    const QString chosen = ui::folderChooser(this, QStringLiteral("Wybierz katalog szkoły:"), start);
    if (!chosen.isEmpty())
        addSchool(chosen);
}

void TfPorownanieTestow::bDodajOstatniaClick()
{
    const QString folder = ui->cbOstatnie->currentData().toString();
    if (!folder.isEmpty())
        addSchool(folder);
}

void TfPorownanieTestow::bUsunClick()
{
    const int row = ui->lbSzkoly->currentRow();
    if (row < 0 || row >= m_tests.size())
        return;
    m_tests.removeAt(row);
    m_match = matchClassesByLabel(m_tests);
    m_leftOut.clear();
    showSchools();
}

void TfPorownanieTestow::schoolsReordered()
{
    if (m_showing)
        return;
    QList<SchoolAtTest> ordered;
    QList<qsizetype> from;
    for (int i = 0; i < ui->lbSzkoly->count(); ++i) {
        const QString folder = ui->lbSzkoly->item(i)->data(Qt::UserRole).toString();
        for (qsizetype t = 0; t < m_tests.size(); ++t) {
            if (m_tests[t].folder == folder) {
                ordered.append(m_tests[t]);
                from.append(t);
                break;
            }
        }
    }
    if (ordered.size() != m_tests.size())
        return;
    // The classes the teacher matched move with their tests.
    for (QStringList &row : m_match) {
        QStringList moved;
        for (const qsizetype t : std::as_const(from))
            moved.append(row.value(t));
        row = moved;
    }
    m_tests = ordered;
    showSchools();
}

void TfPorownanieTestow::showSchools()
{
    m_showing = true;
    ui->lbSzkoly->clear();
    for (const SchoolAtTest &test : std::as_const(m_tests)) {
        auto *item = new QListWidgetItem(testHeading(test) + QStringLiteral(" – ") + native(test.folder));
        item->setData(Qt::UserRole, test.folder);
        item->setToolTip(native(test.folder));
        ui->lbSzkoly->addItem(item);
    }

    QTableWidget *table = ui->tabelaKlasy;
    table->clear();
    table->setColumnCount(int(m_tests.size()));
    table->setRowCount(int(m_match.size()));
    QStringList headings;
    for (const SchoolAtTest &test : std::as_const(m_tests))
        headings.append(testHeading(test));
    table->setHorizontalHeaderLabels(headings);
    for (int r = 0; r < m_match.size(); ++r) {
        for (int t = 0; t < m_tests.size(); ++t) {
            auto *choice = new QComboBox(table);
            choice->addItem(QStringLiteral("–"), QString());
            for (const GroupAtTest &group : std::as_const(m_tests[t].classes))
                choice->addItem(group.label, group.label);
            choice->setCurrentIndex(std::max(0, choice->findData(m_match[r].value(t))));
            choice->setAccessibleName(QStringLiteral("Wiersz %1, %2").arg(r + 1).arg(headings[t]));
            connect(choice, &QComboBox::currentIndexChanged, this,
                    [this] { guarded([this] { classMatchChanged(); }); });
            table->setCellWidget(r, t, choice);
        }
    }
    table->resizeColumnsToContents();
    for (int t = 0; t < table->columnCount(); ++t)
        table->setColumnWidth(t, std::max(table->columnWidth(t), 160));
    m_showing = false;
    refresh();
}

void TfPorownanieTestow::classMatchChanged()
{
    if (m_showing)
        return;
    for (int r = 0; r < m_match.size(); ++r) {
        for (int t = 0; t < m_tests.size(); ++t) {
            if (const auto *choice = qobject_cast<QComboBox *>(ui->tabelaKlasy->cellWidget(r, t)))
                m_match[r][t] = choice->currentData().toString();
        }
    }
    refresh();
}

void TfPorownanieTestow::refresh()
{
    m_comparison = compareTests(m_tests, m_match);
    m_pupils->show(&m_comparison);
    // Every heading whole: the columns are as wide as their widest heading line.
    QTableView *pupils = ui->tabelaUczniowie;
    const QFontMetrics metrics(pupils->horizontalHeader()->font());
    for (int c = 0; c < m_pupils->columnCount({}); ++c) {
        int width = 60;
        for (const QString &line :
             m_pupils->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().split(u'\n'))
            width = std::max(width, metrics.horizontalAdvance(line) + 16);
        pupils->setColumnWidth(c, width);
    }
    drawCharts();
    ui->teRaport->setHtml(m_tests.isEmpty()
                              ? QStringLiteral("<p>Dodaj co najmniej dwie szkoły (ten sam zespół uczniów w "
                                               "kolejnych testach albo kolejne roczniki): przycisk „Dodaj "
                                               "szkołę…” albo szkoła z listy ostatnio otwieranych.</p>")
                              : testComparisonHtml(m_comparison, false));
    ui->stPominiete->setText(m_leftOut.join(u'\n'));
    ui->bZapisz->setEnabled(!m_tests.isEmpty());
    ui->bDrukuj->setEnabled(!m_tests.isEmpty());
    ui->bUsun->setEnabled(!ui->lbSzkoly->selectedItems().isEmpty());
    ui->bDodajOstatnia->setEnabled(ui->cbOstatnie->count() > 0);
}

QList<QUrl> TfPorownanieTestow::chartImages() const
{
    // Only the charts with something to draw, as the report shows only those.
    QList<QUrl> images;
    if (testComparisonHasStanines(m_tests))
        images.append(QUrl(QLatin1StringView(testComparisonStaninesImage)));
    if (testComparisonHasCountry(m_tests))
        images.append(QUrl(QLatin1StringView(testComparisonCountryImage)));
    return images;
}

void TfPorownanieTestow::drawCharts()
{
    const QList<QUrl> images = chartImages();
    BarChart stanines;
    BarChart country;
    QList<float> countryValues;
    for (const SchoolAtTest &test : std::as_const(m_tests)) {
        stanines.addBar(float(test.school.stanine.value_or(0)), test.testDate);
        country.addBar(float(test.school.facility.value_or(0)), test.testDate);
        countryValues.append(float(test.school.countryFacility.value_or(0)));
    }
    stanines.setTitleText(QStringLiteral("Stanin średniej szkoły w kolejnych testach"));
    stanines.setLeftTitle(QStringLiteral("Stanin"));
    stanines.setBottomTitle(QStringLiteral("Data testu (brak słupka: test bez tabeli staninów)"));
    stanines.setMaximum(9);
    stanines.setIncrement(1);
    stanines.setLabelAngle(0);
    const QUrl staninesImage{QLatin1StringView(testComparisonStaninesImage)};
    if (images.contains(staninesImage))
        document()->addResource(QTextDocument::ImageResource, staninesImage,
                                stanines.reportImage(chartWidth, chartHeight));

    country.setSecondValues(countryValues);
    country.setTitleText(QStringLiteral("Łatwość testu: szkoła (granatowe) i kraj (pomarańczowe)"));
    country.setLeftTitle(QStringLiteral("Łatwość"));
    country.setBottomTitle(QStringLiteral("Data testu"));
    country.setMaximum(1);
    country.setIncrement(0.1);
    country.setLabelAngle(0);
    const QUrl countryImage{QLatin1StringView(testComparisonCountryImage)};
    if (images.contains(countryImage))
        document()->addResource(QTextDocument::ImageResource, countryImage,
                                country.reportImage(chartWidth, chartHeight));
}

QByteArray TfPorownanieTestow::spreadsheetBytes(QString *error) const
{
    return xlsxBytes(testComparisonSheets(m_comparison), error).value_or(QByteArray());
}

bool TfPorownanieTestow::printComparison(QPagedPaintDevice *printer, const ProgressReport &progress)
{
    // On paper the pupils' table is part of the pages.
    QTextDocument paper;
    paper.setDefaultFont(document()->defaultFont());
    paper.setHtml(testComparisonHtml(m_comparison, true));
    const QList<QUrl> pictures = chartImages();
    for (const QUrl &url : pictures)
        paper.addResource(QTextDocument::ImageResource, url,
                          document()->resource(QTextDocument::ImageResource, url));
    return ui::printDocument(printer, paper, pictures, chartWidth + 40, windowTitle(), progress);
}

QByteArray TfPorownanieTestow::pdfBytes(const ProgressReport &progress)
{
    return ui::pdfOf([&](QPagedPaintDevice *device) { return printComparison(device, progress); });
}

void TfPorownanieTestow::bZapiszClick()
{
    if (m_tests.isEmpty())
        return;
    const QString start = QFileInfo(m_tests.last().folder).absolutePath();
    const QString folder =
        ui::folderChooser(this, QStringLiteral("Wybierz katalog, w którym zapisać porównanie:"), start);
    if (folder.isEmpty())
        return;
    QString error;
    QByteArray xlsx;
    QByteArray pdf;
    {
        // Both files are made before either is written: Anuluj leaves the folder as it was.
        ui::ProgressWindow progress(this, QStringLiteral("Zapisywanie porównania testów…"),
                                    QStringLiteral("Przerwano zapisywanie porównania testów. Nic nie zostało "
                                                   "zapisane."));
        progress.update(0, 1000);
        xlsx = spreadsheetBytes(&error);
        progress.update(300, 1000);
        pdf = pdfBytes(progressPart(progress.report(), 300, 1000));
    }
    writeComparisonFiles(folder, xlsx, pdf);
}

void TfPorownanieTestow::writeComparisonFiles(QString folder, const QByteArray &xlsx, const QByteArray &pdf)
{
    for (;;) {
        const QStringList notWritten = writeTestComparison(folder, xlsx, pdf);
        if (notWritten.isEmpty()) {
            messages::showMessage(QStringLiteral("Porównanie testów zostało zapisane w plikach:\n%1\n%2")
                                      .arg(native(testComparisonSpreadsheetPath(folder)),
                                           native(testComparisonPdfPath(folder))));
            return;
        }
        messages::showFileError(QStringLiteral("Nie mogę zapisać pliku! Nie zapisano: %1.\n\n%2")
                                    .arg(notWritten.join(QStringLiteral(", ")),
                                         writeFailureCause(QDir(folder).filePath(notWritten.first()))));
        // Made once, the files may go to another folder (a pen drive, the teacher's own).
        if (xlsx.isEmpty() || pdf.isEmpty() ||
            messages::askChoice(QStringLiteral("Zapisać porównanie w innym katalogu?"),
                                QStringLiteral("Zapisz jako…"), QString()) != QMessageBox::Yes)
            return;
        folder = ui::folderChooser(this, QStringLiteral("Wybierz katalog, w którym zapisać porównanie:"),
                                   QDir::homePath());
        if (folder.isEmpty())
            return;
    }
}

void TfPorownanieTestow::bDrukujClick()
{
    QPrinter *printer = ui::printerOrExplain(
        QStringLiteral("Nie można wydrukować porównania: w systemie nie ma żadnej drukarki. "
                       "Zainstaluj drukarkę albo zapisz porównanie (PDF)."));
    if (!printer)
        return;
    ui::ProgressWindow progress(this, QStringLiteral("Drukowanie porównania testów…"),
                                QStringLiteral("Przerwano drukowanie porównania testów. Nic nie zostało "
                                               "wydrukowane."));
    if (!printComparison(printer, progress.report()))
        throw SondarykError(
            QStringLiteral("Nie udało się wydrukować porównania: drukarka nie przyjęła wydruku."));
}
