// Moving between pages, the grids' layouts, and the school summary built from the classes' files.
#include "workbook/tfwyniki.h"

#include "analysis/schoolstatistics.h"
#include "core/numbers.h"
#include "ui/messages.h"
#include "ui/stringgrid.h"
#include "ui_tfwyniki.h"

void TfWyniki::goToPage(int index)
{
    currentPage = index;
    m_changingPage = true;
    ui->pcWyniki->setCurrentIndex(index);
    m_changingPage = false;
}

void TfWyniki::bDalejClick()
{
    if (currentPage + 1 >= pageCount() || !confirmLeavingPage())
        return;
    goToPage(currentPage + 1);
    if (isClassPage(currentPage))
        buildClassPage(currentPage);
    else
        buildSchoolPage();
    showSummary(true);
    updatePageControls();
}

void TfWyniki::bWsteczClick()
{
    if (currentPage <= 0 || !confirmLeavingPage())
        return;
    goToPage(currentPage - 1);
    if (currentPage == 0) {
        buildSetupPage();
        showSummary(false);
    } else {
        buildClassPage(currentPage);
        showSummary(true);
    }
    updatePageControls();
}

void TfWyniki::pcWynikiChange()
{
    const int target = ui->pcWyniki->currentIndex();
    if (!confirmLeavingPage()) {
        goToPage(currentPage); // the teacher stays with the grid as it is
        return;
    }
    currentPage = target;
    if (currentPage == 0) {
        buildSetupPage();
        showSummary(false);
    } else if (isSchoolPage(currentPage)) {
        buildSchoolPage();
        showSummary(true);
    } else {
        buildClassPage(currentPage);
        showSummary(true);
    }
    updatePageControls();
}

void TfWyniki::buildClassPage(int page)
{
    const int classIndex = page - 1;
    const int pupils = pupilCounts.value(classIndex);
    resetGrid(tabela1(), test.taskCount + 3, pupils + 1, 640);
    resetGrid(tabela2(), 9, pupils + 1, 505);
    layoutGridHeaders(1);
    m_blocked.clear();
    readGridFile(tabela1(), paths().classFile(classIndex, schoolfiles::answers));
    markScoresSaved();
}

void TfWyniki::buildSetupPage()
{
    m_blocked.clear();
    tabela1()->setColWidth(1, 65);
    tabela1()->setColWidth(2, 80);
    readSchoolFile();
    setStatic1(QStringLiteral("Liczba klas - liczba uczniów w danej klasie"));
}

void TfWyniki::buildSchoolPage()
{
    // The labels captured at acceptance say which classes exist, whatever Szkola.ini says now.
    const int classes = int(classLabels.size());
    const int rows = 2 * classes + 3;
    resetGrid(tabela1(), test.taskCount + 3, rows, 640);
    resetGrid(tabela2(), 9, rows, 505);
    layoutGridHeaders(2);
    for (StringGrid *grid : {tabela1(), tabela2()}) {
        for (int i = 0; i < classes; ++i) {
            grid->setCell(1, 2 * i + 1, classLabels[i] + QStringLiteral(" - Śr."));
            grid->setCell(1, 2 * i + 2, classLabels[i] + QStringLiteral(" - Ła."));
        }
        grid->setCell(1, rows - 2, QStringLiteral("Szkoła - Śr."));
        grid->setCell(1, rows - 1, QStringLiteral("Szkoła - Ła."));
    }
    const SchoolPaths files = paths();
    m_blocked.clear();
    QStringList misfits;
    for (int i = 0; i < classes; ++i) {
        for (const auto &[grid, name] : {std::pair{tabela1(), schoolfiles::taskStatistics},
                                         std::pair{tabela2(), schoolfiles::standardStatistics}}) {
            const QString path = files.classFile(i, name);
            if (const std::optional<FileMisfit> misfit =
                    school().gridMisfit(path, 2, grid->colCount() - 3, 0))
                misfits.append(misfitMessage(*misfit, test));
            else
                readStatisticsAt(grid, 3, 2 * i + 1, path);
        }
    }
    // The school's figures would be made without those classes and written over its files.
    if (!misfits.isEmpty()) {
        blockPage(misfits);
        return;
    }
    const WriteFailures failures(this);
    writeSchoolStatistics(test.taskCount, classes, tabela1(), files.schoolFile(schoolfiles::taskStatistics));
    // Five standards and the whole test, as in every class's file.
    writeSchoolStatistics(6, classes, tabela2(), files.schoolFile(schoolfiles::standardStatistics));
}

void TfWyniki::writeSchoolStatistics(qint32 valueCount, qint32 classes, StringGrid *grid, const QString &path)
{
    const int lastRow = grid->rowCount() - 1;
    QList<ClassColumnValues> columns;
    for (int c = 3; c < grid->colCount(); ++c) {
        ClassColumnValues column;
        for (int i = 0; i < classes; ++i) {
            column.hasStatistics.append(!isEmptyCell(grid->cell(3, 2 * i + 1)));
            column.averages.append(grid->cell(c, 2 * i + 1));
            column.facilities.append(grid->cell(c, 2 * i + 2));
        }
        columns.append(column);
    }
    const QList<SchoolValue> means = schoolMeans(columns);
    for (int j = 0; j < means.size(); ++j) {
        const int c = j + 3;
        grid->setCell(c, lastRow - 1, means[j].known ? formatSchoolValue(means[j].average) : QString());
        grid->setCell(c, lastRow, means[j].known ? formatSchoolValue(means[j].facility) : QString());
    }
    if (const std::optional<QByteArray> bytes = schoolStatisticsFile(means, valueCount))
        written(school().write(path, *bytes), path);
}

void TfWyniki::updatePageControls()
{
    if (currentPage == 0) {
        setStatic1(QStringLiteral("Liczba klas - liczba uczniów w danej klasie"));
        ui->bWstecz->setEnabled(false);
        ui->bDalej->setEnabled(true);
        ui->bOblicz->setEnabled(false);
        ui->bWykresy->setEnabled(false);
        ui->sbAnaliza->setEnabled(false);
        ui->sbImportuj->setEnabled(false);
        ui->sbOtworzSzkole->setEnabled(true);
        tabela1()->setEditingEnabled(false);
    } else if (currentPage == pageCount() - 1) {
        setStatic1(QStringLiteral("Podsumowanie"));
        ui->bWstecz->setEnabled(true);
        ui->bDalej->setEnabled(false);
        ui->bWykresy->setEnabled(true);
        ui->sbAnaliza->setEnabled(true);
        ui->sbImportuj->setEnabled(false);
        ui->sbOtworzSzkole->setEnabled(false);
    } else {
        setStatic1(QStringLiteral("Wyniki uczniów za poszczególne zadania - ") +
                   classLabels.value(currentPage - 1));
        ui->bWstecz->setEnabled(true);
        ui->bDalej->setEnabled(true);
        ui->bOblicz->setEnabled(m_blocked.isEmpty());
        ui->bWykresy->setEnabled(true);
        ui->sbAnaliza->setEnabled(true);
        ui->sbImportuj->setEnabled(m_blocked.isEmpty());
        ui->sbOtworzSzkole->setEnabled(false);
    }
}

void TfWyniki::resetGrid(StringGrid *grid, int columns, int rows, int width)
{
    // Another page's cells: nothing of the last one to take back.
    grid->clearUndo();
    grid->setColCount(columns);
    grid->setRowCount(rows);
    grid->resize(width, grid->height());
    for (int r = 0; r < rows; ++r)
        for (int c = 1; c < columns; ++c)
            grid->setCell(c, r, QString());
    for (int r = 1; r < rows; ++r)
        grid->setCell(0, r, QString::number(r));
}

void TfWyniki::layoutGridHeaders(int mode)
{
    StringGrid *upper = tabela1();
    StringGrid *lower = tabela2();
    upper->setCell(0, 0, QStringLiteral("L.p."));
    upper->setColWidth(0, 25);
    upper->setColWidth(1, 70);
    lower->setCell(0, 0, QStringLiteral("L.p."));
    lower->setColWidth(0, 25);
    lower->setColWidth(1, 70);
    lower->setCell(8, 0, QStringLiteral("Razem"));
    for (int c = 3; c < upper->colCount(); ++c) {
        upper->setCell(c, 0, test.taskLabels.value(c - 3));
        upper->setColWidth(c, 35);
    }
    // Five standard columns whatever the test says; a missing standard leaves its heading empty.
    for (int c = 3; c < lower->colCount() - 1; ++c) {
        lower->setCell(c, 0, test.standardAbbreviations.value(c - 3));
        lower->setColWidth(c, 60);
    }
    if (mode == 1) {
        upper->setFixedCols(1);
        lower->setFixedCols(1);
        upper->setEditingEnabled(true);
        for (StringGrid *grid : {upper, lower}) {
            grid->setCell(1, 0, QStringLiteral("Kod ucznia"));
            grid->setCell(2, 0, QStringLiteral("Ob."));
            grid->setColWidth(2, 25);
        }
        for (int r = 1; r < upper->rowCount(); ++r)
            upper->setCell(2, r, QStringLiteral("T"));
    } else {
        upper->setEditingEnabled(false);
        for (StringGrid *grid : {upper, lower}) {
            // The rows are the classes; the school's files keep their own heading (see opensave).
            grid->setCell(1, 0, QStringLiteral("Klasa"));
            grid->setColWidth(1, 95);
            grid->setColWidth(2, 0);
            grid->setFixedCols(2);
        }
    }
}
