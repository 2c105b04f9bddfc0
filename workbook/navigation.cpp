// Moving between pages, and the grids laid out for the page in view and filled from the session.
#include "workbook/tfwyniki.h"

#include "ui/guarded.h"
#include "ui/messages.h"
#include "ui/stringgrid.h"
#include "ui_tfwyniki.h"

// Cells beyond the grid's shape are not shown.
void TfWyniki::showRows(StringGrid *grid, const GridRows &rows)
{
    for (int r = 0; r < rows.size() && r < grid->rowCount(); ++r) {
        const QStringList &cells = rows[r];
        for (int c = 0; c < cells.size() && c < grid->colCount(); ++c)
            grid->setCell(c, r, cells[c]);
    }
}

void TfWyniki::goToPage(int index)
{
    m_currentPage = index;
    m_changingPage = true;
    ui->pcWyniki->setCurrentIndex(index);
    m_changingPage = false;
}

void TfWyniki::bDalejClick()
{
    if (m_currentPage + 1 >= pageCount() || !confirmLeavingPage())
        return;
    goToPage(m_currentPage + 1);
    if (isClassPage(m_currentPage))
        buildClassPage(m_currentPage);
    else
        buildSchoolPage();
    showSummary(true);
    updatePageControls();
}

void TfWyniki::bWsteczClick()
{
    if (m_currentPage <= 0 || !confirmLeavingPage())
        return;
    goToPage(m_currentPage - 1);
    if (m_currentPage == 0) {
        buildSetupPage();
        showSummary(false);
    } else {
        buildClassPage(m_currentPage);
        showSummary(true);
    }
    updatePageControls();
}

void TfWyniki::pcWynikiChange()
{
    const int target = ui->pcWyniki->currentIndex();
    if (!confirmLeavingPage()) {
        goToPage(m_currentPage); // the teacher stays with the grid as it is
        return;
    }
    m_currentPage = target;
    if (m_currentPage == 0) {
        buildSetupPage();
        showSummary(false);
    } else if (isSchoolPage(m_currentPage)) {
        buildSchoolPage();
        showSummary(true);
    } else {
        buildClassPage(m_currentPage);
        showSummary(true);
    }
    updatePageControls();
}

void TfWyniki::buildClassPage(int page)
{
    const int classIndex = page - 1;
    const int pupils = m_session.pupilCounts().value(classIndex);
    resetGrid(tabela1(), m_session.test().taskCount + 3, pupils + 1, 640);
    resetGrid(tabela2(), 9, pupils + 1, 505);
    layoutGridHeaders(1);
    const Outcome loaded = m_session.loadClassPage(classIndex);
    showClassSheets(classIndex);
    m_edited = false;
    tell(loaded);
    askAboutTypingElsewhere(classIndex);
    showPageBlock();
}

void TfWyniki::askAboutTypingElsewhere(int classIndex)
{
    const QString elsewhere = m_session.typingElsewhere(classIndex);
    if (elsewhere.isEmpty() || m_session.pageBlock())
        return;
    // The page the question is about is named above its grid while it is asked.
    setStatic1(classPageCaption(m_session.classLabels().value(classIndex)));
    if (messages::askChoice(elsewhere, QStringLiteral("Tylko do odczytu"), QStringLiteral("Przejmij")) ==
        QMessageBox::No) {
        m_session.takeOverTyping(classIndex);
        return;
    }
    m_session.openForReadingOnly(classIndex, m_session.typingElsewhere(classIndex).section(u'\n', 0, 0));
}

void TfWyniki::showClassSheets(int classIndex)
{
    showRows(tabela1(), m_session.scoreSheet(classIndex));
    showRows(tabela2(), m_session.summary(classIndex));
    tabela1()->clearUndo();
}

void TfWyniki::takeTypedScores()
{
    tabela1()->commitOpenEditor();
    if (!isClassPage(m_currentPage))
        return;
    // The grid as it stands, whatever filled it; modified only by what the teacher typed or pasted.
    m_session.putScores(classInView(), contentsOf(tabela1()), m_edited);
    m_edited = false;
}

bool TfWyniki::scoresModified() const
{
    return isClassPage(m_currentPage) && (m_edited || m_session.scoresModified(classInView()));
}

void TfWyniki::buildSetupPage()
{
    m_session.leavePages();
    tabela1()->setColWidth(1, 65);
    tabela1()->setColWidth(2, 80);
    readSchoolFile();
    setStatic1(setupPageCaption());
}

void TfWyniki::readSchoolFile()
{
    Outcome outcome;
    const SchoolSetup setup = m_session.readSchoolFile(&outcome);
    tell(outcome);
    // The edit's change handler keeps the count within 1 to 25 and lays the list out.
    m_typedClassCount = setup.classCount;
    ui->eLiczbaKlas->setText(QString::number(setup.classCount));
    if (m_typedClassCount < 1)
        m_typedClassCount = 1;
    StringGrid *list = tabela1();
    resetGrid(list, 3, m_typedClassCount + 1, 195);
    for (int c = 0; c < 3; ++c)
        list->setCell(c, 0, setup.headings.value(c));
    for (int n = 1; n <= m_typedClassCount; ++n) {
        list->setCell(1, n, setup.labels.value(n - 1));
        list->setCell(2, n, setup.pupilTexts.value(n - 1));
    }
}

void TfWyniki::buildSchoolPage()
{
    const int rows = 2 * m_session.classCount() + 3;
    resetGrid(tabela1(), m_session.test().taskCount + 3, rows, 640);
    resetGrid(tabela2(), 9, rows, 505);
    layoutGridHeaders(2);
    const Outcome loaded = m_session.loadSchoolPage();
    showRows(tabela1(), m_session.schoolTasks());
    showRows(tabela2(), m_session.schoolStandards());
    showPageBlock();
    tell(loaded);
}

void TfWyniki::showPageBlock()
{
    const std::optional<PageBlock> &block = m_session.pageBlock();
    if (!block)
        return;
    tabela1()->setEditingEnabled(false);
    ui->bOblicz->setEnabled(false);
    ui->sbImportuj->setEnabled(false);
    if (block->chosen)
        return;
    if (!block->offeredTest) {
        messages::showMessage(m_session.blockedMessage());
        return;
    }
    if (messages::askChoice(m_session.blockedMessage(), QStringLiteral("Otwórz szkołę"), QString()) !=
        QMessageBox::Yes)
        return;
    // Once the page now being built is done: the school's pages are laid out anew.
    QMetaObject::invokeMethod(
        this,
        [this, folder = m_session.schoolDirectory()] {
            guarded([this, &folder] {
                goToPage(0);
                buildSetupPage();
                showSummary(false);
                updatePageControls();
                openSchoolAt(folder);
            });
        },
        Qt::QueuedConnection);
}

void TfWyniki::updatePageControls()
{
    const bool blocked = m_session.pageBlock().has_value();
    if (m_currentPage == 0) {
        setStatic1(setupPageCaption());
        ui->bWstecz->setEnabled(false);
        ui->bDalej->setEnabled(true);
        ui->bOblicz->setEnabled(false);
        ui->bWykresy->setEnabled(false);
        ui->sbAnaliza->setEnabled(false);
        ui->sbImportuj->setEnabled(false);
        ui->sbOtworzSzkole->setEnabled(true);
        tabela1()->setEditingEnabled(false);
    } else if (m_currentPage == pageCount() - 1) {
        setStatic1(schoolPageCaption());
        ui->bWstecz->setEnabled(true);
        ui->bDalej->setEnabled(false);
        ui->bWykresy->setEnabled(true);
        ui->sbAnaliza->setEnabled(true);
        ui->sbImportuj->setEnabled(false);
        ui->sbOtworzSzkole->setEnabled(false);
    } else {
        setStatic1(classPageCaption(m_session.classLabels().value(classInView())));
        ui->bWstecz->setEnabled(true);
        ui->bDalej->setEnabled(true);
        ui->bOblicz->setEnabled(!blocked);
        ui->bWykresy->setEnabled(true);
        ui->sbAnaliza->setEnabled(true);
        ui->sbImportuj->setEnabled(!blocked);
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
    // The headings come with the session's sheets; here the columns' widths and what may be typed.
    StringGrid *upper = tabela1();
    StringGrid *lower = tabela2();
    for (StringGrid *grid : {upper, lower}) {
        grid->setColWidth(0, 25);
        grid->setColWidth(1, 70);
    }
    for (int c = 3; c < upper->colCount(); ++c)
        upper->setColWidth(c, 35);
    for (int c = 3; c < lower->colCount() - 1; ++c)
        lower->setColWidth(c, 60);
    if (mode == 1) {
        upper->setFixedCols(1);
        lower->setFixedCols(1);
        upper->setEditingEnabled(true);
        for (StringGrid *grid : {upper, lower})
            grid->setColWidth(2, 25);
    } else {
        upper->setEditingEnabled(false);
        for (StringGrid *grid : {upper, lower}) {
            grid->setColWidth(1, 95);
            grid->setColWidth(2, 0);
            grid->setFixedCols(2);
        }
    }
}
