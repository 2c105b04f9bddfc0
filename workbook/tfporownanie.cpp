#include "workbook/tfporownanie.h"

#include "analysis/testdefinition.h"
#include "core/cells.h"
#include "school/recentschools.h"
#include "ui/growingwindow.h"
#include "ui/guarded.h"
#include "ui/messages.h"
#include "ui/stringgrid.h"
#include "ui_tfporownanie.h"

#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>

TfPorownanie *fPorownanie = nullptr;

namespace {

// Row r of the grid (from 1): tasks, then the counted standards, then the whole test.
AreaFigures *figuresOfRow(ComparisonFigures &figures, int r)
{
    const int index = r - 1;
    if (index < figures.tasks.size())
        return &figures.tasks[index];
    if (index - figures.tasks.size() < figures.standards.size())
        return &figures.standards[index - figures.tasks.size()];
    return &figures.wholeTest;
}

} // namespace

TfPorownanie::TfPorownanie(const ComparisonFigures &figures, const TestDefinition &test, const QString &path,
                           const SchoolFolder &school, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfPorownanie>()), m_test(test), m_path(path), m_school(school)
{
    ui->setupUi(this);
    // The explanation above the grid is read whole: the grid starts under its last line.
    const int textHeight = ui->stOpis->heightForWidth(ui->stOpis->width());
    if (textHeight > ui->stOpis->height()) {
        const int more = textHeight - ui->stOpis->height();
        ui->stOpis->resize(ui->stOpis->width(), textHeight);
        ui->tabelaPorownanie->setGeometry(ui->tabelaPorownanie->geometry().adjusted(0, more, 0, 0));
    }
    auto *growth = new Growth(this);
    growth->follow(ui->stOpis, grows::wider);
    growth->follow(ui->tabelaPorownanie, grows::wider | grows::taller);
    growth->follow(ui->bPomoc, grows::down);
    growth->follow(ui->bZapisz, grows::right | grows::down);
    growth->follow(ui->bAnuluj, grows::right | grows::down);
    letWindowGrow(this, recentschools::settingsFile());
    offerHelp(this, ui->bPomoc, QStringLiteral("porownanie"));
    StringGrid *table = grid();
    const int rows = test.taskCount + test.countedStandardCount() + 1;
    table->setFixedRows(1);
    table->setFixedCols(1);
    table->setColCount(1 + areaCount);
    table->setRowCount(rows + 1);
    table->setDefaultRowHeight(16);
    table->setColWidth(0, 140);
    for (int a = 0; a < areaCount; ++a) {
        table->setCell(a + 1, 0, areaName(allAreas[std::size_t(a)]));
        table->setColWidth(a + 1,
                           std::max(70, table->fontMetrics().horizontalAdvance(table->cell(a + 1, 0)) + 12));
    }
    table->setCell(0, 0, QStringLiteral("Zadanie / standard"));
    ComparisonFigures shown = figures;
    // A file of another test may hold fewer rows: the missing ones are empty.
    shown.tasks.resize(test.taskCount);
    shown.standards.resize(test.countedStandardCount());
    for (int r = 1; r <= rows; ++r) {
        const int index = r - 1;
        table->setCell(0, r,
                       index < test.taskCount ? test.taskLabels.value(index)
                       : index < test.taskCount + test.countedStandardCount()
                           ? test.standardDescriptions.value(index - test.taskCount)
                           : QStringLiteral("Cały test"));
        // A long description is never cut: its column is as wide as it, and the tooltip says it too.
        table->item(r, 0)->setToolTip(table->cell(0, r));
        table->setColWidth(
            0, std::max(table->colWidth(0), table->fontMetrics().horizontalAdvance(table->cell(0, r)) + 12));
        const AreaFigures &area = *figuresOfRow(shown, r);
        for (int a = 0; a < areaCount; ++a)
            table->setCell(a + 1, r, area[std::size_t(a)] ? facilityText(*area[std::size_t(a)]) : QString());
    }
    table->setEditingEnabled(true);
    m_accepted.clear();
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->colCount(); ++c)
            cells.append(table->cell(c, r));
        m_accepted.append(cells);
    }
    table->setAccessibleName(QStringLiteral("Dane porównawcze"));
    showAllColumns();
    connect(table, &StringGrid::editFinished, this, [this] { guarded([this] { checkEdits(); }); });
    connect(table, &StringGrid::blockLeftOut, this, [](int rowsLeft, int columnsLeft) {
        messages::showMessage(leftOutMessage(rowsLeft, columnsLeft));
    });
    connect(ui->bZapisz, &QPushButton::clicked, this, [this] { guarded([this] { bZapiszClick(); }); });
    connect(ui->bAnuluj, &QPushButton::clicked, this, &QDialog::reject);
    table->setFocus();
    table->setCurrentCell(1, 1);
}

TfPorownanie::~TfPorownanie()
{
    disconnect(ui->tabelaPorownanie, nullptr, this, nullptr);
    if (fPorownanie == this)
        fPorownanie = nullptr;
}

void TfPorownanie::showAllColumns()
{
    // The window opens wide enough for every area's column, as far as the screen allows.
    StringGrid *table = grid();
    int columns = table->frameWidth() * 2 + table->verticalScrollBar()->sizeHint().width() + 2;
    for (int c = 0; c < table->colCount(); ++c)
        columns += table->colWidth(c);
    int wanted = width() + std::max(0, columns - table->width());
    if (const QScreen *screen = this->screen())
        wanted = std::min(wanted, screen->availableSize().width() - 40);
    if (wanted > width())
        resize(wanted, height());
}

StringGrid *TfPorownanie::grid() const
{
    return ui->tabelaPorownanie;
}

void TfPorownanie::checkEdits()
{
    StringGrid *table = grid();
    QStringList refused;
    for (int r = 1; r < table->rowCount(); ++r) {
        for (int c = 1; c < table->colCount(); ++c) {
            const QString text = table->cell(c, r);
            if (text == m_accepted[r][c])
                continue;
            QString error;
            const std::optional<double> value = parseFacilityText(text, &error);
            if (!error.isEmpty()) {
                refused.append(QStringLiteral("%1, %2: %3").arg(table->cell(0, r), table->cell(c, 0), error));
                table->setCell(c, r, m_accepted[r][c]);
                continue;
            }
            const QString shown = value ? facilityText(*value) : QString();
            table->setCell(c, r, shown);
            m_accepted[r][c] = shown;
        }
    }
    if (!refused.isEmpty())
        messages::showMessage(
            QStringLiteral("Nie przyjęto wartości, które nie są łatwością (liczbą od 0 do 1):\n") +
            problemsMessage(refused));
}

ComparisonFigures TfPorownanie::figures() const
{
    ComparisonFigures result = ComparisonFigures::emptyFor(m_test);
    for (int r = 1; r < grid()->rowCount(); ++r) {
        AreaFigures &area = *figuresOfRow(result, r);
        for (int a = 0; a < areaCount; ++a) {
            QString error;
            area[std::size_t(a)] = parseFacilityText(grid()->cell(a + 1, r), &error);
        }
    }
    return result;
}

void TfPorownanie::bZapiszClick()
{
    grid()->commitOpenEditor();
    checkEdits();
    if (m_school.write(m_path, comparisonFileBytes(figures(), m_test)) != WriteStatus::Ok) {
        messages::showFileError(QStringLiteral("Nie mogę zapisać pliku!"));
        return;
    }
    // The spreadsheet files carry the comparison in their "Analiza" sheets; the figures are kept
    // even when one of them cannot be written.
    const QStringList notWritten = m_school.refreshAnalysisSheets(m_test);
    if (!notWritten.isEmpty())
        messages::showFileError(messages::cannotWriteMessage(notWritten));
    accept();
}
