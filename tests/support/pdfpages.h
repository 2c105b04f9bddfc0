// What a PDF file written by Qt says of its pages, read from its bytes.
#pragma once

#include <QByteArray>
#include <QRegularExpression>
#include <QStringList>

// The pages of a PDF file and their sizes in points, as "595x842" (A4 portrait).
inline QStringList pdfPages(const QByteArray &pdf)
{
    QStringList pages;
    static const QRegularExpression page(
        QStringLiteral(R"(/Type\s*/Page\b[^>]*?/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])"));
    auto it = page.globalMatch(QString::fromLatin1(pdf));
    while (it.hasNext()) {
        const auto match = it.next();
        pages.append(QStringLiteral("%1x%2")
                         .arg(qRound(match.captured(1).toDouble()))
                         .arg(qRound(match.captured(2).toDouble())));
    }
    return pages;
}
