#include "documents/pupilsheets.h"

#include "core/numbers.h"

namespace {

// The country's mean points of an item: its facility times the item's maximum.
QString countryPoints(const std::optional<double> &facility, qint32 maxPoints)
{
    return facility ? polishDecimal(*facility * maxPoints) : QStringLiteral("–");
}

PupilSheetTable sheetTable(const QString &heading, const QString &first, const QList<ItemFacility> &items,
                           const QList<AreaFigures> &country, bool withCountry)
{
    PupilSheetTable table;
    table.heading = heading;
    table.columns = {first, QStringLiteral("Punkty ucznia"), QStringLiteral("Średnia klasy")};
    if (withCountry)
        table.columns.append(QStringLiteral("Średnia w kraju"));
    for (qsizetype i = 0; i < items.size(); ++i) {
        const ItemFacility &item = items[i];
        table.labels.append(item.label);
        table.maxPoints.append(item.maxPoints);
        table.classMeans.append(polishDecimal(item.meanPoints));
        if (withCountry)
            table.countryMeans.append(
                countryPoints(country.value(i)[std::size_t(Area::Kraj)], item.maxPoints));
    }
    return table;
}

} // namespace

QString pupilPoints(qint64 points, qint32 maxPoints)
{
    return QStringLiteral("%1 z %2").arg(points).arg(maxPoints);
}

QStringList weakStandardSentences(const QList<qint64> &standardPoints, const TestDefinition &test)
{
    // Every weak area in one sentence, with the advice said once; words that fit any pupil.
    QStringList areas;
    for (qsizetype k = 0; k < standardPoints.size(); ++k) {
        const qint32 max = test.standardMaxPoints.value(k);
        // Less than half, counted exactly: 2 · points < max.
        if (max <= 0 || 2 * standardPoints[k] >= max)
            continue;
        areas.append(QStringLiteral("„%1” (%2 z %3 punktów)")
                         .arg(test.standardDescriptions.value(k))
                         .arg(standardPoints[k])
                         .arg(max));
    }
    if (areas.size() == 1)
        return {
            QStringLiteral("Mniej niż połowa punktów w obszarze %1. Warto wspólnie poćwiczyć umiejętności "
                           "z tego obszaru.")
                .arg(areas.first())};
    if (areas.size() > 1)
        return {
            QStringLiteral("Mniej niż połowa punktów w obszarach: %1. Warto wspólnie poćwiczyć umiejętności "
                           "z tych obszarów.")
                .arg(areas.join(QStringLiteral(", ")))};
    if (!standardPoints.isEmpty())
        return {QStringLiteral("W każdym obszarze testu co najmniej połowa punktów.")};
    return {};
}

PupilSheets pupilSheets(const ClassResults &results, const GroupAnalysis &classGroup,
                        const StaffMeetingFigures &figures, const ComparisonFigures &comparison,
                        const TestDefinition &test)
{
    PupilSheets book;
    const bool country = !comparison.isEmpty();
    book.testLine = test.testName + QStringLiteral(": ") + test.testDate;
    book.classLabel = results.label;
    if (figures.norms.unstable)
        book.note = unstableNote();
    book.standards = sheetTable(QStringLiteral("Obszary testu (standardy)"), QStringLiteral("Standard"),
                                classGroup.standards, comparison.standards, country);
    book.tasks = sheetTable(QStringLiteral("Zadania"), QStringLiteral("Zadanie"), classGroup.tasks,
                            comparison.tasks, country);

    const QList<QList<qsizetype>> requirements = requirementTasks(test);
    qsizetype normIndex = 0;
    for (const PupilResult &pupil : results.pupils) {
        if (!pupil.present)
            continue;
        const PupilNorm norm = figures.norms.pupils.value(normIndex++);
        const QString code = pupil.code.isEmpty() ? QStringLiteral("nr %1").arg(pupil.row) : pupil.code;

        PupilSheet sheet;
        sheet.title = QStringLiteral("Karta wyników ucznia ") + code;
        sheet.standardPoints = QList<qint64>(classGroup.standards.size(), 0);
        for (int t = 0; t < test.taskCount; ++t) {
            const qint32 k = test.countedStandardOf(t);
            if (k >= 1 && k <= sheet.standardPoints.size())
                sheet.standardPoints[k - 1] += pupil.taskPoints.value(t);
        }
        sheet.taskPoints.reserve(classGroup.tasks.size());
        for (qsizetype t = 0; t < classGroup.tasks.size(); ++t)
            sheet.taskPoints.append(pupil.taskPoints.value(t));

        sheet.summary =
            QStringLiteral("Wynik ucznia: %1 z %2 punktów").arg(norm.total).arg(test.maxTotalPoints);
        if (norm.percentOfMax)
            sheet.summary +=
                QStringLiteral(" (%1% maksymalnej liczby punktów)").arg(polishDecimal(*norm.percentOfMax, 0));
        sheet.summary +=
            QStringLiteral(". Taki sam albo niższy wynik ma %1% uczniów klasy (ranga centylowa %1).")
                .arg(polishDecimal(norm.percentileInClass, 0));
        if (norm.stanine > 0)
            sheet.stanine = QStringLiteral("Wynik odpowiada staninowi %1 (%2) w tegorocznej skali staninowej "
                                           "(od 1 – najniższy do 9 – najwyższy).")
                                .arg(norm.stanine)
                                .arg(stanineName(norm.stanine));
        sheet.weakStandards = weakStandardSentences(sheet.standardPoints, test);
        sheet.closedAnswers = closedAnswersLine(pupil, test);
        sheet.revision = revisionLines(pupil, test, requirements);
        book.sheets.append(sheet);
    }
    return book;
}

QStringList revisionLines(const PupilResult &pupil, const TestDefinition &test,
                          const QList<QList<qsizetype>> &requirementTasks)
{
    if (test.requirements.isEmpty())
        return {};
    QStringList lines;
    for (const RevisionItem &item : revisionList(pupil, test, requirementTasks)) {
        const QString what =
            item.requirement.description.isEmpty()
                ? item.requirement.code
                : item.requirement.code + QStringLiteral(" – ") + item.requirement.description;
        lines.append(QStringLiteral("%1 (%2 punktów)").arg(what, pupilPoints(item.points, item.maxPoints)));
    }
    if (lines.isEmpty())
        lines.append(QStringLiteral("W każdym wymaganiu testu co najmniej połowa punktów."));
    return lines;
}

QString closedAnswersLine(const PupilResult &pupil, const TestDefinition &test)
{
    QStringList answers;
    for (qint32 t = 0; t < test.taskCount; ++t) {
        const ChosenAnswer answer = pupil.choices.value(t);
        if (!test.isKeyed(t) || !answer.known)
            continue;
        answers.append(QStringLiteral("%1: %2 / %3")
                           .arg(test.taskLabels.value(t),
                                answer.parts == 0 ? QStringLiteral("brak")
                                                  : closedanswers::chosenText(answer, test.keyOf(t)),
                                test.keyOf(t).key));
    }
    if (answers.isEmpty())
        return {};
    return QStringLiteral("Odpowiedzi w zadaniach zamkniętych (ucznia / poprawna): ") +
           answers.join(QStringLiteral("; ")) + u'.';
}
