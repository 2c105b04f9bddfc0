#include "documents/analysiswords.h"

#include "core/numbers.h"

#include <QStringList>

QString discriminationText(const std::optional<double> &value)
{
    return discriminationLabel(value);
}

QString alphaText(const std::optional<double> &value)
{
    return value ? QStringLiteral("test ") + alphaLabel(value) : alphaLabel(value);
}

QString noComparisonText()
{
    return QStringLiteral(
        "Brak danych porównawczych. Aby porównać wyniki z krajem, województwem, powiatem "
        "i gminą, naciśnij „Dane porównawcze” pod raportem i wpisz (albo wklej z arkusza) "
        "łatwość każdego zadania, standardu i całego testu ogłoszoną przez okręgową komisję "
        "egzaminacyjną, potem „Zapisz”.");
}

QString standardCaption(const ItemFacility &standard, const TestDefinition &test, qsizetype index)
{
    const QString abbreviation = test.standardAbbreviations.value(index);
    return abbreviation.isEmpty() || abbreviation.compare(standard.label, Qt::CaseInsensitive) == 0
               ? standard.label
               : QStringLiteral("%1 (%2)").arg(standard.label, abbreviation);
}

QString meanCaption(bool school)
{
    return school ? QStringLiteral("Średnia wszystkich uczniów szkoły") : QStringLiteral("Średnia");
}

QString modesCaption(qsizetype modes)
{
    return modes > 1 ? QStringLiteral("Dominanty (kilka wyników równie częstych)")
                     : QStringLiteral("Dominanta");
}

QString classMeansCaption()
{
    return QStringLiteral("Średnia ze średnich klas");
}

QString schoolMeanNote()
{
    return QStringLiteral(
        "Średnia wszystkich uczniów szkoły liczy każdego ucznia tak samo. Średnia ze średnich klas to "
        "liczba ze strony „Szkoła” zeszytu wyników: średnie klas zaokrąglone do dwóch miejsc po "
        "przecinku (tak je zapisuje „Oblicz”), a z nich średnia, w której każda klasa liczy się tak "
        "samo. Tak samo strona „Szkoła” liczy łatwość zadań i standardów. Przez to zaokrąglenie obie "
        "liczby mogą się różnić o kilka setnych nawet przy klasach równej wielkości; przy klasach "
        "różnej wielkości różnica bywa większa.");
}

QString weakPupilsTitle()
{
    return QStringLiteral("Uczniowie, którzy uzyskali mniej niż połowę punktów w standardzie");
}

QString weakPupilsIntro()
{
    return QStringLiteral(
        "Gotowe grupy do zajęć wyrównawczych: uczniowie obecni, których łatwość w standardzie "
        "jest mniejsza niż 0,50. Przy każdym uczniu: numer wiersza na stronie klasy, kod ucznia "
        "i jego łatwość w standardzie.");
}

QString comparisonBelowText(const ComparisonTable &table)
{
    QStringList below;
    for (const ComparisonLine &line : table.standards + table.tasks) {
        if (line.marked)
            below.append(line.label);
    }
    return below.isEmpty() ? QStringLiteral("Żadne zadanie ani standard nie wypadło co najmniej %1 "
                                            "punktów procentowych poniżej kraju.")
                                 .arg(table.threshold)
                           : QStringLiteral("Co najmniej %1 punktów procentowych poniżej kraju: %2.")
                                 .arg(table.threshold)
                                 .arg(below.join(QStringLiteral(", ")));
}

QString noData()
{
    return QStringLiteral("brak danych");
}

QString analysisTitle(const AnalysisReport &report)
{
    return QStringLiteral("Analiza wyników – ") +
           (report.school ? QStringLiteral("szkoła") : report.overall.label);
}

QString histogramTitle(const AnalysisReport &report)
{
    return report.school ? QStringLiteral("Rozkład sumy punktów (wszyscy uczniowie szkoły)")
                         : QStringLiteral("Rozkład sumy punktów – ") + report.overall.label;
}

QString choicesHeading()
{
    return QStringLiteral("Wybory odpowiedzi w zadaniach zamkniętych");
}

QString choicesNote()
{
    return QStringLiteral("Jaki odsetek obecnych uczniów (tych, których odpowiedzi wpisano literami) wybrał "
                          "każdą odpowiedź; pogrubiony – odpowiedź poprawna (klucz). Błędna odpowiedź "
                          "wybierana przez wielu wskazuje częsty błąd do omówienia z uczniami.");
}

QString noChoicesText()
{
    return QStringLiteral("Nie wpisano wybranych odpowiedzi: tabela wyborów powstaje, gdy w zadaniach "
                          "zamkniętych z kluczem wpisuje się litery odpowiedzi uczniów.");
}

QStringList classLabels(const AnalysisReport &report)
{
    QStringList labels;
    for (const GroupAnalysis &group : report.classes)
        labels.append(group.label);
    return labels;
}

QString classChoicesHeading()
{
    return QStringLiteral("Klasy obok siebie: odpowiedź poprawna");
}

QString classChoicesNote()
{
    return QStringLiteral(
        "Jaki odsetek obecnych uczniów każdej klasy wybrał odpowiedź poprawną (klucz); na "
        "czerwono – gdy w klasie błędna odpowiedź przyciągnęła więcej uczniów niż poprawna. "
        "Udział każdej odpowiedzi w klasie podaje analiza tej klasy.");
}

QStringList classChoicesBelowTexts(const QList<ChoiceTable> &classes, const QStringList &labels)
{
    // One sentence per part, naming every class where a wrong answer drew more than the key.
    QStringList popular;
    const ChoiceTable &first = classes.value(0);
    for (qsizetype t = 0; t < first.tasks.size(); ++t) {
        for (qsizetype p = 0; p < first.tasks[t].parts.size(); ++p) {
            QStringList where;
            for (qsizetype c = 0; c < classes.size(); ++c) {
                const ChoiceTask &task = classes[c].tasks.value(t);
                if (task.known == 0 || p >= task.parts.size())
                    continue;
                const ChoicePart &part = task.parts[p];
                const double keyShare = part.shares.value(part.answers.indexOf(part.key));
                for (qsizetype s = 0; s < part.answers.size(); ++s)
                    if (part.answers[s] != part.key && part.shares.value(s) > keyShare)
                        where.append(QStringLiteral("%1 (%2 – %3, poprawną %4 – %5)")
                                         .arg(labels.value(c), QString(part.answers[s]),
                                              polishDecimal(part.shares[s], 0) + u'%', QString(part.key),
                                              polishDecimal(keyShare, 0) + u'%'));
            }
            if (!where.isEmpty())
                popular.append(
                    QStringLiteral("%1: %2 %3.")
                        .arg(choicePartName(first.tasks[t], p),
                             where.size() == 1 ? QStringLiteral("w klasie") : QStringLiteral("w klasach"),
                             where.join(QStringLiteral("; "))));
        }
    }
    if (popular.isEmpty())
        return {
            QStringLiteral("W żadnej klasie błędna odpowiedź nie przyciągnęła więcej uczniów niż poprawna.")};
    return QStringList{
               QStringLiteral("Zadania, w których błędna odpowiedź przyciągnęła w klasie więcej uczniów "
                              "niż poprawna (wybrana odpowiedź i odsetek uczniów klasy):")} +
           popular;
}

QStringList choicesBelowTexts(const ChoiceTable &table)
{
    QStringList texts;
    const QStringList popular = popularWrongAnswers(table);
    texts.append(popular.isEmpty()
                     ? QStringLiteral("W żadnym zadaniu błędna odpowiedź nie przyciągnęła więcej uczniów niż "
                                      "poprawna.")
                     : QStringLiteral("Zadania, w których błędna odpowiedź przyciągnęła więcej uczniów niż "
                                      "poprawna:"));
    texts += popular;
    const QStringList check = keysToCheck(table);
    texts.append(
        check.isEmpty()
            ? QStringLiteral("W żadnym zadaniu uczniowie wybierający błędną odpowiedź nie mieli lepszego "
                             "wyniku całego testu niż wybierający klucz.")
            : QStringLiteral("Zadania, w których uczniowie wybierający błędną odpowiedź mieli lepszy wynik "
                             "całego testu niż wybierający klucz – sprawdź klucz:"));
    return texts + check;
}
