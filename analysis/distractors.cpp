#include "analysis/distractors.h"

#include "analysis/norms.h"
#include "core/numbers.h"

namespace {

struct PartCounts {
    QList<int> chosen; // per answer symbol
    int none = 0;
    qint64 keySum = 0;
    int keyPupils = 0;
    qint64 wrongSum = 0;
    int wrongPupils = 0;
};

QString percent(double value)
{
    return polishDecimal(value, 0) + u'%';
}

QString mean(double value)
{
    return polishDecimal(value, 2);
}

} // namespace

namespace {

// What the pupils chose, counted in one pass: per keyed task and part.
struct Tally {
    QList<QList<PartCounts>> parts;
    QList<int> known;
    QList<qint64> points;
    int present = 0;
};

void countPupil(Tally &tally, const PupilResult &pupil, const TestDefinition &test, const QList<int> &keyed)
{
    ++tally.present;
    for (qsizetype k = 0; k < keyed.size(); ++k)
        tally.points[k] += pupil.taskPoints.value(keyed[k]);
    if (pupil.choices.isEmpty())
        return;
    const int total = pupilTotal(pupil, test);
    for (qsizetype k = 0; k < keyed.size(); ++k) {
        const ChosenAnswer &answer = pupil.choices.value(keyed[k]);
        if (!answer.known)
            continue;
        ++tally.known[k];
        const TaskKey &key = test.keyOf(keyed[k]);
        for (qsizetype p = 0; p < key.parts(); ++p) {
            PartCounts &part = tally.parts[k][p];
            const int symbol = answer.answerAt(p);
            if (symbol < 0) {
                ++part.none;
                continue;
            }
            ++part.chosen[symbol];
            const bool right = key.answers.at(symbol) == key.key.at(p);
            (right ? part.keySum : part.wrongSum) += total;
            ++(right ? part.keyPupils : part.wrongPupils);
        }
    }
}

Tally emptyTally(const TestDefinition &test, const QList<int> &keyed)
{
    Tally tally{QList<QList<PartCounts>>(keyed.size()), QList<int>(keyed.size()), QList<qint64>(keyed.size()),
                0};
    for (qsizetype k = 0; k < keyed.size(); ++k) {
        const TaskKey &key = test.keyOf(keyed[k]);
        tally.parts[k] =
            QList<PartCounts>(key.parts(), PartCounts{QList<int>(key.answers.size()), 0, 0, 0, 0, 0});
    }
    return tally;
}

Tally tallyChoices(const ClassResults &group, const TestDefinition &test, const QList<int> &keyed)
{
    Tally tally = emptyTally(test, keyed);
    for (const PupilResult &pupil : group.pupils)
        if (pupil.present)
            countPupil(tally, pupil, test, keyed);
    return tally;
}

void addTally(Tally &sum, const Tally &more)
{
    sum.present += more.present;
    for (qsizetype k = 0; k < sum.parts.size(); ++k) {
        sum.known[k] += more.known[k];
        sum.points[k] += more.points[k];
        for (qsizetype p = 0; p < sum.parts[k].size(); ++p) {
            PartCounts &to = sum.parts[k][p];
            const PartCounts &from = more.parts[k][p];
            for (qsizetype s = 0; s < to.chosen.size(); ++s)
                to.chosen[s] += from.chosen[s];
            to.none += from.none;
            to.keySum += from.keySum;
            to.keyPupils += from.keyPupils;
            to.wrongSum += from.wrongSum;
            to.wrongPupils += from.wrongPupils;
        }
    }
}

ChoicePart partFigures(const PartCounts &c, QChar key, const QString &answers, int known)
{
    ChoicePart part{key, answers, {}, 0, std::nullopt, std::nullopt};
    const double base = known > 0 ? 100.0 / known : 0;
    for (const int n : c.chosen)
        part.shares.append(n * base);
    part.noAnswer = c.none * base;
    if (c.keyPupils > 0)
        part.keyMean = double(c.keySum) / c.keyPupils;
    if (c.wrongPupils > 0)
        part.wrongMean = double(c.wrongSum) / c.wrongPupils;
    return part;
}

} // namespace

namespace {
QList<int> keyedTasks(const TestDefinition &test)
{
    QList<int> keyed;
    for (qint32 t = 0; t < test.taskCount; ++t)
        if (test.keyOf(t).isKeyed())
            keyed.append(t);
    return keyed;
}

ChoiceTable tableOf(const Tally &tally, const TestDefinition &test, const QList<int> &keyed)
{
    ChoiceTable table;
    for (const int t : keyed)
        for (const QChar c : test.keyOf(t).answers)
            if (!table.symbols.contains(c))
                table.symbols.append(c);
    for (qsizetype k = 0; k < keyed.size(); ++k) {
        const int t = keyed[k];
        const TaskKey &key = test.keyOf(t);
        const qint64 most = qint64(tally.present) * test.taskMaxPoints.value(t);
        ChoiceTask task{t,
                        test.taskLabels.value(t),
                        key.key,
                        tally.known[k],
                        most > 0 ? std::optional<double>(double(tally.points[k]) / double(most))
                                 : std::nullopt,
                        {}};
        table.anyKnown = table.anyKnown || tally.known[k] > 0;
        for (qsizetype p = 0; p < key.parts(); ++p)
            task.parts.append(partFigures(tally.parts[k][p], key.key[p], key.answers, tally.known[k]));
        table.tasks.append(task);
    }
    return table;
}
} // namespace

ChoiceTables choiceTables(const QList<ClassResults> &classes, const TestDefinition &test)
{
    const QList<int> keyed = keyedTasks(test);
    ChoiceTables tables;
    Tally sum = emptyTally(test, keyed);
    for (const ClassResults &group : classes) {
        const Tally own = tallyChoices(group, test, keyed);
        addTally(sum, own);
        if (classes.size() > 1)
            tables.classes.append(tableOf(own, test, keyed));
    }
    tables.group = tableOf(sum, test, keyed);
    return tables;
}

ChoiceTable choiceTable(const QList<ClassResults> &classes, const TestDefinition &test)
{
    return choiceTables(classes, test).group;
}

QString choicePartName(const ChoiceTask &task, qsizetype part)
{
    return task.parts.size() > 1 ? QStringLiteral("%1 (część %2)").arg(task.label).arg(part + 1) : task.label;
}

QStringList popularWrongAnswers(const ChoiceTable &table)
{
    QStringList sentences;
    for (const ChoiceTask &task : table.tasks) {
        if (task.known == 0)
            continue;
        for (qsizetype p = 0; p < task.parts.size(); ++p) {
            const ChoicePart &part = task.parts[p];
            const double keyShare = part.shares.value(part.answers.indexOf(part.key));
            for (qsizetype s = 0; s < part.answers.size(); ++s)
                if (part.answers[s] != part.key && part.shares[s] > keyShare)
                    sentences.append(
                        QStringLiteral("%1: odpowiedź %2 wybrało %3 uczniów, a poprawną %4 – %5.")
                            .arg(choicePartName(task, p), QString(part.answers[s]), percent(part.shares[s]),
                                 QString(part.key), percent(keyShare)));
        }
    }
    return sentences;
}

QStringList keysToCheck(const ChoiceTable &table)
{
    QStringList sentences;
    for (const ChoiceTask &task : table.tasks) {
        for (qsizetype p = 0; p < task.parts.size(); ++p) {
            const ChoicePart &part = task.parts[p];
            if (part.keyMean && part.wrongMean && *part.wrongMean > *part.keyMean)
                sentences.append(QStringLiteral("%1 – sprawdź klucz (%2): uczniowie, którzy wybrali błędną "
                                                "odpowiedź, mają średnio %3 pkt z całego testu, a ci, którzy "
                                                "wybrali klucz – %4 pkt.")
                                     .arg(choicePartName(task, p), QString(part.key), mean(*part.wrongMean),
                                          mean(*part.keyMean)));
        }
    }
    return sentences;
}
