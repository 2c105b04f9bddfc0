// The toolbar's analysis: reads the answers files the workbook has written and opens the report.
#include "workbook/tfwyniki.h"

#include "analysis/analysis.h"
#include "files/inifile.h"
#include "files/savefile.h"
#include "ui/messages.h"
#include "ui/stringgrid.h"
#include "workbook/tfanaliza.h"

std::optional<ClassResults> TfWyniki::readClassResults(int classIndex, QString *note) const
{
    const QString label = classLabels.value(classIndex);
    const qint32 pupils = pupilCounts.value(classIndex);
    const GridLimits limits = gridLimitsFor(pupils + 1, test.taskCount + 3);
    QByteArray bytes;
    switch (readFromSchool(paths().classFile(classIndex, schoolfiles::answers), &bytes, limits.bytes, true)) {
    case ReadStatus::OutsideSchool:
        *note = QStringLiteral("Plik wyników klasy „%1” jest dowiązaniem symbolicznym (albo leży w takim "
                               "katalogu), które prowadzi poza katalog szkoły; klasa została pominięta.")
                    .arg(label);
        return std::nullopt;
    case ReadStatus::Missing:
        *note = QStringLiteral("Klasa „%1” nie ma jeszcze zapisanych wyników. Wpisz je na stronie tej klasy "
                               "i naciśnij „Oblicz” lub „Zapisz”.")
                    .arg(label);
        return std::nullopt;
    case ReadStatus::Failed:
        *note =
            QStringLiteral("Nie mogę odczytać pliku wyników klasy „%1”; klasa została pominięta.").arg(label);
        return std::nullopt;
    case ReadStatus::Ok:
        break;
    }
    const std::optional<GridRows> rows = parseGridFileWithin(bytes, limits);
    if (!rows) {
        *note =
            QStringLiteral("Nie mogę odczytać pliku wyników klasy „%1”; klasa została pominięta.").arg(label);
        return std::nullopt;
    }
    return classResultsFromGrid(*rows, label, pupils, test, note);
}

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

    QStringList problems;
    const std::optional<StaffMeetingAnalysis> analysis =
        staffMeetingAnalysis(classPage ? currentPage - 1 : -1, &problems);
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
    fAnaliza->setSchoolRoot(schoolDirectory);
    fAnaliza->exec();
}

std::optional<StaffMeetingAnalysis> TfWyniki::staffMeetingAnalysis(int classIndex, QStringList *problems,
                                                                   bool rankInSchool) const
{
    StaffMeetingAnalysis analysis;
    analysis.settings = loadAnalysisSettingsFrom(setupIniPath());
    *problems = analysis.settings.problems;
    if (classIndex >= 0) {
        QString note;
        const std::optional<ClassResults> results = readClassResults(classIndex, &note);
        if (!results) {
            problems->append(note);
            return std::nullopt;
        }
        analysis.classes = {*results};
        analysis.report = analyseClass(*results, test, analysis.settings);
    } else {
        QStringList notes;
        for (int i = 0; i < classLabels.size(); ++i) {
            QString classNote;
            if (const std::optional<ClassResults> results = readClassResults(i, &classNote))
                analysis.classes.append(*results);
            else
                notes.append(classNote);
        }
        analysis.report = analyseSchool(analysis.classes, notes, test, analysis.settings);
    }
    // The school's own figures, with Setup.ini's for what the school has not entered.
    QByteArray bytes;
    readFromSchool(paths().file(schoolfiles::comparison), &bytes, IniFile::maxFileSize, true);
    analysis.comparison =
        readComparison(IniFile::fromBytes(bytes), IniFile::load(setupIniPath()), test, problems);
    // A class's pupils are ranked in the whole school too, among every class that can be read.
    QList<ClassResults> school;
    for (int i = 0; rankInSchool && classIndex >= 0 && i < classLabels.size(); ++i) {
        QString classNote;
        if (const std::optional<ClassResults> results = readClassResults(i, &classNote))
            school.append(*results);
    }
    analysis.schoolClasses = school;
    analysis.figures = staffMeetingFigures(analysis.report.overall, analysis.classes, test,
                                           analysis.settings.pupilStanineBounds, analysis.comparison,
                                           analysis.settings.comparisonThreshold, school);
    return analysis;
}
