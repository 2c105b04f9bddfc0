// The semicolon-separated report a teacher opens in a spreadsheet.
#pragma once

#include "files/gridfile.h"

#include <QByteArray>
#include <QString>

#include <optional>

struct ReportContent {
    QString testName;
    QString testDate;
    QString firstCaption;
    GridRows firstGrid;
    QString secondCaption;
    GridRows secondGrid;

    friend bool operator==(const ReportContent &, const ReportContent &) = default;
};

// Windows-1250, CR LF after every line including the last; an empty cell is " ;".
QByteArray reportBytes(const ReportContent &report, bool *encodable = nullptr);

// The content reportBytes wrote: nullopt unless reportBytes of the result gives the same bytes
// back, and unless each grid's rows are equally wide (a ';' typed into a cell would shift every
// figure after it). A blank cell reads back empty, as a spreadsheet takes both.
std::optional<ReportContent> parseReport(const QByteArray &bytes);

// The school page names the rows of both its grids "Klasa"; its summary file and report keep the
// heading their readers have always known.
GridRows withSchoolFileHeading(GridRows rows);
GridRows withSchoolPageHeading(GridRows rows);
