#include "gridfile.h"

#include "cp1250.h"
#include "numbers.h"

QByteArray gridFileBytes(const GridRows &rows)
{
    QString text;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        if (r > 0)
            text += QStringLiteral("\r\n");
        for (const QString &cell : rows.at(r)) {
            text += cell.isEmpty() || cell == u" " ? QStringLiteral("-") : cell;
            text += u';';
        }
    }
    return cp1250::encode(text);
}

bool isPresentMark(const QString &mark)
{
    return mark == QStringLiteral("T") || mark == QStringLiteral("t");
}

GridRows parseGridFile(const QByteArray &windows1250Bytes)
{
    GridRows rows;
    qsizetype lineStart = 0;
    // A final line feed ends the last line; it does not begin another.
    while (lineStart < windows1250Bytes.size()) {
        qsizetype lineEnd = windows1250Bytes.indexOf('\n', lineStart);
        if (lineEnd < 0)
            lineEnd = windows1250Bytes.size();
        QStringList fields;
        qsizetype fieldStart = lineStart;
        for (qsizetype i = lineStart; i < lineEnd; ++i) {
            if (windows1250Bytes.at(i) == ';') {
                fields.append(cp1250::decode(windows1250Bytes.sliced(fieldStart, i - fieldStart)));
                fieldStart = i + 1;
            }
        }
        rows.append(fields);
        lineStart = lineEnd + 1;
    }
    return rows;
}

QByteArray statisticsFileBytes(const QList<float> &averages, const QList<float> &facilities)
{
    QByteArray bytes;
    for (const float value : averages)
        bytes += formatFixed2(value) + ';';
    bytes += "\r\n";
    for (const float value : facilities)
        bytes += formatFixed2(value) + ';';
    return bytes;
}
