// Reading and writing whole files in tests, and the application set up as the program sets it up.
#pragma once

#include "ui/appearance.h"
#include "ui/seams.h"
#include "workbook/tfwyniki.h"

#include <QApplication>
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

inline void setUpApplication()
{
    applyProgramLook(*qobject_cast<QApplication *>(QCoreApplication::instance()));
    // No real folder dialog may ever open in a test.
    ui::folderChooser = [](QWidget *, const QString &, const QString &) { return QString(); };
}
