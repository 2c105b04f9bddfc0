// Which answer the pupils chose in each keyed closed task: the share of every answer, of no answer,
// and what the wrong answers tell the teacher (a misconception many share, a key to check).
#pragma once

#include "analysis/analysis.h"
#include "analysis/testdefinition.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One part of a keyed task (the task itself when it has one part).
struct ChoicePart {
    QChar key;
    QString answers;
    QList<double> shares; // per cent of the pupils whose answer is known, per symbol of answers
    double noAnswer = 0;  // per cent with no readable answer to this part (empty, X or -)
    // The mean total on the whole test of the pupils who chose the key, and of those who chose a
    // wrong answer; none when nobody did.
    std::optional<double> keyMean;
    std::optional<double> wrongMean;
};

struct ChoiceTask {
    int task = 0; // from 0
    QString label;
    QString key;
    int known = 0; // present pupils whose answer to the task is known
    std::optional<double> facility;
    QList<ChoicePart> parts;
};

struct ChoiceTable {
    bool anyKnown = false; // some present pupil's answer to some keyed task is known
    QString symbols;       // every task's answer symbols, in the order they first appear
    QList<ChoiceTask> tasks;
};

// The keyed tasks of the test over the present pupils of the classes; a task's facility as the task
// table has it: its points over its maximum, over every present pupil.
ChoiceTable choiceTable(const QList<ClassResults> &classes, const TestDefinition &test);
// The same, and for more than one class each class's too, every pupil counted once.
struct ChoiceTables {
    ChoiceTable group;
    QList<ChoiceTable> classes;
};
ChoiceTables choiceTables(const QList<ClassResults> &classes, const TestDefinition &test);

// A task's (or a part's) name in the sentences: "Zad.3", "Zad.5 (część 2)".
QString choicePartName(const ChoiceTask &task, qsizetype part);
// The wrong answers that drew more pupils than the key, a sentence each.
QStringList popularWrongAnswers(const ChoiceTable &table);
// The parts whose wrong answers were chosen by pupils with a higher mean total than the key's.
QStringList keysToCheck(const ChoiceTable &table);
