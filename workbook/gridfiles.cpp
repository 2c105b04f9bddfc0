// Between the grids and the school folder: the pages' cells go to and come from its files, and a
// file the folder could not write or read is said once.
#include "workbook/tfwyniki.h"

#include "files/inifile.h"
#include "ui/guarded.h"
#include "ui/messages.h"
#include "ui/stringgrid.h"
#include "ui_tfwyniki.h"

#include <QFileInfo>

#include <exception>

namespace {

const QString cannotWrite = QStringLiteral("Nie mogę zapisać pliku!");
const QString cannotRead = QStringLiteral("Nie mogę odczytać pliku!");

// Fields beyond the grid's shape are dropped: no one reads them.
void putRows(StringGrid *grid, const GridRows &rows, int firstCol, int firstRow)
{
    for (int j = 0; j < rows.size(); ++j) {
        const int row = firstRow + j;
        if (row >= grid->rowCount())
            break;
        const QStringList &fields = rows[j];
        for (int k = 0; k < fields.size(); ++k) {
            const int col = firstCol + k;
            if (col >= grid->colCount())
                break;
            grid->setCell(col, row, fields[k]);
        }
    }
}

} // namespace

SchoolFolder TfWyniki::school() const
{
    return SchoolFolder(schoolDirectory, classLabels, pupilCounts);
}

bool TfWyniki::written(WriteStatus status, const QString &path) const
{
    if (status == WriteStatus::OutsideSchool)
        messages::showFileError(outsideSchoolMessage(path, schoolDirectory, true));
    else if (status == WriteStatus::Failed && m_notWritten)
        m_notWritten->append(QFileInfo(path).fileName());
    else if (status == WriteStatus::Failed)
        messages::showFileError(cannotWrite);
    return status == WriteStatus::Ok;
}

TfWyniki::WriteFailures::WriteFailures(TfWyniki *owner) : m_owner(owner)
{
    m_owner->m_notWritten = QStringList();
}

TfWyniki::WriteFailures::~WriteFailures()
{
    const QStringList names = m_owner->m_notWritten.value_or(QStringList());
    m_owner->m_notWritten.reset();
    // An operation ended by an error says that error instead.
    if (names.isEmpty() || std::uncaught_exceptions() > 0)
        return;
    messages::showFileError(messages::cannotWriteMessage(names));
}

void TfWyniki::showReadFailure(ReadStatus status, const QString &path) const
{
    if (status == ReadStatus::OutsideSchool)
        messages::showFileError(outsideSchoolMessage(path, schoolDirectory, false));
    else if (status == ReadStatus::Failed)
        messages::showFileError(cannotRead);
}

GridRows TfWyniki::contentsOf(const StringGrid *grid)
{
    GridRows rows;
    rows.reserve(grid->rowCount());
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList cells;
        cells.reserve(grid->colCount());
        for (int c = 0; c < grid->colCount(); ++c)
            cells.append(grid->cell(c, r));
        rows.append(cells);
    }
    return rows;
}

bool TfWyniki::writeSchoolFile()
{
    SchoolSetup setup;
    setup.classCount = classCount;
    StringGrid *list = tabela1();
    for (int c = 0; c < 3; ++c)
        setup.headings.append(list->cell(c, 0));
    for (int n = 1; n <= classCount; ++n) {
        setup.labels.append(list->cell(1, n));
        setup.pupilTexts.append(list->cell(2, n));
    }
    return written(school().writeSchoolFile(setup), paths().file(schoolfiles::setup));
}

void TfWyniki::readSchoolFile()
{
    ReadStatus status = ReadStatus::Ok;
    const SchoolFileReader reader = school().readSchoolFile(&status);
    // An unreadable file gives the defaults without a word, as a missing one does; one reached
    // through a symlink out of the school folder is said.
    if (status == ReadStatus::OutsideSchool)
        showReadFailure(status, paths().file(schoolfiles::setup));
    classCount = reader.classCount();
    // The edit's change handler keeps the count within 1 to 25 and lays the list out.
    ui->eLiczbaKlas->setText(QString::number(classCount));
    if (classCount < 1)
        classCount = 1;
    StringGrid *list = tabela1();
    resetGrid(list, 3, classCount + 1, 195);
    for (int c = 0; c < 3; ++c)
        list->setCell(c, 0, reader.heading(c));
    for (int n = 1; n <= classCount; ++n) {
        list->setCell(1, n, reader.label(n));
        list->setCell(2, n, reader.pupilsText(n));
    }
}

bool TfWyniki::writeGridFile(StringGrid *grid, const QString &path)
{
    return written(school().writeGrid(path, contentsOf(grid)), path);
}

void TfWyniki::blockPage(const QStringList &reasons)
{
    m_blocked = reasons.join(u'\n');
    tabela1()->setEditingEnabled(false);
    ui->bOblicz->setEnabled(false);
    ui->sbImportuj->setEnabled(false);
    const QString locked = QStringLiteral("%1\n\nNa tej stronie nic nie zostanie zapisane ani obliczone, aby "
                                          "nie utracić wyników z tego pliku.")
                               .arg(m_blocked);
    // The school's own test may have been put back since it was opened: offer it.
    ReadStatus status = ReadStatus::Ok;
    const std::optional<QByteArray> own = school().ownTestBytes(&status);
    const TestDefinition ownTest = own ? loadTestDefinition(IniFile::fromBytes(*own)) : TestDefinition{};
    if (own && (ownTest.taskCount != test.taskCount || ownTest.testName != test.testName)) {
        if (messages::askChoice(locked + QStringLiteral("\n\nOtworzyć szkołę z jej własnym testem (%1, plik "
                                                        "Setup.ini w katalogu szkoły)?")
                                             .arg(ownTest.testName),
                                QStringLiteral("Otwórz szkołę"), QString()) == QMessageBox::Yes) {
            // Once the page now being built is done: the school's pages are laid out anew.
            QMetaObject::invokeMethod(
                this,
                [this, folder = schoolDirectory] {
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
        return;
    }
    messages::showMessage(locked +
                          QStringLiteral("\n\nSprawdź plik Setup.ini w katalogu szkoły (test, z którym "
                                         "ją założono) albo opuść tę stronę."));
}

bool TfWyniki::readGridFile(StringGrid *grid, const QString &path)
{
    // A file kept under another test, or for more pupils, is not half-loaded: saving the page
    // would destroy what did not fit.
    if (const std::optional<FileMisfit> misfit =
            school().gridMisfit(path, grid->rowCount(), grid->colCount(), 3)) {
        blockPage({misfitMessage(*misfit, test)});
        return false;
    }
    ReadStatus status = ReadStatus::Ok;
    const std::optional<GridRows> rows = school().readGrid(path, grid->rowCount(), grid->colCount(), &status);
    if (!rows) {
        showReadFailure(status, path);
        return false;
    }
    putRows(grid, *rows, 0, 0);
    grid->clearUndo();
    return true;
}

void TfWyniki::readStatisticsAt(StringGrid *grid, int firstCol, int firstRow, const QString &path)
{
    if (const std::optional<GridRows> rows = school().readStatistics(path, grid->colCount() - firstCol))
        putRows(grid, *rows, firstCol, firstRow);
}
