// Open and Save on the toolbar, the reports, and the question that keeps typed points from being lost.
#include "workbook/tfwyniki.h"

#include "documents/analysissheet.h"
#include "files/gridfile.h"
#include "files/report.h"
#include "files/savefile.h"
#include "files/spreadsheet.h"
#include "ui/guarded.h"
#include "ui/messages.h"
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
    } else {
        readSchoolFile(paths().file(schoolfiles::setup));
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
    return writeInSchool(path, reportBytes(reportContent())) == WriteStatus::Ok;
}

bool TfWyniki::writeSpreadsheet(const QString &path, const QList<Sheet> &sheets)
{
    QString problem;
    const std::optional<QByteArray> bytes = xlsxBytes(sheets, &problem);
    if (!bytes) {
        messages::showFileError(QStringLiteral("Nie mogę zapisać pliku!"));
        return false;
    }
    return writeInSchool(path, *bytes) == WriteStatus::Ok;
}

QList<Sheet> TfWyniki::analysisSheets(int classIndex) const
{
    QStringList problems;
    // The class's own ranks only: ranking its pupils in the school would read every class's file on
    // every Save; the school's file ranks every pupil of the school.
    const std::optional<StaffMeetingAnalysis> analysis = staffMeetingAnalysis(classIndex, &problems, false);
    if (!analysis)
        return {analysisSheetNote(problems.value(problems.size() - 1))};
    return {analysisSheet(analysis->report, analysis->figures, test, analysis->settings)};
}

QList<ClassSheetInput> TfWyniki::classSheetInputs() const
{
    // Each class as its answers file holds it; a class without one, or with a damaged one, has no
    // sheet of its own.
    QList<ClassSheetInput> classes;
    for (int i = 0; i < classLabels.size(); ++i) {
        const GridLimits limits = gridLimitsFor(pupilCounts.value(i) + 1, test.taskCount + 3);
        QByteArray bytes;
        if (readFromSchool(paths().classFile(i, schoolfiles::answers), &bytes, limits.bytes, true) !=
            ReadStatus::Ok)
            continue;
        if (const std::optional<GridRows> rows = parseGridFileWithin(bytes, limits))
            classes.append({classLabels[i], rows->mid(0, pupilCounts.value(i) + 1)});
    }
    return classes;
}

void TfWyniki::sbZapiszClick()
{
    tabela1()->commitOpenEditor();
    if (isClassPage(currentPage)) {
        const int classIndex = currentPage - 1;
        const WriteStatus saved = writeInSchool(paths().classFile(classIndex, schoolfiles::answers),
                                                gridFileBytes(contentsOf(tabela1())));
        if (saved == WriteStatus::Ok)
            markScoresSaved();
        // The reports would lead out of the school folder the same way; it has been said once.
        if (saved == WriteStatus::OutsideSchool)
            return;
        const bool report = writeReport(paths().classFile(classIndex, schoolfiles::classReport));
        const bool spreadsheet =
            writeSpreadsheet(paths().classFile(classIndex, schoolfiles::classSpreadsheet),
                             classWorkbook(reportContent()) + analysisSheets(classIndex));
        // Success is confirmed only when every file is on disk.
        if (saved == WriteStatus::Ok && report && spreadsheet)
            messages::showMessage(QStringLiteral("Wyniki uczniów zostały zapisane!"));
    } else if (isSchoolPage(currentPage)) {
        const WriteStatus saved = writeInSchool(paths().schoolFile(schoolfiles::schoolSummary),
                                                gridFileBytes(contentsOf(tabela1())));
        if (saved == WriteStatus::OutsideSchool)
            return;
        const bool report = writeReport(paths().schoolFile(schoolfiles::schoolReport));
        const bool spreadsheet =
            writeSpreadsheet(paths().schoolFile(schoolfiles::schoolSpreadsheet),
                             schoolWorkbook(reportContent(), classSheetInputs()) + analysisSheets(-1));
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
