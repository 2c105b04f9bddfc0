// Windows-1250: the code page of every file the program reads or writes.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace cp1250 {

QString decode(QByteArrayView bytes);

// Characters the code page cannot hold become '?' and *ok is set to false.
QByteArray encode(const QString &text, bool *ok = nullptr);

bool canEncode(QChar c);
bool canEncode(const QString &text);

} // namespace cp1250
