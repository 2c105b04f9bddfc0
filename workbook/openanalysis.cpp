// The toolbar's analysis: the school folder makes it from the answers files the workbook has
// written, and the analysis window shows it.
#include "workbook/tfwyniki.h"

#include "ui/messages.h"
#include "ui/progresswindow.h"
#include "ui/stringgrid.h"
#include "workbook/tfanaliza.h"

void TfWyniki::sbAnalizaClick()
{
    tabela1()->commitOpenEditor();
    const bool classPage = isClassPage(currentPage);
    if (!classPage && !isSchoolPage(currentPage))
        return;
    if (classPage && m_scoresModified) {
        const auto answer = messages::askYesNoCancel(
            QStringLiteral("Wyniki uczniów wpisane na stronie „%1” nie zostały zapisane, a analiza korzysta "
                           "z zapisanego pliku wyników.\nCzy zapisać je teraz?")
                .arg(classLabels.value(currentPage - 1)));
        if (answer == QMessageBox::Cancel)
            return;
        if (answer == QMessageBox::Yes) {
            if (!writeGridFile(tabela1(), paths().classFile(currentPage - 1, schoolfiles::answers)))
                return;
            markScoresSaved();
        }
    }

    auto progress = std::make_unique<ui::ProgressWindow>(
        this, QStringLiteral("Przygotowywanie analizy wyników…"),
        QStringLiteral("Przerwano przygotowywanie analizy. Nic nie zostało zapisane."));
    QStringList problems;
    const std::optional<StaffMeetingAnalysis> analysis =
        school().analysis(classPage ? currentPage - 1 : -1, test, testIniPath(), &problems, true,
                          progressPart(progress->report(), 0, 800));
    progress->update(900, 1000);
    if (!analysis || !problems.isEmpty())
        progress.reset();
    for (const QString &problem : std::as_const(problems))
        messages::showMessage(problem);
    if (!analysis)
        return;

    AnalysisContext context;
    context.classes = analysis->classes;
    context.schoolClasses = analysis->schoolClasses;
    context.comparison = analysis->comparison;
    context.comparisonPath = paths().file(schoolfiles::comparison);
    if (classPage)
        context.pupilSheetsPath = paths().classFile(currentPage - 1, schoolfiles::pupilSheets);
    const QString pdfPath = classPage ? paths().classFile(currentPage - 1, schoolfiles::analysis)
                                      : paths().schoolFile(schoolfiles::analysis);
    delete fAnaliza;
    fAnaliza = nullptr;
    fAnaliza = new TfAnaliza(analysis->report, test, analysis->settings, pdfPath, context, this);
    fAnaliza->setSchool(school());
    progress.reset();
    fAnaliza->exec();
}
