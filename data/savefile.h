// Files are replaced whole or not at all: a failed write leaves the previous file as it was.
#pragma once

#include <QByteArray>
#include <QString>

bool writeFileAtomically(const QString &path, const QByteArray &bytes);

enum class ReadStatus { Ok, Missing, Failed };

// Missing: no such file (not an error for the callers); Failed: it exists but cannot be read.
ReadStatus readWholeFile(const QString &path, QByteArray *bytes);
