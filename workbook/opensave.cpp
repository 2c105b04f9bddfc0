// Open, Save, Compute, the analysis and the import on the toolbar, and the question that keeps
// typed points from being lost.
#include "workbook/tfwyniki.h"

#include "ui/guarded.h"
#include "ui/messages.h"
#include "ui/progresswindow.h"
#include "ui/seams.h"
#include "ui/stringgrid.h"
#include "ui_tfwyniki.h"
#include "workbook/tfanaliza.h"
#include "workbook/tfimport.h"

TfImport *fImport = nullptr;

template <typename Result, typename Step> std::optional<Result> TfWyniki::overOtherSaves(Step step)
{
    Result result = step();
    if (result.savedElsewhere.isEmpty())
        return result;
    const auto answer = messages::askChoice(result.savedElsewhere, QStringLiteral("Wczytać tamte wyniki"),
                                            QStringLiteral("Zastąpić je moimi"));
    if (answer == QMessageBox::No) {
        m_session.keepMine(isClassPage(m_currentPage) ? classInView() : -1);
        result = step();
        return result.savedElsewhere.isEmpty() ? std::optional<Result>(result) : std::nullopt;
    }
    if (answer == QMessageBox::Yes) {
        if (isClassPage(m_currentPage))
            buildClassPage(m_currentPage);
        else if (isSchoolPage(m_currentPage))
            buildSchoolPage();
        updatePageControls();
    }
    return std::nullopt;
}

void TfWyniki::sbOtworzClick()
{
    takeTypedScores();
    if (isClassPage(m_currentPage)) {
        const Outcome read = m_session.reloadScores(classInView());
        showRows(tabela1(), m_session.scoreSheet(classInView()));
        if (read.ok)
            tabela1()->clearUndo();
        tell(read);
        showPageBlock();
    } else if (isSchoolPage(m_currentPage)) {
        const Outcome read = m_session.reloadSchoolTasks();
        showRows(tabela1(), m_session.schoolTasks());
        tell(read);
        showPageBlock();
    } else {
        readSchoolFile();
        tabela1()->setColWidth(1, 65);
        tabela1()->setColWidth(2, 80);
        setStatic1(setupPageCaption());
        showSummary(false);
    }
}

void TfWyniki::sbZapiszClick()
{
    takeTypedScores();
    if (isClassPage(m_currentPage)) {
        if (const auto saved = overOtherSaves<Outcome>([this] { return m_session.saveClass(classInView()); }))
            tell(*saved);
    } else if (isSchoolPage(m_currentPage)) {
        if (m_session.pageBlock()) {
            tell(m_session.saveSchool(std::nullopt));
            return;
        }
        // The spreadsheet file, with every class's pupils, is made before anything is written, so that
        // Anuluj leaves the school's files as they were.
        std::optional<QByteArray> spreadsheet;
        {
            ui::ProgressWindow progress(
                this, QStringLiteral("Zapisywanie wyników szkoły…"),
                QStringLiteral("Przerwano zapisywanie wyników szkoły. Nic nie zostało "
                               "zapisane."));
            spreadsheet = m_session.schoolSpreadsheet(progress.report());
        }
        if (const auto saved = overOtherSaves<Outcome>([&] { return m_session.saveSchool(spreadsheet); }))
            tell(*saved);
    }
}

void TfWyniki::bObliczClick()
{
    takeTypedScores();
    if (!isClassPage(m_currentPage) || m_session.pageBlock())
        return;
    const auto computed = overOtherSaves<ComputeOutcome>([this] { return m_session.compute(classInView()); });
    if (!computed)
        return;
    showRows(tabela2(), m_session.summary(classInView()));
    tell(*computed);
}

bool TfWyniki::confirmLeavingPage()
{
    takeTypedScores();
    if (!scoresModified())
        return true;
    const auto answer = messages::askYesNoCancel(
        QStringLiteral("Wyniki uczniów wpisane na stronie „%1” nie zostały zapisane.\n"
                       "Czy zapisać je przed opuszczeniem tej strony?")
            .arg(m_session.classLabels().value(classInView())));
    if (answer == QMessageBox::Yes) {
        const auto saved = overOtherSaves<Outcome>([this] { return m_session.saveScores(classInView()); });
        // Their results loaded: nothing of this page is left to keep.
        if (!saved)
            return !scoresModified();
        tell(*saved);
        return saved->ok; // not saved: stay, so nothing is lost
    }
    if (answer == QMessageBox::No) {
        m_session.markScoresSaved(classInView());
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

void TfWyniki::sbAnalizaClick()
{
    takeTypedScores();
    const bool classPage = isClassPage(m_currentPage);
    if (!classPage && !isSchoolPage(m_currentPage))
        return;
    if (classPage && scoresModified()) {
        const auto answer = messages::askYesNoCancel(
            QStringLiteral("Wyniki uczniów wpisane na stronie „%1” nie zostały zapisane, a analiza korzysta "
                           "z zapisanego pliku wyników.\nCzy zapisać je teraz?")
                .arg(m_session.classLabels().value(classInView())));
        if (answer == QMessageBox::Cancel)
            return;
        if (answer == QMessageBox::Yes) {
            const auto saved =
                overOtherSaves<Outcome>([this] { return m_session.saveScores(classInView()); });
            if (!saved)
                return;
            tell(*saved);
            if (!saved->ok)
                return;
        }
    }

    // The last analysis's window is closed; its document, still being laid out, would slow this one.
    delete fAnaliza;
    fAnaliza = nullptr;
    auto progress = std::make_unique<ui::ProgressWindow>(
        this, QStringLiteral("Przygotowywanie analizy wyników…"),
        QStringLiteral("Przerwano przygotowywanie analizy. Nic nie zostało zapisane."));
    Outcome made;
    const std::optional<StaffMeetingAnalysis> analysis =
        m_session.analysis(classPage ? classInView() : -1, &made, progressPart(progress->report(), 0, 800));
    progress->update(900, 1000);
    if (!analysis || !made.notices.isEmpty())
        progress.reset();
    tell(made);
    if (!analysis)
        return;

    const SchoolPaths &paths = m_session.paths();
    AnalysisContext context;
    context.classes = analysis->classes;
    context.schoolClasses = analysis->schoolClasses;
    context.comparison = analysis->comparison;
    context.figures = analysis->figures;
    context.comparisonPath = paths.file(schoolfiles::comparison);
    if (classPage)
        context.pupilSheetsPath = paths.classFile(classInView(), schoolfiles::pupilSheets);
    const QString pdfPath = classPage ? paths.classFile(classInView(), schoolfiles::analysis)
                                      : paths.schoolFile(schoolfiles::analysis);
    delete fAnaliza;
    fAnaliza = nullptr;
    fAnaliza = new TfAnaliza(analysis->report, m_session.test(), analysis->settings, pdfPath, context, this);
    fAnaliza->setSchool(m_session.school());
    progress.reset();
    fAnaliza->exec();
}

void TfWyniki::sbImportujClick()
{
    takeTypedScores();
    if (!isClassPage(m_currentPage) || m_session.pageBlock())
        return;
    const QString path =
        ui::fileChooser(this, QStringLiteral("Importuj wyniki z pliku"), m_session.schoolDirectory(),
                        QStringLiteral("Pliki CSV (*.csv *.txt);;Wszystkie pliki (*)"));
    if (path.isEmpty())
        return;
    QString problem;
    const std::optional<CsvTable> table = m_session.readImportFile(path, &problem);
    if (!table) {
        messages::showMessage(problem);
        return;
    }
    const TestDefinition &test = m_session.test();
    const qint32 classSize = m_session.pupilCounts().value(classInView());
    // A file of another class, or of a class set up larger, is said before any preview.
    const ImportResult guessed = applyLayout(*table, guessLayout(*table, test.taskCount, test.taskKeys),
                                             test.taskMaxPoints.mid(0, test.taskCount), test.taskKeys);
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
