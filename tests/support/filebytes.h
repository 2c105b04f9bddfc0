// Reading and writing whole files in tests; Qt Core only, so that a test of any folder may use it.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The file's bytes, or a text naming it when it is missing, so that a comparison shows which.
inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing: ") + path.toUtf8() + '>';
    return file.readAll();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}
