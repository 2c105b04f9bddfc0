// A class's results brought in from a spreadsheet's CSV file, previewed before they reach the grid.
#include "workbook/tfwyniki.h"

#include "ui/messages.h"
#include "ui/seams.h"
#include "ui/stringgrid.h"
#include "workbook/tfimport.h"

#include <QDir>

TfImport *fImport = nullptr;

void TfWyniki::sbImportujClick()
{
    tabela1()->commitOpenEditor();
    if (!isClassPage(currentPage) || !m_blocked.isEmpty())
        return;
    const QString path = ui::fileChooser(this, QStringLiteral("Importuj wyniki z pliku"), schoolDirectory,
                                         QStringLiteral("Pliki CSV (*.csv *.txt);;Wszystkie pliki (*)"));
    if (path.isEmpty())
        return;
    QString problem;
    const std::optional<CsvTable> table = readImportFile(path, &problem);
    if (!table) {
        messages::showMessage(problem);
        return;
    }
    const qint32 classSize = pupilCounts.value(currentPage - 1);
    // A file of another class, or of a class set up larger, is said before any preview.
    const ImportResult guessed =
        applyLayout(*table, guessLayout(*table, test.taskCount), test.taskMaxPoints.mid(0, test.taskCount));
    problem = classSizeProblem(guessed.pupils.size(), classSize);
    if (!problem.isEmpty()) {
        messages::showMessage(problem);
        return;
    }
    delete fImport;
    fImport = new TfImport(path, *table, test, classSize, this);
    if (fImport->exec() != QDialog::Accepted)
        return;
    // As if typed: each cell by the typing rules, one step to take back, unsaved until Compute or
    // Save.
    tabela1()->putTypedBlock(fImport->result().pupils, 1, 1);
}
