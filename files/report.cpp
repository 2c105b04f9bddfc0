#include "files/report.h"

#include "core/cp1250.h"

namespace {

void appendRows(QString &text, const GridRows &rows)
{
    for (const QStringList &row : rows) {
        for (const QString &cell : row) {
            text += cell.isEmpty() ? QStringLiteral(" ") : cell;
            text += QLatin1Char(';');
        }
        text += QStringLiteral("\r\n");
    }
}

} // namespace

QByteArray reportBytes(const ReportContent &report, bool *encodable)
{
    QString text;
    text += QStringLiteral("Wyniki uczniów z testu ") + report.testName + QStringLiteral("\r\n");
    text += QStringLiteral("Data: ") + report.testDate + QStringLiteral("\r\n");
    text += QStringLiteral("\r\n") + report.firstCaption + QStringLiteral("\r\n");
    appendRows(text, report.firstGrid);
    text += QStringLiteral("\r\n") + report.secondCaption + QStringLiteral("\r\n");
    appendRows(text, report.secondGrid);
    return cp1250::encode(text, encodable);
}
