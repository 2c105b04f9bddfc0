// A Setup.ini of a test's own, written into its temporary folder.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

// Writes content as the folder's Setup.ini, replacing any earlier one, and gives its path.
inline QString writeSetupIni(const QTemporaryDir &dir, const QByteArray &content)
{
    const QString path = dir.filePath(QStringLiteral("Setup.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        qFatal("cannot write Setup.ini");
    return path;
}
