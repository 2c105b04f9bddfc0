// The toolbar's analysis: reads the answers files the workbook has written and opens the report.
#include "tfwyniki.h"

#include "analysis.h"
#include "messages.h"
#include "savefile.h"
#include "stringgrid.h"
#include "tfanaliza.h"

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

    const AnalysisSettings settings = loadAnalysisSettingsFrom(setupIniPath());
    for (const QString &problem : settings.problems)
        messages::showMessage(problem);

    AnalysisReport report;
    QString pdfPath;
    if (classPage) {
        const int classIndex = currentPage - 1;
        QString note;
        const std::optional<ClassResults> results = readClassResults(classIndex, &note);
        if (!results) {
            messages::showMessage(note);
            return;
        }
        report = analyseClass(*results, test, settings);
        pdfPath = paths().classFile(classIndex, schoolfiles::analysis);
    } else {
        QList<ClassResults> classes;
        QStringList notes;
        for (int i = 0; i < classLabels.size(); ++i) {
            QString note;
            if (const std::optional<ClassResults> results = readClassResults(i, &note))
                classes.append(*results);
            else
                notes.append(note);
        }
        report = analyseSchool(classes, notes, test, settings);
        pdfPath = paths().schoolFile(schoolfiles::analysis);
    }

    delete fAnaliza;
    fAnaliza = nullptr;
    fAnaliza = new TfAnaliza(report, test, settings, pdfPath, this);
    fAnaliza->setSchoolRoot(schoolDirectory);
    fAnaliza->exec();
}
