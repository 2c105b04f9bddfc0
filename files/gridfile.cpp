#include "files/gridfile.h"

#include "core/cp1250.h"
#include "core/numbers.h"
#include "files/savefile.h"

#include <algorithm>
#include <array>
#include <limits>

QByteArray gridFileBytes(const GridRows &rows)
{
    QString text;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        if (r > 0)
            text += QStringLiteral("\r\n");
        for (const QString &cell : rows.at(r)) {
            text += isEmptyCell(cell) ? QStringLiteral("-") : cell;
            text += u';';
        }
    }
    return cp1250::encode(text);
}

GridRows parseGridFile(const QByteArray &windows1250Bytes)
{
    const qsizetype unlimited = std::numeric_limits<qsizetype>::max();
    return *parseGridFileWithin(windows1250Bytes, GridLimits{unlimited, unlimited, unlimited});
}

GridLimits gridLimitsFor(qsizetype rows, qsizetype columns)
{
    constexpr qsizetype spare = 64;
    // A cell typed by hand is short, but task labels from Setup.ini may be long: 256 bytes a cell
    // on average and a megabyte besides is far more than any real file needs.
    constexpr qint64 bytesPerCell = 256;
    constexpr qint64 baseBytes = 1024 * 1024;
    GridLimits limits;
    limits.rows = 4 * std::max<qsizetype>(rows, 0) + spare;
    limits.fields = 4 * std::max<qsizetype>(columns, 0) + spare;
    limits.bytes =
        std::min<qint64>(maxReadSize, baseBytes + qint64(limits.rows) * limits.fields * bytesPerCell);
    return limits;
}

std::optional<GridRows> parseGridFileWithin(const QByteArray &windows1250Bytes, const GridLimits &limits)
{
    if (windows1250Bytes.size() > limits.bytes)
        return std::nullopt;
    GridRows rows;
    const char *const bytes = windows1250Bytes.constData();
    // Most cells are one ASCII character (points, marks, "-"): each such text is made once and
    // shared, not allocated again for every cell of a large file.
    std::array<QString, 128> single;
    qsizetype lineStart = 0;
    qsizetype width = 0;
    // A final line feed ends the last line; it does not begin another.
    while (lineStart < windows1250Bytes.size()) {
        if (rows.size() >= limits.rows)
            return std::nullopt;
        qsizetype lineEnd = windows1250Bytes.indexOf('\n', lineStart);
        if (lineEnd < 0)
            lineEnd = windows1250Bytes.size();
        QStringList fields;
        fields.reserve(std::min(width, limits.fields));
        qsizetype fieldStart = lineStart;
        for (qsizetype i = lineStart; i < lineEnd; ++i) {
            if (bytes[i] != ';')
                continue;
            if (fields.size() >= limits.fields)
                return std::nullopt;
            const auto first = static_cast<unsigned char>(bytes[fieldStart]);
            if (i - fieldStart == 1 && first < 0x80) {
                QString &shared = single[first];
                if (shared.isNull())
                    shared = cp1250::decode(QByteArrayView(bytes + fieldStart, 1));
                fields.append(shared);
            } else {
                fields.append(cp1250::decode(QByteArrayView(bytes + fieldStart, i - fieldStart)));
            }
            fieldStart = i + 1;
        }
        width = std::max(width, fields.size());
        rows.append(std::move(fields));
        lineStart = lineEnd + 1;
    }
    return rows;
}

GridFit gridFit(const GridRows &rows, qsizetype gridRows, qsizetype gridColumns)
{
    GridFit fit;
    fit.narrowest = -1;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QStringList &fields = rows[r];
        if (fields.isEmpty())
            continue;
        fit.widest = std::max(fit.widest, fields.size());
        fit.narrowest = fit.narrowest < 0 ? fields.size() : std::min(fit.narrowest, fields.size());
        if (r < gridRows)
            continue;
        // The first field is the line's number, and a class's third says "present" by default: a
        // line of a pupil never typed in holds nothing else.
        for (qsizetype c = 1; c < fields.size(); ++c) {
            if (!isBlankCell(fields[c]) && !(c == 2 && fields[c].compare(u"T", Qt::CaseInsensitive) == 0)) {
                ++fit.rowsBeyond;
                break;
            }
        }
    }
    if (fit.narrowest < 0)
        fit.narrowest = 0;
    fit.fits = fit.rowsBeyond == 0 && fit.widest <= gridColumns;
    fit.exact = fit.fits && (fit.widest == 0 || (fit.widest == gridColumns && fit.narrowest == gridColumns));
    return fit;
}
