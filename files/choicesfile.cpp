#include "files/choicesfile.h"

#include "core/cp1250.h"

QByteArray choicesFileBytes(const GridRows &rows)
{
    QString text;
    for (const QStringList &row : rows)
        text += row.join(u';') + QStringLiteral("\r\n");
    return cp1250::encode(text);
}

std::optional<GridRows> parseChoicesFile(const QByteArray &windows1250Bytes, const GridLimits &limits)
{
    if (windows1250Bytes.size() > limits.bytes)
        return std::nullopt;
    QStringList lines = cp1250::decode(windows1250Bytes).split(u'\n');
    // The line break after the last line leaves one empty piece.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() > limits.rows)
        return std::nullopt;
    GridRows rows;
    rows.reserve(lines.size());
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        QStringList fields = line.split(u';');
        if (fields.size() > limits.fields)
            return std::nullopt;
        rows.append(std::move(fields));
    }
    return rows;
}
