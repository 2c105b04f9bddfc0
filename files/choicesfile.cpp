#include "files/choicesfile.h"

#include "core/cp1250.h"

#include <algorithm>

QByteArray choicesFileBytes(const GridRows &rows)
{
    QString text;
    for (const QStringList &row : rows)
        text += row.join(u';') + QStringLiteral("\r\n");
    return cp1250::encode(text);
}

std::optional<ChoicesFile> parseChoicesFile(const QByteArray &windows1250Bytes, const GridLimits &limits)
{
    if (windows1250Bytes.size() > limits.bytes)
        return std::nullopt;
    std::optional<ChoicesFile> file(std::in_place);
    // The text is not touched again: the views stay on its one buffer wherever the file is moved.
    file->text = cp1250::decode(windows1250Bytes);
    QStringView rest(file->text);
    // The line break after the last line ends it; it does not start another.
    while (!rest.isEmpty()) {
        if (file->lines.size() == limits.rows)
            return std::nullopt;
        const qsizetype end = rest.indexOf(u'\n');
        QStringView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QStringView() : rest.sliced(end + 1);
        if (line.endsWith(u'\r'))
            line.chop(1);
        QList<QStringView> fields;
        // Every line of a class has as many fields as the one before.
        fields.reserve(file->lines.isEmpty() ? 0 : std::min(file->lines.last().size(), limits.fields));
        for (qsizetype from = 0;;) {
            if (fields.size() == limits.fields)
                return std::nullopt;
            const qsizetype semicolon = line.indexOf(u';', from);
            fields.append(line.sliced(from, (semicolon < 0 ? line.size() : semicolon) - from));
            if (semicolon < 0)
                break;
            from = semicolon + 1;
        }
        file->lines.append(std::move(fields));
    }
    return file;
}
