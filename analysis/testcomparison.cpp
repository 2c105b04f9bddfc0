#include "analysis/testcomparison.h"

#include "analysis/analysisreport.h"
#include "analysis/norms.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

GroupAtTest groupAtTest(const GroupAnalysis &group, const QList<int> &presentTotals,
                        const TestDefinition &test, const ComparisonFigures &comparison)
{
    GroupAtTest figures;
    figures.label = group.label;
    figures.pupils = group.totals.pupils;
    figures.present = group.totals.present;
    figures.hasData = group.totals.hasData;
    figures.meanPoints = group.totals.mean;
    figures.facility = group.wholeTest.facility;
    figures.median = group.totals.median;
    const ScoreBands bands = scoreBands(presentTotals, test.maxTotalPoints);
    figures.shareAtLeast80 = bands.shareAtLeast80;
    figures.shareBelow50 = bands.shareBelow50;
    figures.stanine = group.stanine;
    const std::optional<double> &country = comparison.wholeTest[std::size_t(Area::Kraj)];
    figures.countryFacility = country;
    if (figures.facility && country)
        figures.countryDifference = differenceInPoints(*figures.facility, *country);
    return figures;
}

// In the order the tests first name them; a requirement only one test has is not followed.
QList<RequirementAcrossTests> requirementsAcrossTests(const QList<SchoolAtTest> &tests)
{
    QList<RequirementAcrossTests> shared;
    QHash<QString, qsizetype> rowOf;
    QHash<QString, int> testsWith;
    for (qsizetype t = 0; t < tests.size(); ++t) {
        for (const RequirementFigures &f : tests[t].requirements) {
            const QString key = f.requirement.code.toLower();
            if (!rowOf.contains(key)) {
                rowOf.insert(key, shared.size());
                shared.append({f.requirement.code, f.requirement.description,
                               QList<std::optional<double>>(tests.size())});
            }
            RequirementAcrossTests &row = shared[rowOf.value(key)];
            if (!row.facility[t] && f.facility)
                ++testsWith[key];
            row.facility[t] = f.facility;
        }
    }
    shared.removeIf(
        [&testsWith](const RequirementAcrossTests &r) { return testsWith.value(r.code.toLower()) < 2; });
    return shared;
}

} // namespace

SchoolAtTest schoolAtTest(const QString &folder, const QList<ClassResults> &classes, const QStringList &notes,
                          const TestDefinition &test, const AnalysisSettings &settings,
                          const ComparisonFigures &comparison)
{
    SchoolAtTest school;
    school.folder = folder;
    school.testName = test.testName;
    school.testDate = test.testDate;
    school.maxPoints = test.maxTotalPoints;
    school.notes = notes;

    const AnalysisReport report = analyseSchool(classes, notes, test, settings);
    const QList<int> totals = presentTotals(classes, test);
    school.school = groupAtTest(report.overall, totals, test, comparison);
    for (qsizetype i = 0; i < classes.size() && i < report.classes.size(); ++i)
        school.classes.append(
            groupAtTest(report.classes[i], presentTotals({classes[i]}, test), test, comparison));

    // Ranked among every present pupil of the school, in class and row order as the totals are.
    const QList<double> ranks = percentileRanks(totals);
    qsizetype next = 0;
    for (const ClassResults &results : classes) {
        for (const PupilResult &pupil : results.pupils) {
            if (!pupil.present)
                continue;
            PupilAtTest at;
            at.classLabel = results.label;
            at.code = pupil.code;
            if (test.maxTotalPoints > 0)
                at.percentOfMax = 100.0 * pupilTotal(pupil, test) / test.maxTotalPoints;
            at.percentileInSchool = ranks.value(next++);
            school.pupils.append(at);
        }
    }

    for (const ItemFacility &standard : report.overall.standards) {
        school.standardDescriptions.append(standard.label);
        school.standardFacilities.append(standard.facility);
    }
    school.requirements = requirementFigures(report.overall, test, comparison);
    return school;
}

void sortByTestDate(QList<SchoolAtTest> *tests)
{
    std::stable_sort(tests->begin(), tests->end(),
                     [](const SchoolAtTest &a, const SchoolAtTest &b) { return a.testDate < b.testDate; });
}

ClassMatch matchClassesByLabel(const QList<SchoolAtTest> &tests)
{
    ClassMatch rows;
    QHash<QString, qsizetype> rowOf;
    for (qsizetype t = 0; t < tests.size(); ++t) {
        for (const GroupAtTest &group : tests[t].classes) {
            auto found = rowOf.constFind(group.label);
            if (found == rowOf.cend()) {
                found = rowOf.insert(group.label, rows.size());
                rows.append(QStringList(tests.size(), QString()));
            }
            rows[*found][t] = group.label;
        }
    }
    return rows;
}

namespace {

// A standard is followed across tests only where at least two tests describe it alike.
QList<StandardAcrossTests> standardsAcrossTests(const QList<SchoolAtTest> &tests)
{
    QList<StandardAcrossTests> standards;
    QStringList descriptions;
    QHash<QString, int> testsWith;
    for (const SchoolAtTest &test : tests) {
        QSet<QString> seen;
        for (const QString &description : test.standardDescriptions) {
            const QString key = description.trimmed();
            if (key.isEmpty() || seen.contains(key))
                continue;
            seen.insert(key);
            if (!testsWith.contains(key))
                descriptions.append(key);
            ++testsWith[key];
        }
    }
    for (const QString &description : std::as_const(descriptions)) {
        if (testsWith.value(description) < 2)
            continue;
        StandardAcrossTests standard;
        standard.description = description;
        standard.facility.resize(tests.size());
        for (qsizetype t = 0; t < tests.size(); ++t) {
            for (qsizetype k = 0; k < tests[t].standardDescriptions.size(); ++k) {
                if (tests[t].standardDescriptions[k].trimmed() == description) {
                    standard.facility[t] = tests[t].standardFacilities.value(k);
                    break;
                }
            }
        }
        standards.append(standard);
    }
    return standards;
}

} // namespace

TestsComparison compareTests(const QList<SchoolAtTest> &tests, const ClassMatch &classMatch)
{
    TestsComparison result;
    result.tests = tests;
    const qsizetype testCount = tests.size();

    // Each test's classes and pupils found by label and code, once.
    QList<QHash<QString, qsizetype>> classIndex(testCount);
    QList<QHash<QString, QList<qsizetype>>> pupilsOfClass(testCount);
    for (qsizetype t = 0; t < testCount; ++t) {
        for (qsizetype i = 0; i < tests[t].classes.size(); ++i)
            classIndex[t].insert(tests[t].classes[i].label, i);
        for (qsizetype p = 0; p < tests[t].pupils.size(); ++p)
            pupilsOfClass[t][tests[t].pupils[p].classLabel].append(p);
    }

    for (const QStringList &row : classMatch) {
        // A row the teacher emptied follows no class.
        if (std::all_of(row.cbegin(), row.cend(), [](const QString &label) { return label.isEmpty(); }))
            continue;
        result.classMatch.append(row);
        QList<std::optional<GroupAtTest>> groups(testCount);
        QString rowLabel;
        for (qsizetype t = 0; t < testCount; ++t) {
            const QString label = row.value(t);
            if (label.isEmpty())
                continue;
            if (rowLabel.isEmpty())
                rowLabel = label;
            if (const auto found = classIndex[t].constFind(label); found != classIndex[t].cend())
                groups[t] = tests[t].classes[*found];
        }
        result.classes.append(groups);

        // The pupils of the row, matched by code, in the order they first appear.
        QList<PupilAcrossTests> pupils;
        QHash<QString, qsizetype> pupilRow;
        for (qsizetype t = 0; t < testCount; ++t) {
            const QString label = row.value(t);
            if (label.isEmpty())
                continue;
            for (const qsizetype p : pupilsOfClass[t].value(label)) {
                const PupilAtTest &pupil = tests[t].pupils[p];
                const QString code = pupil.code.trimmed();
                qsizetype at = code.isEmpty() ? -1 : pupilRow.value(code, -1);
                // A second pupil of the same code in one test is someone else.
                if (at >= 0 && pupils[at].percentile[t])
                    at = -1;
                if (at < 0) {
                    at = pupils.size();
                    PupilAcrossTests across;
                    across.classLabel = rowLabel;
                    across.code = pupil.code;
                    across.percentOfMax.resize(testCount);
                    across.percentile.resize(testCount);
                    pupils.append(across);
                    if (!code.isEmpty() && !pupilRow.contains(code))
                        pupilRow.insert(code, at);
                }
                pupils[at].percentOfMax[t] = pupil.percentOfMax;
                pupils[at].percentile[t] = pupil.percentileInSchool;
            }
        }
        for (PupilAcrossTests &pupil : pupils) {
            if (testCount > 1 && pupil.percentile.first() && pupil.percentile.last())
                pupil.change = *pupil.percentile.last() - *pupil.percentile.first();
        }
        result.pupils += pupils;
    }

    result.standards = standardsAcrossTests(tests);
    result.requirements = requirementsAcrossTests(tests);
    result.anyRequirements = std::any_of(
        tests.cbegin(), tests.cend(), [](const SchoolAtTest &test) { return !test.requirements.isEmpty(); });
    return result;
}

QString comparisonCaveat()
{
    return QStringLiteral(
        "Procenty punktów z różnych testów nie są porównywalne: każdy test ma inne zadania i inną "
        "trudność. Porównywalne są stanin średniej (z tabeli staninów danego testu) i różnica od "
        "wyniku kraju w punktach procentowych.");
}
