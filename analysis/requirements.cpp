#include "analysis/requirements.h"

#include <QSet>

#include <algorithm>

QList<QList<qsizetype>> requirementTasks(const TestDefinition &test)
{
    QList<QSet<qsizetype>> sets(test.requirements.size());
    for (qsizetype t = 0; t < test.taskCount; ++t) {
        for (const QString &code : test.taskRequirements.value(t)) {
            const qsizetype r = test.requirementIndex(code);
            if (r < 0)
                continue;
            sets[r].insert(t);
            // A general requirement is checked by every task of its specific requirements too.
            const qsizetype g = test.requirementIndex(test.requirements[r].general);
            if (g >= 0)
                sets[g].insert(t);
        }
    }
    QList<QList<qsizetype>> tasks;
    tasks.reserve(sets.size());
    for (const QSet<qsizetype> &set : sets) {
        QList<qsizetype> list(set.cbegin(), set.cend());
        std::sort(list.begin(), list.end());
        tasks.append(list);
    }
    return tasks;
}

namespace {

std::optional<double> countryFacility(const QList<qsizetype> &tasks, const TestDefinition &test,
                                      const ComparisonFigures &comparison)
{
    double weighted = 0;
    qint64 max = 0;
    for (const qsizetype t : tasks) {
        const std::optional<double> figure = comparison.tasks.value(t)[0];
        if (!figure)
            return std::nullopt;
        weighted += *figure * test.taskMaxPoints.value(t);
        max += test.taskMaxPoints.value(t);
    }
    if (max <= 0)
        return std::nullopt;
    return weighted / double(max);
}

} // namespace

QList<RequirementFigures> requirementFigures(const GroupAnalysis &group, const TestDefinition &test,
                                             const ComparisonFigures &comparison)
{
    const QList<QList<qsizetype>> tasks = requirementTasks(test);
    QList<RequirementFigures> figures;
    for (qsizetype r = 0; r < test.requirements.size(); ++r) {
        if (tasks[r].isEmpty())
            continue;
        RequirementFigures f;
        f.requirement = test.requirements[r];
        f.tasks = tasks[r];
        for (const qsizetype t : f.tasks) {
            f.maxPoints += test.taskMaxPoints.value(t);
            f.meanPoints += group.tasks.value(t).meanPoints;
        }
        if (group.totals.hasData && f.maxPoints > 0)
            f.facility = f.meanPoints / f.maxPoints;
        f.country = countryFacility(f.tasks, test, comparison);
        figures.append(f);
    }
    std::stable_sort(
        figures.begin(), figures.end(), [](const RequirementFigures &a, const RequirementFigures &b) {
            if (a.facility.has_value() != b.facility.has_value())
                return a.facility.has_value();
            // The means come from single-precision figures: equal shares may differ in the last places, and
            // must keep the test's order.
            return qRound64(a.facility.value_or(0) * 1e6) < qRound64(b.facility.value_or(0) * 1e6);
        });
    return figures;
}

QString taskLabelsText(const QList<qsizetype> &tasks, const TestDefinition &test)
{
    QStringList labels;
    for (const qsizetype t : tasks)
        labels.append(test.taskLabels.value(t));
    return labels.join(QStringLiteral(", "));
}

QList<RevisionItem> revisionList(const PupilResult &pupil, const TestDefinition &test,
                                 const QList<QList<qsizetype>> &tasks, qsizetype most)
{
    QList<RevisionItem> items;
    if (!pupil.present)
        return items;
    for (qsizetype r = 0; r < tasks.size() && r < test.requirements.size(); ++r) {
        RevisionItem item{test.requirements[r], 0, 0, 0};
        for (const qsizetype t : tasks[r]) {
            item.points += pupil.taskPoints.value(t);
            item.maxPoints += test.taskMaxPoints.value(t);
        }
        if (item.maxPoints <= 0)
            continue;
        item.facility = double(item.points) / item.maxPoints;
        if (item.facility < 0.5)
            items.append(item);
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const RevisionItem &a, const RevisionItem &b) { return a.facility < b.facility; });
    if (items.size() > most)
        items.resize(most);
    return items;
}
