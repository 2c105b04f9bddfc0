// The teacher's own folder of test definitions, ~/.local/share/Sondaryk/Testy by the XDG rules:
// filled with the example tests shipped beside the program the first time it is needed.
#pragma once

#include "files/savefile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

struct UserTest {
    QString path;
    QString name; // NazwaTestu
    QString date; // DataTestu
};

// GenericDataLocation/Sondaryk/Testy.
QString userTestsFolder();
// The example tests shipped with the program: Testy beside its executable.
QString exampleTestsFolder();

// When the folder does not exist yet, creates it and copies every *.ini of examplesFolder into it;
// an existing folder is left as it is, so tests the teacher deleted do not come back. False, with
// the reason in Polish in *error, when the folder cannot be made or a copy cannot be written.
bool prepareUserTestsFolder(const QString &examplesFolder = exampleTestsFolder(), QString *error = nullptr);

// The folder's *.ini files with their test's name and date, sorted by file name; empty when the
// folder is missing.
QList<UserTest> listUserTests();

// Writes the definition as fileName (".ini" added when missing) in the folder, made if needed,
// through the one writer; the path written in *path.
WriteResult writeUserTest(const QString &fileName, const QByteArray &windows1250Bytes,
                          QString *path = nullptr);

// A definition file the teacher chose, anywhere; nullopt, with the Polish message for the window in
// *error, when it cannot be read or is far larger than a definition.
std::optional<QByteArray> readTestFile(const QString &path, QString *error);
// Writes a definition at path (".ini" added when the name has none), whole or not at all; false,
// with the Polish message in *error, when it could not be written.
bool writeTestFile(const QString &path, const QByteArray &windows1250Bytes, QString *error);
