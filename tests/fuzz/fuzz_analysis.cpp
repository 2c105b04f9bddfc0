// The analysis path: answers files read as Compute checks them (classResultsFromGrid), the class's
// and the school's analysis, the staff-meeting figures, the parents' sheets, the spreadsheet's
// analysis sheet and the report document made of it. The first bytes shape the test
// (tasks, their maxima and standards, the number of standards and pupils); the rest is one or two
// classes' answers files, split at the first form feed.
#include "analysis/analysisreport.h"
#include "documents/analysisdocument.h"
#include "documents/analysissheet.h"
#include "documents/pupilsheets.h"
#include "files/gridfile.h"
#include "tests/fuzz/fuzzsupport.h"
#include "tests/support/builders.h"

#include <QByteArray>

#include <cmath>
#include <cstdint>

namespace {

using fuzz::require;

enum class Output { Document, StaffMeeting, Sheet, SchoolDocument };

struct Input {
    const std::uint8_t *data;
    std::size_t size;
    std::size_t at = 0;
    std::uint8_t next() { return at < size ? data[at++] : 0; }
};

TestDefinition testFrom(Input &input)
{
    const int taskCount = input.next() % 13;
    const qint32 standardCount = input.next() % 8;
    const qint32 total = input.next() % 50;
    QList<qint32> maxima;
    QList<qint32> taskStandards;
    for (int t = 0; t < taskCount; ++t) {
        maxima.append(input.next() % 6);
        // Now and then a standard the test lacks, or one above the five that are counted.
        taskStandards.append(int(input.next() % 9) - 1);
    }
    QList<qint32> standardMaxima;
    QStringList descriptions;
    for (int k = 0; k < standardCount; ++k) {
        standardMaxima.append(input.next() % 20);
        descriptions.append(QStringLiteral("standard <%1> & co").arg(k + 1));
    }
    return build::testOf(maxima)
        .labelled(QStringLiteral("Z"))
        .inStandards(standardCount, taskStandards)
        .allClosed()
        .total(total)
        .standardMaxima(standardMaxima)
        .standardNames(build::numbered(QStringLiteral("S"), standardCount), descriptions);
}

void checkTotals(const TotalsSummary &t)
{
    require(t.present >= 0 && t.present + t.absent == std::max(t.pupils, t.present), "pupil counts");
    if (!t.hasData)
        return;
    require(t.lowest <= t.highest && t.range == t.highest - t.lowest, "range");
    require(t.mean >= t.lowest - 1e-9 && t.mean <= t.highest + 1e-9, "mean outside the totals");
    require(t.median >= t.lowest && t.median <= t.highest, "median outside the totals");
    require(t.standardDeviation >= 0 && std::isfinite(t.standardDeviation), "standard deviation");
    require(!t.modes.isEmpty(), "no mode");
}

void checkGroup(const GroupAnalysis &group, const TestDefinition &test)
{
    checkTotals(group.totals);
    int counted = 0;
    for (const int count : group.histogram)
        counted += count;
    require(counted == group.totals.present, "the histogram does not hold every present pupil");
    require(group.tasks.size() == test.taskCount, "one figure per task");
    require(group.standards.size() == test.countedStandardCount(), "one figure per counted standard");
    require(group.weakPupils.size() == group.standards.size(), "weak pupils per standard");
    for (const ItemFacility &item : group.tasks) {
        // Compute's checks keep every point within the task's maximum.
        if (item.facility)
            require(*item.facility >= 0 && *item.facility <= 1 + 1e-9, "task facility outside 0 to 1");
    }
    for (const QList<WeakPupil> &pupils : group.weakPupils) {
        for (const WeakPupil &pupil : pupils)
            require(pupil.facility >= 0 && pupil.facility < 0.5, "a weak pupil at one half or above");
    }
}

void checkStaffMeeting(const StaffMeetingFigures &figures, const GroupAnalysis &group)
{
    require(figures.norms.pupils.size() == group.totals.present, "one norm per present pupil");
    for (const PupilNorm &pupil : figures.norms.pupils) {
        require(pupil.percentileInClass > 0 && pupil.percentileInClass <= 100,
                "a percentile rank outside 0 to 100");
        require(pupil.stanine >= 0 && pupil.stanine <= 9, "a stanine outside 1 to 9");
    }
    for (const std::optional<double> &power : figures.quality.discrimination)
        require(!power || (*power >= -1 && *power <= 1), "a correlation outside -1 to 1");
    require(!figures.quality.alpha || *figures.quality.alpha <= 1 + 1e-9, "an alpha above 1");
    for (const ComparisonLine &line : figures.comparison.tasks) {
        for (const std::optional<int> &difference : line.differences)
            require(!difference || (*difference >= -100 && *difference <= 100),
                    "a difference beyond 100 points");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Input input{data, size};
    const TestDefinition test = testFrom(input);
    const qint32 pupils = input.next() % 40;
    const QByteArray rest(reinterpret_cast<const char *>(data + input.at), qsizetype(size - input.at));
    const qsizetype split = rest.indexOf('\f');
    const QList<QByteArray> files =
        split < 0 ? QList<QByteArray>{rest} : QList<QByteArray>{rest.first(split), rest.sliced(split + 1)};

    // The last byte chooses the output, so that the fuzzer reaches each of them.
    const Output output = size == 0 ? Output::Document : Output(data[size - 1] % 4);
    AnalysisSettings settings;
    if (size % 2 == 0)
        settings.stanineBounds = {0, 5, 10, 15, 20, 25, 30, 35, 40};
    QList<ClassResults> classes;
    QStringList notes;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString label = QStringLiteral("Klasa %1").arg(i + 1);
        const std::optional<GridRows> rows =
            parseGridFileWithin(files[i], gridLimitsFor(pupils + 1, test.taskCount + 3));
        if (!rows)
            continue;
        QString problem;
        const std::optional<ClassResults> results =
            classResultsFromGrid(*rows, label, pupils, test, &problem);
        if (!results) {
            require(problem.contains(label), "a refusal that does not name the class", problem);
            notes.append(problem);
            continue;
        }
        require(results->pupils.size() == pupils, "one result per pupil row");
        for (const PupilResult &pupil : results->pupils)
            require(pupil.taskPoints.size() == test.taskCount, "one figure per task");
        classes.append(*results);

        const AnalysisReport report = analyseClass(*results, test, settings);
        checkGroup(report.overall, test);
        require(!report.sentences.isEmpty(), "a class without sentences");

        // The staff-meeting figures, the parents' sheets and the spreadsheet's analysis sheet.
        ComparisonFigures comparison = ComparisonFigures::emptyFor(test);
        for (qsizetype t = 0; t < comparison.tasks.size(); ++t)
            comparison.tasks[t][0] = double(data[t % size]) / 255.0;
        const StaffMeetingFigures figures =
            staffMeetingFigures(report.overall, {*results}, test, settings.stanineBounds, comparison, 5);
        checkStaffMeeting(figures, report.overall);
        const PupilSheets sheets = pupilSheets(*results, report.overall, figures, comparison, test);
        require(sheets.sheets.size() == report.overall.totals.present, "one sheet per present pupil");
        // One output per input, of the class's three and the school's document: each is made from
        // every figure above, and making all four for every input would spend most of the run
        // writing documents.
        switch (output) {
        case Output::Document:
            require(!analysisHtml(report, test, settings).isEmpty(), "an empty document");
            break;
        case Output::StaffMeeting:
            require(analysisHtml(report, test, settings, &figures).contains(QStringLiteral("Jakość testu")),
                    "the document lacks the test's quality");
            break;
        case Output::Sheet:
            require(analysisSheet(report, figures, test, settings).name == QStringLiteral("Analiza"),
                    "the sheet's name");
            break;
        case Output::SchoolDocument:
            break;
        }
    }
    const AnalysisReport school = analyseSchool(classes, notes, test, settings);
    checkGroup(school.overall, test);
    require(school.classes.size() == classes.size(), "one analysis per class read");
    if (output == Output::SchoolDocument) {
        const QString html = analysisHtml(school, test, settings);
        require(html.contains(analysisTitle(school).toHtmlEscaped()), "the document has its title");
    }
    require(!histogramTitle(school).isEmpty(), "the histogram has a title");
    return 0;
}
