#include "analysis/staffmeeting.h"

#include <algorithm>
#include <utility>

namespace {

ComparisonLine compare(const QString &label, const std::optional<double> &own, const AreaFigures &areas,
                       int threshold)
{
    ComparisonLine line;
    line.label = label;
    line.own = own;
    line.areas = areas;
    for (int a = 0; a < areaCount; ++a) {
        if (own && areas[std::size_t(a)])
            line.differences[std::size_t(a)] = differenceInPoints(*own, *areas[std::size_t(a)]);
    }
    const std::optional<int> &country = line.differences[std::size_t(Area::Kraj)];
    line.marked = country && markedBelow(*country, threshold);
    return line;
}

} // namespace

StaffMeetingFigures staffMeetingFigures(const GroupAnalysis &group, const QList<ClassResults> &classes,
                                        const TestDefinition &test, const QList<double> &pupilStanineBounds,
                                        const ComparisonFigures &comparison, int threshold,
                                        const QList<ClassResults> &schoolClasses)
{
    StaffMeetingFigures figures;
    if (test.hasKeys()) {
        // A class's figures are the group's own; a school's are shown class by class too.
        ChoiceTables tables = choiceTables(classes, test);
        figures.choices = std::move(tables.group);
        figures.classChoices = std::move(tables.classes);
    }
    figures.requirements = requirementFigures(group, test, comparison);

    // Where each pupil stands, within the class and among all the group's pupils.
    NormsFigures &norms = figures.norms;
    const QList<int> allTotals = presentTotals(classes, test);
    const QList<int> schoolTotals = schoolClasses.isEmpty() ? allTotals : presentTotals(schoolClasses, test);
    norms.rankedInSchool = schoolTotals.size() > allTotals.size();
    // Sorted once: every pupil of a large school is then ranked by a search, not a count.
    QList<int> sortedSchoolTotals = schoolTotals;
    std::sort(sortedSchoolTotals.begin(), sortedSchoolTotals.end());
    norms.pupils.reserve(allTotals.size());
    for (const ClassResults &results : classes) {
        const QList<int> classTotals = presentTotals({results}, test);
        const QList<double> inClass = percentileRanks(classTotals);
        qsizetype inClassIndex = 0;
        for (const PupilResult &pupil : results.pupils) {
            if (!pupil.present)
                continue;
            PupilNorm norm;
            norm.classLabel = results.label;
            norm.row = pupil.row;
            norm.code = pupil.code;
            norm.total = pupilTotal(pupil, test);
            if (test.maxTotalPoints > 0)
                norm.percentOfMax = 100.0 * norm.total / test.maxTotalPoints;
            norm.percentileInClass = inClass.value(inClassIndex++);
            norm.percentileInSchool = percentileRankSorted(norm.total, sortedSchoolTotals);
            norm.stanine = pupilStanine(norm.total, pupilStanineBounds);
            norms.pupils.append(norm);
        }
    }
    norms.hasStanines = !pupilStanineBounds.isEmpty();
    norms.spread = stanineSpread(allTotals, pupilStanineBounds);
    norms.bands = scoreBands(allTotals, test.maxTotalPoints);
    norms.unstable = unstableFigures(int(allTotals.size()));

    // How well the tasks tell strong pupils from weak ones, and how reliable the whole test is.
    QList<QList<qint32>> points;
    points.reserve(allTotals.size());
    for (const ClassResults &results : classes) {
        for (const PupilResult &pupil : results.pupils) {
            if (pupil.present)
                points.append(pupil.taskPoints.mid(0, test.taskCount));
        }
    }
    figures.quality.discrimination = discrimination(points);
    while (figures.quality.discrimination.size() < test.taskCount)
        figures.quality.discrimination.append(std::nullopt);
    figures.quality.alpha = cronbachAlpha(points);

    // Against the country and the other areas.
    ComparisonTable &table = figures.comparison;
    table.hasFigures = !comparison.isEmpty();
    table.threshold = threshold;
    for (qsizetype t = 0; t < group.tasks.size(); ++t)
        table.tasks.append(
            compare(group.tasks[t].label, group.tasks[t].facility, comparison.tasks.value(t), threshold));
    for (qsizetype k = 0; k < group.standards.size(); ++k)
        table.standards.append(compare(group.standards[k].label, group.standards[k].facility,
                                       comparison.standards.value(k), threshold));
    table.wholeTest =
        compare(QStringLiteral("Cały test"), group.wholeTest.facility, comparison.wholeTest, threshold);
    return figures;
}

QString stanineGroupName(int group)
{
    switch (group) {
    case 0:
        return QStringLiteral("niskie (1–3)");
    case 1:
        return QStringLiteral("średnie (4–6)");
    case 2:
        return QStringLiteral("wysokie (7–9)");
    }
    return QString();
}
