#include "core/closedanswers.h"

namespace {
bool isTrueFalse(const QString &symbols)
{
    for (const QChar c : symbols)
        if (c != u'P' && c != u'F')
            return false;
    return !symbols.isEmpty();
}

bool startsAsNumber(const QString &text)
{
    if (text.isEmpty())
        return false;
    if (text.front().isDigit())
        return true;
    return (text.front() == u'+' || text.front() == u'-') && text.size() > 1 && text.at(1).isDigit();
}
} // namespace

namespace closedanswers {
QString defaultAnswers(const QString &key)
{
    if (isTrueFalse(key))
        return QStringLiteral("PF");
    char16_t last = u'D';
    for (const QChar c : key)
        if (c >= u'A' && c <= u'Z' && c.unicode() > last)
            last = c.unicode();
    QString answers;
    // X marks an answer that cannot be read, never an answer of its own.
    for (char16_t c = u'A'; c <= last; ++c)
        if (c != unreadable)
            answers.append(QChar(c));
    return answers;
}

QString keyProblem(const TaskKey &key, qint32 maxPoints)
{
    if (!key.isKeyed())
        return {};
    if (key.parts() > maxParts)
        return QStringLiteral("Klucz może mieć najwyżej %1 części.").arg(maxParts);
    if (key.answers.size() > maxAnswers)
        return QStringLiteral("Odpowiedzi do wyboru może być najwyżej %1.").arg(maxAnswers);
    for (const QChar c : key.answers) {
        if (!c.isLetter() || c == QChar(unreadable))
            return QStringLiteral("Odpowiedzi mogą być tylko literami innymi niż X (X oznacza "
                                  "odpowiedź nieczytelną).");
        if (key.answers.count(c) > 1)
            return QStringLiteral("Odpowiedź %1 powtarza się w odpowiedziach „%2”.").arg(c).arg(key.answers);
    }
    for (const QChar c : key.key)
        if (!key.answers.contains(c))
            return QStringLiteral("Klucz „%1” zawiera %2, której nie ma wśród odpowiedzi „%3”.")
                .arg(key.key, QString(c), key.answers);
    if (key.pointPerPart && maxPoints != key.parts())
        return QStringLiteral("Punkt za każdą część wymaga, by zadanie miało tyle punktów, ile części "
                              "ma klucz (%1).")
            .arg(key.parts());
    return {};
}

qint32 pointsFor(const TaskKey &key, const QString &chosen, qint32 maxPoints)
{
    qint32 right = 0;
    for (qsizetype p = 0; p < key.parts() && p < chosen.size(); ++p)
        if (chosen.at(p) == key.key.at(p))
            ++right;
    if (key.pointPerPart)
        return right;
    return right == key.parts() ? maxPoints : 0;
}
} // namespace closedanswers

ClosedCell readClosedCell(const QString &text, const TaskKey &key)
{
    // Most cells need no trimming, and trimming a string makes a new one.
    const bool padded = !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
    const QString trimmed = padded ? text.trimmed() : text;
    if (trimmed.isEmpty() || trimmed == QStringLiteral("-"))
        return {ClosedCell::Kind::Chosen, {}};
    if (startsAsNumber(trimmed))
        return {ClosedCell::Kind::Points, {}};
    const QString chosen = trimmed.toUpper();
    // "--" for two statements is no answer at all, as an empty cell is.
    if (chosen.count(QChar(closedanswers::blank)) == chosen.size())
        return {ClosedCell::Kind::Chosen, {}};
    if (chosen.size() != key.parts())
        return {ClosedCell::Kind::Refused, chosen};
    for (const QChar c : chosen)
        if (c != QChar(closedanswers::unreadable) && c != QChar(closedanswers::blank) &&
            !key.answers.contains(c))
            return {ClosedCell::Kind::Refused, chosen};
    return {ClosedCell::Kind::Chosen, chosen};
}

namespace closedanswers {
std::optional<ChosenAnswer> chosenAnswer(QStringView chosen, const TaskKey &key)
{
    ChosenAnswer answer;
    answer.known = true;
    if (chosen.isEmpty())
        return answer;
    if (chosen.size() != key.parts() || key.parts() > maxParts)
        return std::nullopt;
    answer.parts = quint8(chosen.size());
    for (qsizetype p = 0; p < chosen.size(); ++p) {
        const QChar c = chosen[p];
        const qsizetype at = key.answers.indexOf(c);
        if (at >= 0 && at < maxAnswers)
            answer.symbols[std::size_t(p)] = quint8(at);
        else if (c == QChar(blank))
            answer.symbols[std::size_t(p)] = ChosenAnswer::blankPart;
        else if (c == QChar(unreadable))
            answer.symbols[std::size_t(p)] = ChosenAnswer::unreadablePart;
        else
            return std::nullopt;
    }
    return answer;
}

std::optional<ChosenAnswer> readChosenField(QStringView field, const TaskKey &key)
{
    // The file holds what Compute wrote, symbols in upper case: read without a copy. Anything else
    // (edited by hand) is read as the typed cell would be.
    bool plain = field.size() == key.parts();
    for (const QChar c : field)
        plain = plain && c.unicode() > u' ' && c != QChar(blank) && !c.isLower();
    if (plain)
        return chosenAnswer(field, key);
    const ClosedCell cell = readClosedCell(field.toString(), key);
    if (cell.kind != ClosedCell::Kind::Chosen)
        return std::nullopt;
    return chosenAnswer(cell.chosen, key);
}

QString chosenText(const ChosenAnswer &answer, const TaskKey &key)
{
    QString text;
    text.reserve(answer.parts);
    for (qsizetype p = 0; p < answer.parts; ++p) {
        const quint8 symbol = answer.symbols[std::size_t(p)];
        text.append(symbol == ChosenAnswer::blankPart        ? QChar(blank)
                    : symbol == ChosenAnswer::unreadablePart ? QChar(unreadable)
                                                             : key.answers.at(symbol));
    }
    return text;
}

qint32 pointsFor(const TaskKey &key, const ChosenAnswer &answer, qint32 maxPoints)
{
    qint32 right = 0;
    for (qsizetype p = 0; p < key.parts() && p < answer.parts; ++p) {
        const int at = answer.answerAt(p);
        if (at >= 0 && key.answers.at(at) == key.key.at(p))
            ++right;
    }
    if (key.pointPerPart)
        return right;
    return right == key.parts() ? maxPoints : 0;
}
} // namespace closedanswers
