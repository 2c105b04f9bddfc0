// Open and Save on the toolbar, the reports, and the question that keeps typed points from being lost.
#include "workbook/tfwyniki.h"

#include "ui/guarded.h"
#include "ui/messages.h"
#include "ui/progresswindow.h"
#include "ui/stringgrid.h"
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
        tabela1()->setCell(1, 0, QStringLiteral("Klasa"));
    } else {
        readSchoolFile();
        tabela1()->setColWidth(1, 65);
        tabela1()->setColWidth(2, 80);
        setStatic1(QStringLiteral("Liczba klas - liczba uczniów w danej klasie"));
        showSummary(false);
    }
}

ReportContent TfWyniki::reportContent() const
{
    ReportContent content;
    content.testName = test.testName;
    content.testDate = test.testDate;
    content.firstCaption = ui->static1->text();
    content.firstGrid = contentsOf(tabela1());
    content.secondCaption = ui->static2->text();
    content.secondGrid = contentsOf(tabela2());
    return content;
}

bool TfWyniki::writeReport(const QString &path)
{
    ReportContent content = reportContent();
    if (isSchoolPage(currentPage)) {
        content.firstGrid = withSchoolFileHeading(content.firstGrid);
        content.secondGrid = withSchoolFileHeading(content.secondGrid);
    }
    return written(school().writeReport(path, content), path);
}

bool TfWyniki::writeSpreadsheet(const QString &path, const QList<Sheet> &sheets)
{
    return written(school().writeSpreadsheet(path, sheets), path);
}

void TfWyniki::sbZapiszClick()
{
    tabela1()->commitOpenEditor();
    if (!m_blocked.isEmpty() && currentPage != 0) {
        messages::showMessage(m_blocked + QStringLiteral("\n\nNic nie zostało zapisane."));
        return;
    }
    const WriteFailures failures(this);
    if (isClassPage(currentPage)) {
        const int classIndex = currentPage - 1;
        const QString answers = paths().classFile(classIndex, schoolfiles::answers);
        const WriteStatus saved = school().writeGrid(answers, contentsOf(tabela1()));
        written(saved, answers);
        if (saved == WriteStatus::Ok)
            markScoresSaved();
        // The reports would lead out of the school folder the same way; it has been said once.
        if (saved == WriteStatus::OutsideSchool)
            return;
        const bool report = writeReport(paths().classFile(classIndex, schoolfiles::classReport));
        const bool spreadsheet = writeSpreadsheet(
            paths().classFile(classIndex, schoolfiles::classSpreadsheet),
            classWorkbook(reportContent()) + school().analysisSheets(classIndex, test, testIniPath()));
        // Success is confirmed only when every file is on disk.
        if (saved == WriteStatus::Ok && report && spreadsheet)
            messages::showMessage(QStringLiteral("Wyniki uczniów zostały zapisane!"));
    } else if (isSchoolPage(currentPage)) {
        // The spreadsheet file, with every class's pupils, is made before anything is written, so that
        // Anuluj leaves the school's files as they were.
        const QString spreadsheetPath = paths().schoolFile(schoolfiles::schoolSpreadsheet);
        std::optional<QByteArray> spreadsheetBytes;
        {
            ui::ProgressWindow progress(
                this, QStringLiteral("Zapisywanie wyników szkoły…"),
                QStringLiteral("Przerwano zapisywanie wyników szkoły. Nic nie zostało "
                               "zapisane."));
            const QList<ClassSheetInput> classes =
                school().classSheetInputs(test, progressPart(progress.report(), 0, 200));
            const QList<Sheet> sheets =
                schoolWorkbook(reportContent(), classes, progressPart(progress.report(), 200, 250)) +
                school().analysisSheets(-1, test, testIniPath());
            spreadsheetBytes = xlsxBytes(sheets, nullptr, progressPart(progress.report(), 250, 1000));
        }
        const QString summary = paths().schoolFile(schoolfiles::schoolSummary);
        const WriteStatus saved = school().writeGrid(summary, withSchoolFileHeading(contentsOf(tabela1())));
        written(saved, summary);
        if (saved == WriteStatus::OutsideSchool)
            return;
        const bool report = writeReport(paths().schoolFile(schoolfiles::schoolReport));
        const bool spreadsheet = written(spreadsheetBytes ? school().write(spreadsheetPath, *spreadsheetBytes)
                                                          : WriteStatus::Failed,
                                         spreadsheetPath);
        if (saved == WriteStatus::Ok && report && spreadsheet)
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
