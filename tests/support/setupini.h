// A Setup.ini of a test's own, written into its temporary folder.
#pragma once

#include "tests/support/filebytes.h"

#include <QByteArray>
#include <QTemporaryDir>

// Writes content as the folder's Setup.ini, replacing any earlier one, and gives its path.
inline QString writeSetupIni(const QTemporaryDir &dir, const QByteArray &content)
{
    const QString path = dir.filePath(QStringLiteral("Setup.ini"));
    if (!writeBytes(path, content))
        qFatal("cannot write Setup.ini");
    return path;
}
