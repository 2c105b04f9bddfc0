// Open and Save on the toolbar, the reports, and the question that keeps typed points from being lost.
#include "tfwyniki.h"

#include "gridfile.h"
#include "guarded.h"
#include "messages.h"
#include "report.h"
#include "savefile.h"
#include "stringgrid.h"
#include "ui_tfwyniki.h"

void TfWyniki::sbOtworzClick()
{
    tabela1()->commitOpenEditor();
    if (isClassPage(currentPage)) {
        // A missing or unreadable file leaves the typed points in the grid, still unsaved.
        if (readGridFile(tabela1(), paths().classFile(currentPage - 1, schoolfiles::answers)))
            markScoresSaved();
    } else if (isSchoolPage(currentPage)) {
        readGridFile(tabela1(), paths().schoolFile(schoolfiles::schoolSummary));
    } else {
        readSchoolFile(paths().file(schoolfiles::setup));
        tabela1()->setColWidth(1, 65);
        tabela1()->setColWidth(2, 80);
        setStatic1(QStringLiteral("Liczba klas - liczba uczniów w danej klasie"));
        showSummary(false);
    }
}

bool TfWyniki::writeReport(const QString &path)
{
    ReportContent content;
    content.testName = test.testName;
    content.testDate = test.testDate;
    content.firstCaption = ui->static1->text();
    content.firstGrid = contentsOf(tabela1());
    content.secondCaption = ui->static2->text();
    content.secondGrid = contentsOf(tabela2());
    return writeInSchool(path, reportBytes(content)) == WriteStatus::Ok;
}

void TfWyniki::sbZapiszClick()
{
    tabela1()->commitOpenEditor();
    if (isClassPage(currentPage)) {
        const WriteStatus saved = writeInSchool(paths().classFile(currentPage - 1, schoolfiles::answers),
                                                gridFileBytes(contentsOf(tabela1())));
        if (saved == WriteStatus::Ok)
            markScoresSaved();
        // The report would lead out of the school folder the same way; it has been said once.
        if (saved == WriteStatus::OutsideSchool)
            return;
        // Success is confirmed only when both files are on disk.
        if (writeReport(paths().classFile(currentPage - 1, schoolfiles::classReport)) &&
            saved == WriteStatus::Ok)
            messages::showMessage(QStringLiteral("Wyniki uczniów zostały zapisane!"));
    } else if (isSchoolPage(currentPage)) {
        const WriteStatus saved = writeInSchool(paths().schoolFile(schoolfiles::schoolSummary),
                                                gridFileBytes(contentsOf(tabela1())));
        if (saved == WriteStatus::OutsideSchool)
            return;
        if (writeReport(paths().schoolFile(schoolfiles::schoolReport)) && saved == WriteStatus::Ok)
            messages::showMessage(QStringLiteral("Wyniki zostały zapisane!"));
    }
}

bool TfWyniki::confirmLeavingPage()
{
    tabela1()->commitOpenEditor();
    if (!isClassPage(currentPage) || !m_scoresModified)
        return true;
    const auto answer = messages::askYesNoCancel(
        QStringLiteral("Wyniki uczniów wpisane na stronie „%1” nie zostały zapisane.\n"
                       "Czy zapisać je przed opuszczeniem tej strony?")
            .arg(classLabels.value(currentPage - 1)));
    if (answer == QMessageBox::Yes) {
        if (!writeGridFile(tabela1(), paths().classFile(currentPage - 1, schoolfiles::answers)))
            return false; // not saved: stay, so nothing is lost
        markScoresSaved();
        return true;
    }
    if (answer == QMessageBox::No) {
        markScoresSaved();
        return true;
    }
    return false;
}

void TfWyniki::reject()
{
    bool leave = false;
    guarded([&] { leave = confirmLeavingPage(); });
    if (leave)
        QDialog::reject();
}
