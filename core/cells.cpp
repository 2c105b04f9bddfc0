#include "core/cells.h"

QString asTypedCell(const QString &text)
{
    QString kept;
    kept.reserve(std::min(text.size(), maxCellLength));
    for (const QChar c : text) {
        if (kept.size() >= maxCellLength)
            break;
        if (isAllowedInCell(c))
            kept.append(c);
    }
    return kept;
}

QList<QStringList> parseCellBlock(const QString &text)
{
    QList<QStringList> rows;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text.at(end) != u'\n' && text.at(end) != u'\r')
            ++end;
        rows.append(text.sliced(start, end - start).split(u'\t'));
        if (end + 1 < text.size() && text.at(end) == u'\r' && text.at(end + 1) == u'\n')
            ++end;
        start = end + 1;
    }
    return rows;
}

QString cellBlockText(const QList<QStringList> &rows)
{
    QString text;
    for (const QStringList &row : rows)
        text += row.join(u'\t') + u'\n';
    return text;
}

namespace {

// Polish plurals: the form for 1, for 2-4 (not 12-14), and for the rest.
QString counted(int count, const QString &one, const QString &few, const QString &many)
{
    const int tens = count % 100;
    const int units = count % 10;
    const QString &form = count == 1                                               ? one
                          : (units >= 2 && units <= 4 && (tens < 12 || tens > 14)) ? few
                                                                                   : many;
    return QString::number(count) + u' ' + form;
}

} // namespace

QString rowsText(int count)
{
    return counted(count, QStringLiteral("wiersz"), QStringLiteral("wiersze"), QStringLiteral("wierszy"));
}

QString columnsText(int count)
{
    return counted(count, QStringLiteral("kolumnę"), QStringLiteral("kolumny"), QStringLiteral("kolumn"));
}

QString leftOutMessage(int rows, int columns)
{
    QStringList parts;
    if (rows > 0)
        parts.append(rowsText(rows));
    if (columns > 0)
        parts.append(columnsText(columns));
    return QStringLiteral("Wklejony blok nie zmieścił się w tabeli: pominięto %1.")
        .arg(parts.join(QStringLiteral(" i ")));
}
