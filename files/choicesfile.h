// Wybory.tmp: the symbols each pupil chose in the keyed closed tasks, beside the class's answers
// file, which keeps the points. One line per pupil row in the page's order: the pupil's code, then
// one field per task, all parted by ";", each line ended by CR LF.
#pragma once

#include "files/gridfile.h"

#include <QByteArray>

QByteArray choicesFileBytes(const GridRows &rows);
// The lines' fields; a LF without CR ends a line too. Nullopt beyond the limits (a damaged file must
// cost neither memory nor time).
std::optional<GridRows> parseChoicesFile(const QByteArray &windows1250Bytes, const GridLimits &limits);
