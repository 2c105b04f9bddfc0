// The semicolon-separated report a teacher opens in a spreadsheet.
#pragma once

#include "files/gridfile.h"

#include <QByteArray>
#include <QString>

struct ReportContent {
    QString testName;
    QString testDate;
    QString firstCaption;
    GridRows firstGrid;
    QString secondCaption;
    GridRows secondGrid;
};

// Windows-1250, CR LF after every line including the last; an empty cell is " ;".
QByteArray reportBytes(const ReportContent &report, bool *encodable = nullptr);
