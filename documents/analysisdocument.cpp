#include "documents/analysisdocument.h"
#include "analysis/analysisreport.h"

#include "core/numbers.h"
#include "documents/analysistables.h"

#include <QStringList>

namespace {

using reporthtml::Cell;
using reporthtml::heading;
using reporthtml::row;
using reporthtml::tableStart;

QString esc(const QString &text)
{
    return reporthtml::escaped(text);
}

QString number(double value)
{
    return polishDecimal(value, 2);
}

Cell right(const QString &text)
{
    return Cell{text, {}, true};
}

QString modesText(const QList<int> &modes)
{
    QStringList parts;
    for (const int mode : modes)
        parts.append(QString::number(mode));
    return parts.join(QStringLiteral("; "));
}

QString totalsTable(const GroupAnalysis &group, bool school)
{
    const TotalsSummary &t = group.totals;
    const auto figure = [&t](const QString &text) { return t.hasData ? text : noData(); };
    QString html = tableStart();
    html += row({Cell{school ? QStringLiteral("Uczniowie szkoły (w klasach z wynikami)")
                             : QStringLiteral("Uczniowie klasy")},
                 right(QString::number(t.pupils))});
    html += row({Cell{QStringLiteral("Obecni na teście")}, right(QString::number(t.present))});
    html += row({Cell{QStringLiteral("Nieobecni")}, right(QString::number(t.absent))});
    html += row({Cell{meanCaption(school)}, right(figure(number(t.mean)))});
    html += row({Cell{QStringLiteral("Mediana")}, right(figure(number(t.median)))});
    html += row({Cell{modesCaption(t.modes.size())}, right(figure(modesText(t.modes)))});
    html += row({Cell{QStringLiteral("Wynik najniższy")}, right(figure(QString::number(t.lowest)))});
    html += row({Cell{QStringLiteral("Wynik najwyższy")}, right(figure(QString::number(t.highest)))});
    html += row({Cell{QStringLiteral("Rozstęp")}, right(figure(QString::number(t.range)))});
    html += row({Cell{QStringLiteral("Odchylenie standardowe (populacji)")},
                 right(figure(number(t.standardDeviation)))});
    if (group.stanine)
        html += row({Cell{QStringLiteral("Stanin średniej")},
                     right(QStringLiteral("%1 (%2)").arg(*group.stanine).arg(stanineName(*group.stanine)))});
    return html + QStringLiteral("</table>\n");
}

QString legend(const AnalysisSettings &settings)
{
    QString html = QStringLiteral("<p>Interpretacja łatwości:</p>\n") + tableStart();
    QList<Cell> cells;
    for (int band = 0; band < bandCount; ++band)
        cells.append(
            Cell{bandRange(band, settings) + QStringLiteral(" ") + bandName(band), bandColour(band)});
    return html + row(cells) + QStringLiteral("</table>\n");
}

QString weakPupilsSection(const AnalysisReport &report)
{
    const GroupAnalysis &group = report.overall;
    QString html = heading(weakPupilsTitle());
    html += QStringLiteral("<p>%1</p>\n").arg(esc(weakPupilsIntro()));
    html += tableStart();
    html += row({Cell{QStringLiteral("Standard")}, Cell{QStringLiteral("Liczba uczniów")},
                 Cell{QStringLiteral("Uczniowie")}},
                true);
    for (qsizetype k = 0; k < group.weakPupils.size(); ++k) {
        const QList<WeakPupil> &pupils = group.weakPupils[k];
        QStringList entries;
        QString currentClass;
        for (const WeakPupil &pupil : pupils) {
            QString entry = QStringLiteral("%1 – %2 (%3)")
                                .arg(pupil.row)
                                .arg(pupil.code.isEmpty() ? QStringLiteral("bez kodu") : pupil.code,
                                     number(pupil.facility));
            // In the school's list each class's pupils follow its label.
            if (report.school && pupil.classLabel != currentClass) {
                currentClass = pupil.classLabel;
                entry = currentClass + QStringLiteral(": ") + entry;
            }
            entries.append(entry);
        }
        html += row({Cell{group.standards.value(k).label}, right(QString::number(pupils.size())),
                     Cell{pupils.isEmpty() ? QStringLiteral("nikt") : entries.join(QStringLiteral("; "))}});
    }
    return html + QStringLiteral("</table>\n");
}

QString image(const char *name)
{
    return QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\"></p>\n")
        .arg(QLatin1StringView(name))
        .arg(histogramWidth)
        .arg(histogramHeight);
}

// The share's hundredths as the spreadsheet's two-decimal figure holds them: 0,62 and 62%.
QString percent(double fraction)
{
    return QString::number(hundredths(fraction)) + u'%';
}

QString comparisonSection(const AnalysisReport &report, const ComparisonTable &table)
{
    QString html = heading(QStringLiteral("Porównanie z krajem, województwem, powiatem i gminą"));
    if (!table.hasFigures)
        return html + QStringLiteral("<p>%1</p>\n").arg(esc(noComparisonText()));
    const QString own = report.school ? QStringLiteral("Szkoła") : QStringLiteral("Klasa");
    html +=
        QStringLiteral("<p>Łatwość %1 obok łatwości w kraju, województwie, powiecie i gminie oraz różnica "
                       "w punktach procentowych (dodatnia: lepiej niż w danym obszarze). Na czerwono: "
                       "zadania i standardy co najmniej %2 punktów procentowych poniżej kraju.</p>\n")
            .arg(report.school ? QStringLiteral("szkoły") : QStringLiteral("klasy"))
            .arg(table.threshold);
    const auto tableOf = [&](const QString &first, const QList<ComparisonLine> &lines) {
        QString part = tableStart();
        QList<Cell> head{Cell{first}, Cell{own}};
        for (const Area area : allAreas) {
            head.append(Cell{areaName(area)});
            head.append(Cell{QStringLiteral("różnica")});
        }
        part += row(head, true);
        for (const ComparisonLine &line : lines) {
            const QString colour = line.marked ? QStringLiteral("#f4a6a6") : QString();
            QList<Cell> cells{Cell{line.label, colour}, right(line.own ? number(*line.own) : noData())};
            for (int a = 0; a < areaCount; ++a) {
                const std::optional<double> &area = line.areas[std::size_t(a)];
                const std::optional<int> &difference = line.differences[std::size_t(a)];
                cells.append(right(area ? number(*area) : QStringLiteral("–")));
                cells.append(Cell{difference ? signedPoints(*difference) : QStringLiteral("–"),
                                  a == 0 ? colour : QString(), true});
            }
            part += row(cells);
        }
        return part + QStringLiteral("</table>\n");
    };
    html += tableOf(QStringLiteral("Standard"), table.standards + QList<ComparisonLine>{table.wholeTest});
    html += image(comparisonStandardsImageName);
    html += tableOf(QStringLiteral("Zadanie"), table.tasks);
    html += image(comparisonTasksImageName);
    return html + QStringLiteral("<p>%1</p>\n").arg(esc(comparisonBelowText(table)));
}

QString normsSection(const AnalysisReport &report, const NormsFigures &norms)
{
    QString html = heading(QStringLiteral("Wyniki uczniów na tle norm"));
    if (norms.unstable)
        html += QStringLiteral("<p style=\"background-color: #fff3c4;\">&nbsp;%1&nbsp;</p>\n")
                    .arg(esc(unstableNote()));
    const ScoreBands &bands = norms.bands;
    html += tableStart();
    html += row({Cell{QStringLiteral("Uczniowie z co najmniej 80% punktów")},
                 right(QString::number(bands.atLeast80)), right(percent(bands.shareAtLeast80))});
    html += row({Cell{QStringLiteral("Uczniowie z mniej niż 50% punktów")},
                 right(QString::number(bands.below50)), right(percent(bands.shareBelow50))});
    html += QStringLiteral("</table>\n");
    if (norms.hasStanines) {
        html += QStringLiteral("<p>Staniny uczniów (tabela [StaninyUczniow] pliku Setup.ini):</p>\n") +
                tableStart();
        QList<Cell> head{Cell{QStringLiteral("Stanin")}};
        QList<Cell> counts{Cell{QStringLiteral("Liczba uczniów")}};
        for (int k = 0; k < 9; ++k) {
            head.append(Cell{QString::number(k + 1)});
            counts.append(right(QString::number(norms.spread.counts[std::size_t(k)])));
        }
        html += row(head, true) + row(counts) + QStringLiteral("</table>\n");
        html += tableStart();
        const int groups[] = {norms.spread.low, norms.spread.middle, norms.spread.high};
        for (int g = 0; g < 3; ++g)
            html += row(
                {Cell{QStringLiteral("Staniny ") + stanineGroupName(g)}, right(QString::number(groups[g]))});
        html += QStringLiteral("</table>\n") + image(stanineImageName);
    } else {
        html += QStringLiteral("<p>Staniny uczniów nie są pokazywane: plik Setup.ini nie ma tabeli "
                               "[StaninyUczniow] (dolne granice staninów 1–9 w punktach).</p>\n");
    }
    if (report.school) {
        // A thousand pupils would bury the report; each class's analysis lists its own.
        return html + QStringLiteral(
                          "<p>Rangę centylową i stanin każdego ucznia (w klasie i w szkole) podaje analiza "
                          "klasy, a wszystkich uczniów szkoły razem – arkusz „Analiza” pliku "
                          "„Podsumowanie wyników.xlsx”.</p>\n");
    }
    html += QStringLiteral(
                "<p>Ranga centylowa: jaki odsetek uczniów klasy%1 uzyskał taki sam albo niższy wynik.</p>\n")
                .arg(norms.rankedInSchool ? QStringLiteral(" (i szkoły)") : QString());
    html += tableStart();
    QList<Cell> head{Cell{QStringLiteral("Nr")}, Cell{QStringLiteral("Kod ucznia")},
                     Cell{QStringLiteral("Suma pkt")}, Cell{QStringLiteral("% maks.")},
                     Cell{QStringLiteral("Ranga w klasie")}};
    if (norms.rankedInSchool)
        head.append(Cell{QStringLiteral("Ranga w szkole")});
    if (norms.hasStanines)
        head.append(Cell{QStringLiteral("Stanin")});
    html += row(head, true);
    for (const PupilNorm &pupil : norms.pupils) {
        QList<Cell> cells{right(QString::number(pupil.row)),
                          Cell{pupil.code.isEmpty() ? QStringLiteral("bez kodu") : pupil.code},
                          right(QString::number(pupil.total)),
                          right(pupil.percentOfMax ? polishDecimal(*pupil.percentOfMax, 0) + u'%' : noData()),
                          right(polishDecimal(pupil.percentileInClass, 0))};
        if (norms.rankedInSchool)
            cells.append(right(polishDecimal(pupil.percentileInSchool, 0)));
        if (norms.hasStanines)
            cells.append(right(QString::number(pupil.stanine)));
        html += row(cells);
    }
    return html + QStringLiteral("</table>\n");
}

QString qualitySection(const GroupAnalysis &group, const QualityFigures &quality)
{
    QString html = heading(QStringLiteral("Jakość testu"));
    html += QStringLiteral("<p>Moc różnicująca zadania: jak dobrze zadanie odróżnia uczniów mocniejszych od "
                           "słabszych (korelacja punktów za zadanie z sumą punktów za pozostałe zadania). "
                           "Alfa Cronbacha: jak zgodnie zadania mierzą to samo, czyli rzetelność całego "
                           "testu.</p>\n");
    html += tableStart();
    html += row({Cell{QStringLiteral("Alfa Cronbacha")},
                 right(quality.alpha ? number(*quality.alpha) : QStringLiteral("–")),
                 Cell{alphaText(quality.alpha)}});
    html += QStringLiteral("</table>\n<p></p>\n") + tableStart();
    html += row({Cell{QStringLiteral("Zadanie")}, Cell{QStringLiteral("Moc różnicująca")},
                 Cell{QStringLiteral("Ocena")}},
                true);
    for (qsizetype t = 0; t < group.tasks.size(); ++t) {
        const std::optional<double> value = quality.discrimination.value(t);
        html += row({Cell{group.tasks[t].label}, right(value ? number(*value) : QStringLiteral("–")),
                     Cell{discriminationText(value)}});
    }
    return html + QStringLiteral("</table>\n");
}

} // namespace

QString analysisHtml(const AnalysisReport &report, const TestDefinition &test,
                     const AnalysisSettings &settings, const StaffMeetingFigures *figures)
{
    const GroupAnalysis &group = report.overall;
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head><body>\n")
                       .arg(esc(analysisTitle(report)));
    html += QStringLiteral("<h1>%1</h1>\n").arg(esc(analysisTitle(report)));
    html += QStringLiteral("<p><i>%1: %2</i></p>\n").arg(esc(test.testName), esc(test.testDate));

    for (const QString &note : report.notes)
        html += QStringLiteral("<p style=\"background-color: #fff3c4;\">&nbsp;%1&nbsp;</p>\n").arg(esc(note));

    html += heading(QStringLiteral("Podsumowanie"));
    for (const QString &sentence : report.sentences)
        html += QStringLiteral("<p>%1</p>\n").arg(esc(sentence));

    html += heading(QStringLiteral("Suma punktów"));
    if (report.school)
        html += QStringLiteral("<p>%1</p>\n").arg(esc(schoolMeanNote()));
    html += totalsTable(group, report.school);
    html += QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\"></p>\n")
                .arg(QLatin1StringView(histogramImageName))
                .arg(histogramWidth)
                .arg(histogramHeight);

    if (report.school) {
        html += reportTableHtml(classesTable(report, settings));
        html += reportTableHtml(classStandardsTable(report, settings));
    }

    html += reportTableHtml(standardsFacilityTable(group, test, settings));
    html += reportTableHtml(tasksFacilityTable(group, test, settings, {}));
    html += legend(settings);
    html += weakPupilsSection(report);
    if (figures) {
        html += comparisonSection(report, figures->comparison);
        html += normsSection(report, figures->norms);
        html += qualitySection(group, figures->quality);
    }
    return html + QStringLiteral("</body></html>\n");
}
