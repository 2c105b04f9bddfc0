// The key of a closed task and what a pupil chose in it. A keyed task has one symbol per part in its
// key ("B"; "PF" for two true/false statements; "CA" for two pairs to match) and one set of symbols
// every part may be answered with ("ABCD", "PF"). A pupil's cell holds the symbols chosen, one per
// part, "X" for a mark that cannot be read and "-" for a part left blank; an empty cell is no
// answer at all. Points typed instead are still taken: the letters are then unknown.
#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>
#include <optional>

struct TaskKey {
    QString key;     // upper case, one symbol per part; empty: the task has no key
    QString answers; // the symbols each part may be answered with, upper case
    // One point per right part (the task's maximum is its number of parts); otherwise all parts right
    // give the maximum and anything less none.
    bool pointPerPart = false;

    bool isKeyed() const { return !key.isEmpty(); }
    qsizetype parts() const { return key.size(); }
};

namespace closedanswers {
// A symbol for a part whose mark cannot be read, and one for a part left blank.
constexpr char16_t unreadable = u'X';
constexpr char16_t blank = u'-';
// The most parts a key may have (more than an exam's task ever has), and the most symbols a part
// may be answered with: what a pupil chose is then kept in 8 bytes (a large school has millions of
// answers).
constexpr qsizetype maxParts = 6;
constexpr qsizetype maxAnswers = 26;

// The answers a key implies when none are given: "PF" for true/false statements, otherwise A to D,
// or to the key's last letter when that is later (X left out: it marks an unreadable mark).
QString defaultAnswers(const QString &key);

// Why a task's key cannot be used (a Polish sentence), or an empty text. maxPoints: the task's.
QString keyProblem(const TaskKey &key, qint32 maxPoints);

// The points a key gives for the symbols chosen (normalised, see readCell).
qint32 pointsFor(const TaskKey &key, const QString &chosen, qint32 maxPoints);
} // namespace closedanswers

// A keyed task's cell as typed.
struct ClosedCell {
    enum class Kind {
        Points,  // a number (or nothing but a sign): the points path checks it, letters unknown
        Chosen,  // the symbols chosen, normalised to upper case; empty for no answer
        Refused, // a symbol outside the answers or the wrong number of parts
    };
    Kind kind = Kind::Points;
    QString chosen;
};

// An empty or blank cell, or "-", is no answer; a cell starting with a digit or a sign and a digit
// is points; anything else is symbols, one per part, upper or lower case.
ClosedCell readClosedCell(const QString &text, const TaskKey &key);

// What one pupil chose in one keyed task: known when the cell held symbols (or nothing), not when
// the teacher typed points. Each part's symbol is kept as its place in the key's answers.
struct ChosenAnswer {
    static constexpr quint8 blankPart = 0xFE;      // "-"
    static constexpr quint8 unreadablePart = 0xFF; // "X"

    bool known = false;
    quint8 parts = 0; // 0: no answer
    std::array<quint8, closedanswers::maxParts> symbols{};

    // Part p's place in the key's answers; -1 for a part left blank or unreadable.
    int answerAt(qsizetype p) const
    {
        return p < parts && symbols[std::size_t(p)] < blankPart ? symbols[std::size_t(p)] : -1;
    }
    friend bool operator==(const ChosenAnswer &, const ChosenAnswer &) = default;
};
static_assert(sizeof(ChosenAnswer) == 8);

namespace closedanswers {
// The symbols chosen (one per part, upper case, as readClosedCell gives them; empty for no answer)
// as kept; nullopt when the key does not take them.
std::optional<ChosenAnswer> chosenAnswer(QStringView chosen, const TaskKey &key);
// A Wybory.tmp field read as a typed cell is; nullopt for points or symbols the key refuses.
std::optional<ChosenAnswer> readChosenField(QStringView field, const TaskKey &key);
// The symbols as typed back: "B", "P-", "X"; empty for no answer.
QString chosenText(const ChosenAnswer &answer, const TaskKey &key);
qint32 pointsFor(const TaskKey &key, const ChosenAnswer &answer, qint32 maxPoints);
} // namespace closedanswers
