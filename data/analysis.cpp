#include "analysis.h"

#include "errors.h"
#include "inifile.h"
#include "numbers.h"

#include <QSet>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>
#include <utility>

namespace {

constexpr std::array<double, 4> defaultBandBounds{0.20, 0.50, 0.70, 0.90};

// A value times 10^decimals, rounded half away from zero on the decimal figure it stands for:
// 0.575 and 0.695 are stored a hair below themselves, yet a teacher rounding by hand writes 0,58
// and 0,70. The nudge is far below any difference between two real results.
double roundedUnits(double value, int decimals)
{
    const double scaled = value * std::pow(10.0, decimals); // powers of ten up to 10^15 are exact
    return std::round(scaled + std::copysign(1e-9 + std::fabs(scaled) * 1e-12, scaled));
}

// Facilities are shown with two decimals, so every comparison of them is made in whole hundredths:
// the band, the ties and the printed figure then always agree. The clamp keeps the conversion
// defined; it moves no value across a bound, as every bound lies within (0, 1].
qint64 hundredths(double fraction)
{
    if (std::isnan(fraction))
        return 0;
    return qint64(roundedUnits(std::clamp(fraction, -10.0, 10.0), 2));
}

// Teachers write decimals with a comma as often as with a full stop.
std::optional<double> readDecimal(const IniFile &ini, const QString &section, const QString &key)
{
    QString text = ini.readString(section, key, QString());
    text.replace(u',', u'.');
    return parseDecimal(text);
}

void loadBandBounds(const IniFile &ini, AnalysisSettings *settings)
{
    const QString section = QStringLiteral("PrzedzialyLatwosci");
    const std::array<QString, 4> keys{QStringLiteral("Trudne"), QStringLiteral("UmiarkowanieTrudne"),
                                      QStringLiteral("Latwe"), QStringLiteral("BardzoLatwe")};
    std::array<double, 4> bounds = defaultBandBounds;
    bool usable = true;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (!ini.hasKey(section, keys[i]))
            continue;
        const std::optional<double> value = readDecimal(ini, section, keys[i]);
        if (!value) {
            usable = false;
            break;
        }
        // A bound finer than the printed facility could split one printed figure over two bands.
        bounds[i] = double(hundredths(*value)) / 100.0;
    }
    for (std::size_t i = 0; usable && i < bounds.size(); ++i) {
        if (bounds[i] <= 0.0 || bounds[i] > 1.0 || (i > 0 && bounds[i] <= bounds[i - 1]))
            usable = false;
    }
    if (usable) {
        settings->bandBounds = bounds;
        return;
    }
    settings->bandBounds = defaultBandBounds;
    settings->problems.append(
        QStringLiteral("Granice przedziałów łatwości w sekcji [PrzedzialyLatwosci] pliku Setup.ini są "
                       "nieprawidłowe (muszą rosnąć, od 0 do 1); program przyjmuje granice %1; %2; %3; %4.")
            .arg(polishDecimal(defaultBandBounds[0]), polishDecimal(defaultBandBounds[1]),
                 polishDecimal(defaultBandBounds[2]), polishDecimal(defaultBandBounds[3])));
}

void loadStanineBounds(const IniFile &ini, AnalysisSettings *settings)
{
    const QString section = QStringLiteral("Staniny");
    constexpr int stanines = 9;
    bool anyKey = false;
    for (int k = 1; k <= stanines; ++k)
        anyKey = anyKey || ini.hasKey(section, QStringLiteral("Stanin%1").arg(k));
    if (!anyKey)
        return;

    QList<double> bounds;
    for (int k = 1; k <= stanines; ++k) {
        const QString key = QStringLiteral("Stanin%1").arg(k);
        const std::optional<double> value =
            ini.hasKey(section, key) ? readDecimal(ini, section, key) : std::nullopt;
        if (!value || *value < 0.0)
            break;
        // Stanine 1 is the floor of the table (usually 0) and may meet the next bound; the others
        // must rise, or a stanine could never be reached.
        if (!bounds.isEmpty() && (bounds.size() == 1 ? *value < bounds.last() : *value <= bounds.last()))
            break;
        bounds.append(*value);
    }
    if (bounds.size() == stanines) {
        settings->stanineBounds = bounds;
        return;
    }
    settings->problems.append(
        QStringLiteral("Tabela staninów w sekcji [Staniny] pliku Setup.ini jest niepełna lub nieprawidłowa; "
                       "stanin nie będzie pokazywany."));
}

// Default class labels read "Klasa VI A" and default standard descriptions "Standard 1"; in a
// sentence that already says "klasy" or "standard" the word would be doubled.
QString withoutLeadingWord(const QString &text, const QString &word)
{
    const QString prefix = word + u' ';
    if (!text.startsWith(prefix, Qt::CaseInsensitive))
        return text;
    const QString rest = text.mid(prefix.size()).trimmed();
    return rest.isEmpty() ? text : rest;
}

// "A", "A i B", "A, B i C".
QString polishList(const QStringList &items)
{
    if (items.size() <= 1)
        return items.value(0);
    return items.first(items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" i ") + items.last();
}

struct Extremes {
    QList<int> easiest;
    QList<int> hardest;
    int withFacility = 0;
};

// Indices of the items with the highest and the lowest facility, ties included, in their order.
Extremes extremesOf(const QList<ItemFacility> &items)
{
    Extremes result;
    qint64 highest = 0;
    qint64 lowest = 0;
    for (const ItemFacility &item : items) {
        if (!item.facility)
            continue;
        const qint64 h = hundredths(*item.facility);
        highest = result.withFacility == 0 ? h : std::max(highest, h);
        lowest = result.withFacility == 0 ? h : std::min(lowest, h);
        ++result.withFacility;
    }
    for (int i = 0; i < items.size(); ++i) {
        if (!items[i].facility)
            continue;
        const qint64 h = hundredths(*items[i].facility);
        if (h == highest)
            result.easiest.append(i);
        if (h == lowest)
            result.hardest.append(i);
    }
    return result;
}

QString facilityWithBand(double facility, const QString &band)
{
    return QStringLiteral("(%1 – %2)").arg(polishDecimal(facility), band);
}

void taskSentences(const QList<ItemFacility> &tasks, const AnalysisSettings &settings, QStringList *out)
{
    const Extremes ex = extremesOf(tasks);
    if (ex.withFacility == 0)
        return;
    auto labels = [&](const QList<int> &indices) {
        QStringList names;
        for (const int i : indices)
            names.append(tasks[i].label);
        return polishList(names);
    };
    const double first = *tasks[ex.easiest.first()].facility;
    if (ex.withFacility == 1) {
        out->append(QStringLiteral("Zadanie %1 okazało się %2 (%3).")
                        .arg(labels(ex.easiest), bandName(bandOf(first, settings)), polishDecimal(first)));
        return;
    }
    if (ex.easiest == ex.hardest) {
        out->append(QStringLiteral("Wszystkie zadania miały tę samą łatwość %1.")
                        .arg(facilityWithBand(first, bandName(bandOf(first, settings)))));
        return;
    }
    // Neuter plural adjectives ("trudne") look like the neuter singular, so one band name serves both.
    auto sentence = [&](const QList<int> &indices, const QString &one, const QString &many) {
        const double f = *tasks[indices.first()].facility;
        out->append((indices.size() == 1 ? one : many)
                        .arg(labels(indices), facilityWithBand(f, bandName(bandOf(f, settings)))));
    };
    sentence(ex.easiest, QStringLiteral("Najłatwiejsze okazało się zadanie %1 %2."),
             QStringLiteral("Najłatwiejsze okazały się zadania %1 %2."));
    sentence(ex.hardest, QStringLiteral("Najtrudniejsze okazało się zadanie %1 %2."),
             QStringLiteral("Najtrudniejsze okazały się zadania %1 %2."));
}

void standardSentences(const QList<ItemFacility> &standards, const AnalysisSettings &settings,
                       QStringList *out)
{
    const Extremes ex = extremesOf(standards);
    if (ex.withFacility == 0)
        return;
    auto names = [&](const QList<int> &indices) {
        QStringList list;
        for (const int i : indices)
            list.append(withoutLeadingWord(standards[i].label, QStringLiteral("standard")));
        return polishList(list);
    };
    const double first = *standards[ex.easiest.first()].facility;
    if (ex.withFacility == 1) {
        out->append(
            QStringLiteral("Standard %1 okazał się %2 (%3).")
                .arg(names(ex.easiest), bandNameMasculine(bandOf(first, settings)), polishDecimal(first)));
        return;
    }
    // "standardy" is a non-personal masculine plural, whose adjectives take the neuter forms.
    if (ex.easiest == ex.hardest) {
        out->append(QStringLiteral("Wszystkie standardy miały tę samą łatwość %1.")
                        .arg(facilityWithBand(first, bandName(bandOf(first, settings)))));
        return;
    }
    auto sentence = [&](const QList<int> &indices, const QString &one, const QString &many) {
        const double f = *standards[indices.first()].facility;
        const int band = bandOf(f, settings);
        if (indices.size() == 1)
            out->append(one.arg(names(indices), facilityWithBand(f, bandNameMasculine(band))));
        else
            out->append(many.arg(names(indices), facilityWithBand(f, bandName(band))));
    };
    sentence(ex.easiest, QStringLiteral("Najłatwiejszy okazał się standard %1 %2."),
             QStringLiteral("Najłatwiejsze okazały się standardy %1 %2."));
    sentence(ex.hardest, QStringLiteral("Najtrudniejszy okazał się standard %1 %2."),
             QStringLiteral("Najtrudniejsze okazały się standardy %1 %2."));
}

} // namespace

AnalysisSettings loadAnalysisSettingsFrom(const QString &iniPath)
{
    const IniFile ini = IniFile::load(iniPath);
    AnalysisSettings settings;
    loadBandBounds(ini, &settings);
    loadStanineBounds(ini, &settings);
    return settings;
}

QString polishDecimal(double value, int decimals)
{
    decimals = std::clamp(decimals, 0, 15);
    const double scaled = roundedUnits(value, decimals);
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.0e15) {
        // Beyond whole-number precision: the exact digits of the value, still without a locale.
        char buffer[400];
        const auto [end, error] =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
        QString text = error == std::errc() ? QString::fromLatin1(buffer, end - buffer) : QString();
        return text.replace(u'.', u',');
    }
    // Rounded the way the bands round, so that a printed figure and its band always agree.
    const qint64 units = qint64(scaled);
    QString digits = QString::number(units < 0 ? -units : units);
    if (digits.size() <= decimals)
        digits.prepend(QString(decimals + 1 - digits.size(), u'0'));
    if (decimals > 0)
        digits.insert(digits.size() - decimals, u',');
    if (units < 0) // zero after rounding never carries a sign
        digits.prepend(u'-');
    return digits;
}

int bandOf(double facility, const AnalysisSettings &settings)
{
    const qint64 value = hundredths(facility);
    int band = 0;
    for (const double bound : settings.bandBounds) {
        if (value >= hundredths(bound))
            ++band;
    }
    return band;
}

QString bandName(int band)
{
    static const std::array<QString, bandCount> names{
        QStringLiteral("bardzo trudne"), QStringLiteral("trudne"), QStringLiteral("umiarkowanie trudne"),
        QStringLiteral("łatwe"), QStringLiteral("bardzo łatwe")};
    return band >= 0 && band < bandCount ? names[std::size_t(band)] : QString();
}

QString bandNameMasculine(int band)
{
    static const std::array<QString, bandCount> names{
        QStringLiteral("bardzo trudny"), QStringLiteral("trudny"), QStringLiteral("umiarkowanie trudny"),
        QStringLiteral("łatwy"), QStringLiteral("bardzo łatwy")};
    return band >= 0 && band < bandCount ? names[std::size_t(band)] : QString();
}

QString bandColour(int band)
{
    // Pale enough for black text on top, distinct enough to tell apart when printed in colour.
    static const std::array<QString, bandCount> colours{QStringLiteral("#f4a6a6"), QStringLiteral("#f8c98f"),
                                                        QStringLiteral("#f6e58d"), QStringLiteral("#c5e8a5"),
                                                        QStringLiteral("#8fd19e")};
    // White for a band that does not exist: a blank cell rather than an invalid colour.
    return band >= 0 && band < bandCount ? colours[std::size_t(band)] : QStringLiteral("#ffffff");
}

QString bandRange(int band, const AnalysisSettings &settings)
{
    if (band < 0 || band >= bandCount)
        return QString();
    const double lower = band == 0 ? 0.0 : settings.bandBounds[std::size_t(band - 1)];
    const double upper = band == bandCount - 1 ? 1.0 : settings.bandBounds[std::size_t(band)] - 0.01;
    return polishDecimal(lower) + u'–' + polishDecimal(upper);
}

std::optional<int> stanineOf(double mean, const QList<double> &stanineBounds)
{
    if (stanineBounds.isEmpty())
        return std::nullopt;
    // The mean is printed with two decimals; the stanine goes with the printed figure.
    const double value = std::isnan(mean) ? 0.0 : roundedUnits(std::clamp(mean, -1e9, 1e9), 2) / 100.0;
    int stanine = 1;
    const int count = int(std::min<qsizetype>(stanineBounds.size(), 9));
    for (int k = 1; k <= count; ++k) {
        if (value >= stanineBounds[k - 1] - 1e-9)
            stanine = k;
    }
    return stanine;
}

QString stanineName(int stanine)
{
    static const std::array<QString, 9> names{
        QStringLiteral("najniższy"),    QStringLiteral("bardzo niski"),  QStringLiteral("niski"),
        QStringLiteral("niżej średni"), QStringLiteral("średni"),        QStringLiteral("wyżej średni"),
        QStringLiteral("wysoki"),       QStringLiteral("bardzo wysoki"), QStringLiteral("najwyższy")};
    return stanine >= 1 && stanine <= 9 ? names[std::size_t(stanine - 1)] : QString();
}

std::optional<ClassResults> classResultsFromGrid(const GridRows &rows, const QString &label,
                                                 qint32 pupilCount, const TestDefinition &test,
                                                 QString *problem)
{
    auto cell = [&rows](int column, int row) {
        return row < rows.size() && column < rows[row].size() ? rows[row][column] : QString();
    };

    ClassResults results;
    results.label = label;
    results.pupilCount = std::max<qint32>(pupilCount, 0);
    for (int r = 1; r <= results.pupilCount; ++r) {
        PupilResult pupil;
        pupil.row = r;
        // The grid file stores an empty cell as "-", and one blank means empty too.
        const QString code = cell(1, r);
        pupil.code = code == u"-" || code == u" " ? QString() : code;
        pupil.present = isPresentMark(cell(2, r));

        // Absent pupils are checked too, as Compute checks them.
        for (int t = 0; t < test.taskCount; ++t) {
            std::optional<qint32> points;
            try {
                points = cellTextAsInteger(cell(3 + t, r));
            } catch (const ConvertError &) {
            }
            if (!points || *points < 0 || *points > test.taskMaxPoints.value(t)) {
                if (problem) {
                    const QString pupilName = pupil.code.isEmpty()
                                                  ? QStringLiteral("uczeń nr %1").arg(r)
                                                  : QStringLiteral("uczeń o kodzie %1").arg(pupil.code);
                    *problem = QStringLiteral("Klasa „%1” została pominięta: jej plik wyników zawiera "
                                              "wartości, których nie przyjmuje „Oblicz” (%2, zadanie %3). "
                                              "Otwórz stronę tej klasy i naciśnij „Oblicz”, aby je poprawić.")
                                   .arg(label, pupilName, test.taskLabels.value(t));
                }
                return std::nullopt;
            }
            pupil.taskPoints.append(*points);
        }
        results.pupils.append(pupil);
    }
    return results;
}

TotalsSummary summariseTotals(const QList<int> &presentTotals, int pupils)
{
    TotalsSummary summary;
    summary.pupils = pupils;
    summary.present = int(presentTotals.size());
    summary.absent = std::max(0, pupils - summary.present);
    summary.hasData = !presentTotals.isEmpty();
    if (!summary.hasData)
        return summary;

    QList<int> sorted = presentTotals;
    std::sort(sorted.begin(), sorted.end());
    const qsizetype n = sorted.size();

    double sum = 0;
    for (const int total : sorted)
        sum += total;
    summary.mean = sum / double(n);
    summary.median = n % 2 == 1 ? sorted[n / 2] : (double(sorted[n / 2 - 1]) + double(sorted[n / 2])) / 2.0;

    qsizetype bestRun = 0;
    for (qsizetype i = 0; i < n;) {
        qsizetype j = i;
        while (j < n && sorted[j] == sorted[i])
            ++j;
        if (j - i > bestRun) {
            bestRun = j - i;
            summary.modes.clear();
        }
        if (j - i == bestRun)
            summary.modes.append(sorted[i]);
        i = j;
    }

    summary.lowest = sorted.first();
    summary.highest = sorted.last();
    summary.range = summary.highest - summary.lowest;

    double squares = 0;
    for (const int total : sorted)
        squares += (total - summary.mean) * (total - summary.mean);
    summary.standardDeviation = std::sqrt(squares / double(n));
    return summary;
}

QList<int> totalsHistogram(const QList<int> &presentTotals, int maxTotal)
{
    int top = std::max(maxTotal, 0);
    for (const int total : presentTotals)
        top = std::max(top, total);
    QList<int> counts(top + 1, 0);
    for (const int total : presentTotals) {
        if (total >= 0) // no checked points sum below 0; such a total has no bar to go to
            ++counts[total];
    }
    return counts;
}

GroupAnalysis analyseGroup(const QString &label, const QList<ClassResults> &classes,
                           const TestDefinition &test, const AnalysisSettings &settings)
{
    GroupAnalysis group;
    group.label = label;

    const int taskCount = std::max(test.taskCount, 0);
    // The standards the workbook counts, so that every figure agrees with its grids.
    const int standardCount = test.countedStandardCount();
    QList<double> taskSums(taskCount, 0.0);
    QList<double> standardSums(standardCount, 0.0);
    QList<int> totals;
    int pupils = 0;
    group.weakPupils.resize(standardCount);

    for (const ClassResults &results : classes) {
        pupils += results.pupilCount;
        for (const PupilResult &pupil : results.pupils) {
            if (!pupil.present)
                continue;
            QList<qint64> standardPoints(standardCount, 0);
            qint64 total = 0;
            for (int t = 0; t < taskCount; ++t) {
                const qint32 points = pupil.taskPoints.value(t);
                taskSums[t] += points;
                const qint32 k = test.taskStandards.value(t);
                // A standard the test defines but the workbook does not count (6 and above) leaves
                // its tasks out of the total too, as the grid's "Razem" does.
                if (k > TestDefinition::countedStandardLimit && k <= test.standardCount)
                    continue;
                total += points;
                if (k >= 1 && k <= standardCount)
                    standardPoints[k - 1] += points;
            }
            totals.append(int(total));
            for (int k = 0; k < standardCount; ++k) {
                standardSums[k] += double(standardPoints[k]);
                const qint32 max = test.standardMaxPoints.value(k);
                if (max <= 0)
                    continue;
                const double facility = double(standardPoints[k]) / max;
                if (facility < 0.5)
                    group.weakPupils[k].append(WeakPupil{results.label, pupil.row, pupil.code, facility});
            }
        }
    }

    group.totals = summariseTotals(totals, pupils);
    group.histogram = totalsHistogram(totals, test.maxTotalPoints);
    const int present = group.totals.present;

    auto item = [present](const QString &itemLabel, qint32 max, double sum) {
        ItemFacility facility;
        facility.label = itemLabel;
        facility.maxPoints = max;
        if (present > 0) {
            facility.meanPoints = sum / present;
            if (max > 0)
                facility.facility = facility.meanPoints / max;
        }
        return facility;
    };
    for (int t = 0; t < taskCount; ++t)
        group.tasks.append(item(test.taskLabels.value(t), test.taskMaxPoints.value(t), taskSums[t]));
    for (int k = 0; k < standardCount; ++k)
        group.standards.append(
            item(test.standardDescriptions.value(k), test.standardMaxPoints.value(k), standardSums[k]));
    group.wholeTest.label = QStringLiteral("cały test");
    group.wholeTest.maxPoints = test.maxTotalPoints;
    group.wholeTest.meanPoints = group.totals.mean;
    if (group.totals.hasData && test.maxTotalPoints > 0)
        group.wholeTest.facility = group.totals.mean / test.maxTotalPoints;

    if (group.totals.hasData)
        group.stanine = stanineOf(group.totals.mean, settings.stanineBounds);
    return group;
}

AnalysisReport analyseClass(const ClassResults &results, const TestDefinition &test,
                            const AnalysisSettings &settings)
{
    AnalysisReport report;
    report.school = false;
    report.overall = analyseGroup(results.label, {results}, test, settings);
    report.sentences = summarySentences(report.overall, false, test, settings);
    return report;
}

AnalysisReport analyseSchool(const QList<ClassResults> &classes, const QStringList &notes,
                             const TestDefinition &test, const AnalysisSettings &settings)
{
    AnalysisReport report;
    report.school = true;
    report.overall = analyseGroup(QStringLiteral("Szkoła"), classes, test, settings);
    for (const ClassResults &results : classes)
        report.classes.append(analyseGroup(results.label, {results}, test, settings));
    report.notes = notes;
    report.sentences = summarySentences(report.overall, true, test, settings);
    return report;
}

QStringList summarySentences(const GroupAnalysis &group, bool school, const TestDefinition &test,
                             const AnalysisSettings &settings)
{
    if (!group.totals.hasData)
        return {QStringLiteral("Brak danych: żaden uczeń nie był obecny na sprawdzianie.")};

    QStringList sentences;
    const QString mean = polishDecimal(group.totals.mean);
    // "punktu": a number with a fractional part takes the genitive singular in Polish.
    QString meanSentence =
        school ? QStringLiteral("Średni wynik uczniów szkoły (średnia wszystkich uczniów) to %1 punktu")
                     .arg(mean)
               : QStringLiteral("Średni wynik klasy %1 to %2 punktu")
                     .arg(withoutLeadingWord(group.label, QStringLiteral("klasa")), mean);
    // Without a maximum there is nothing to compare the mean with.
    if (test.maxTotalPoints > 0) {
        const qint64 percent = qint64(roundedUnits(group.totals.mean / test.maxTotalPoints, 2));
        meanSentence += QStringLiteral(" na %1 możliwych (%2% maksymalnej liczby punktów)")
                            .arg(test.maxTotalPoints)
                            .arg(percent);
    }
    sentences.append(meanSentence + u'.');

    if (group.wholeTest.facility) {
        const double f = *group.wholeTest.facility;
        sentences.append(QStringLiteral("Test okazał się %1 (łatwość %2).")
                             .arg(bandNameMasculine(bandOf(f, settings)), polishDecimal(f)));
    }

    taskSentences(group.tasks, settings, &sentences);
    standardSentences(group.standards, settings, &sentences);

    if (group.stanine) {
        sentences.append(QStringLiteral("Średni wynik %1 odpowiada staninowi %2 (%3).")
                             .arg(school ? QStringLiteral("szkoły") : QStringLiteral("klasy"))
                             .arg(*group.stanine)
                             .arg(stanineName(*group.stanine)));
    }

    QSet<std::pair<QString, int>> weak;
    for (const QList<WeakPupil> &standard : group.weakPupils) {
        for (const WeakPupil &pupil : standard)
            weak.insert({pupil.classLabel, pupil.row});
    }
    const qsizetype count = weak.size();
    if (count > 0) {
        // Every count but 1 takes "uczniów" with the neuter verb ("uzyskało 3 uczniów", "22 uczniów").
        sentences.append(
            count == 1 ? QStringLiteral("Poniżej połowy punktów w co najmniej jednym standardzie uzyskał "
                                        "1 uczeń.")
                       : QStringLiteral("Poniżej połowy punktów w co najmniej jednym standardzie uzyskało "
                                        "%1 uczniów.")
                             .arg(count));
    }
    return sentences;
}
