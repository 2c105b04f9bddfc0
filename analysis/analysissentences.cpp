#include "analysis/analysissentences.h"

#include "core/numbers.h"

#include <QSet>

#include <algorithm>
#include <utility>

namespace {

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

QStringList summarySentences(const GroupAnalysis &group, bool school, const TestDefinition &test,
                             const AnalysisSettings &settings)
{
    if (!group.totals.hasData)
        return {QStringLiteral("Brak danych: żaden uczeń nie był obecny na teście.")};

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
        // The whole test's facility in hundredths: 0,57 and 57%, never 58%.
        const qint64 percent =
            hundredths(group.wholeTest.facility.value_or(group.totals.mean / test.maxTotalPoints));
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
