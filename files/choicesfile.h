// Wybory.tmp: the symbols each pupil chose in the keyed closed tasks, beside the class's answers
// file, which keeps the points. One line per pupil row in the page's order: the pupil's code, then
// one field per task, all parted by ";", each line ended by CR LF.
#pragma once

#include "files/gridfile.h"

#include <QByteArray>

#include <QList>
#include <QString>
#include <QStringView>

QByteArray choicesFileBytes(const GridRows &rows);

// The lines' fields as views into the file's decoded text, which must outlive them: a class at the
// program's limits has 200,000 fields, read at every analysis. A LF without CR ends a line too.
struct ChoicesFile {
    QString text;
    QList<QList<QStringView>> lines;
};
// Nullopt beyond the limits (a damaged file must cost neither memory nor time).
std::optional<ChoicesFile> parseChoicesFile(const QByteArray &windows1250Bytes, const GridLimits &limits);
