#include "documents/pupilsheets.h"

#include "core/numbers.h"

namespace {

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

QString cell(const QString &text, bool right = false, bool header = false)
{
    const QString tag = header ? QStringLiteral("th") : QStringLiteral("td");
    return QStringLiteral("<%1%2>%3</%1>")
        .arg(tag, right ? QStringLiteral(" align=\"right\"") : QString(), esc(text));
}

QString tableStart()
{
    return QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                          "style=\"border-collapse: collapse; border-color: #808080;\">\n");
}

// The country's mean points of an item: its facility times the item's maximum.
QString countryPoints(const std::optional<double> &facility, qint32 maxPoints)
{
    return facility ? polishDecimal(*facility * maxPoints) : QStringLiteral("–");
}

QString pointsOf(qint64 points, qint32 maxPoints)
{
    return QStringLiteral("%1 z %2").arg(points).arg(maxPoints);
}

} // namespace

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

QList<PupilSheet> pupilSheets(const ClassResults &results, const GroupAnalysis &classGroup,
                              const StaffMeetingFigures &figures, const ComparisonFigures &comparison,
                              const TestDefinition &test)
{
    QList<PupilSheet> sheets;
    const bool country = !comparison.isEmpty();
    qsizetype normIndex = 0;
    for (const PupilResult &pupil : results.pupils) {
        if (!pupil.present)
            continue;
        const PupilNorm norm = figures.norms.pupils.value(normIndex++);
        const QString code = pupil.code.isEmpty() ? QStringLiteral("nr %1").arg(pupil.row) : pupil.code;

        QList<qint64> standards(classGroup.standards.size(), 0);
        for (int t = 0; t < test.taskCount; ++t) {
            const qint32 k = test.countedStandardOf(t);
            if (k >= 1 && k <= standards.size())
                standards[k - 1] += pupil.taskPoints.value(t);
        }

        PupilSheet sheet;
        sheet.title = QStringLiteral("Karta wyników ucznia ") + code;
        QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>\n");
        html += QStringLiteral("<h1>%1</h1>\n").arg(esc(sheet.title));
        html += QStringLiteral("<p><i>%1: %2</i><br>%3</p>\n")
                    .arg(esc(test.testName), esc(test.testDate), esc(results.label));
        QString summary =
            QStringLiteral("Wynik ucznia: %1 z %2 punktów").arg(norm.total).arg(test.maxTotalPoints);
        if (norm.percentOfMax)
            summary +=
                QStringLiteral(" (%1% maksymalnej liczby punktów)").arg(polishDecimal(*norm.percentOfMax, 0));
        summary += QStringLiteral(". Taki sam albo niższy wynik ma %1% uczniów klasy (ranga centylowa %1).")
                       .arg(polishDecimal(norm.percentileInClass, 0));
        html += QStringLiteral("<p>%1</p>\n").arg(esc(summary));
        if (norm.stanine > 0)
            html += QStringLiteral("<p>%1</p>\n")
                        .arg(esc(
                            QStringLiteral("Wynik odpowiada staninowi %1 (%2) w tegorocznej skali staninowej "
                                           "(od 1 – najniższy do 9 – najwyższy).")
                                .arg(norm.stanine)
                                .arg(stanineName(norm.stanine))));
        if (figures.norms.unstable)
            html += QStringLiteral("<p><i>%1</i></p>\n").arg(esc(unstableNote()));

        for (const QString &sentence : weakStandardSentences(standards, test))
            html += QStringLiteral("<p><b>%1</b></p>\n").arg(esc(sentence));

        const auto head = [&](const QString &first) {
            QString row = QStringLiteral("<tr>") + cell(first, false, true) +
                          cell(QStringLiteral("Punkty ucznia"), false, true) +
                          cell(QStringLiteral("Średnia klasy"), false, true);
            if (country)
                row += cell(QStringLiteral("Średnia w kraju"), false, true);
            return row + QStringLiteral("</tr>\n");
        };
        html += QStringLiteral("<h2>Obszary testu (standardy)</h2>\n") + tableStart() +
                head(QStringLiteral("Standard"));
        for (qsizetype k = 0; k < classGroup.standards.size(); ++k) {
            const ItemFacility &item = classGroup.standards[k];
            html += QStringLiteral("<tr>") + cell(item.label) +
                    cell(pointsOf(standards[k], item.maxPoints), true) +
                    cell(polishDecimal(item.meanPoints), true);
            if (country)
                html += cell(
                    countryPoints(comparison.standards.value(k)[std::size_t(Area::Kraj)], item.maxPoints),
                    true);
            html += QStringLiteral("</tr>\n");
        }
        html +=
            QStringLiteral("</table>\n<h2>Zadania</h2>\n") + tableStart() + head(QStringLiteral("Zadanie"));
        for (qsizetype t = 0; t < classGroup.tasks.size(); ++t) {
            const ItemFacility &item = classGroup.tasks[t];
            html += QStringLiteral("<tr>") + cell(item.label) +
                    cell(pointsOf(pupil.taskPoints.value(t), item.maxPoints), true) +
                    cell(polishDecimal(item.meanPoints), true);
            if (country)
                html += cell(
                    countryPoints(comparison.tasks.value(t)[std::size_t(Area::Kraj)], item.maxPoints), true);
            html += QStringLiteral("</tr>\n");
        }
        html += QStringLiteral("</table>\n</body></html>\n");
        sheet.html = html;
        sheets.append(sheet);
    }
    return sheets;
}
