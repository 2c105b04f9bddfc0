#include "school/usertests.h"
#include "files/savefile.h"

#include "analysis/testdefinition.h"
#include "files/inifile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString userTestsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Sondaryk/Testy");
}

QString exampleTestsFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Testy");
}

bool prepareUserTestsFolder(const QString &examplesFolder, QString *error)
{
    const QString folder = userTestsFolder();
    if (QFileInfo::exists(folder))
        return true;
    if (!QDir().mkpath(folder)) {
        if (error)
            *error =
                QStringLiteral("Nie mogę utworzyć folderu testów %1.").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    const QStringList examples =
        QDir(examplesFolder).entryList({QStringLiteral("*.ini")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString &name : examples) {
        QByteArray bytes;
        const WriteResult written =
            readWholeFile(QDir(examplesFolder).filePath(name), &bytes, IniFile::maxFileSize) == ReadStatus::Ok
                ? writeFileAtomically(QDir(folder).filePath(name), bytes)
                : WriteResult{WriteStatus::Failed, QString()};
        if (!written) {
            if (error)
                *error = QStringLiteral("Nie mogę skopiować przykładowego testu %1 do folderu %2.")
                             .arg(name, QDir::toNativeSeparators(folder));
            return false;
        }
    }
    return true;
}

QList<UserTest> listUserTests()
{
    QList<UserTest> tests;
    const QDir folder(userTestsFolder());
    for (const QFileInfo &file :
         folder.entryInfoList({QStringLiteral("*.ini")}, QDir::Files | QDir::Readable, QDir::Name)) {
        const TestDefinition definition = loadTestDefinitionFrom(file.filePath());
        tests.append(UserTest{file.filePath(), definition.testName, definition.testDate});
    }
    return tests;
}

WriteResult writeUserTest(const QString &fileName, const QByteArray &windows1250Bytes, QString *path)
{
    const QString folder = userTestsFolder();
    QString name = QFileInfo(fileName).fileName();
    if (!name.endsWith(QStringLiteral(".ini"), Qt::CaseInsensitive))
        name += QStringLiteral(".ini");
    const QString target = QDir(folder).filePath(name);
    if (path)
        *path = target;
    if (!QDir().mkpath(folder))
        return WriteResult{WriteStatus::Failed, QStringLiteral("mkpath")};
    return writeFileAtomically(target, windows1250Bytes);
}

std::optional<QByteArray> readTestFile(const QString &path, QString *error)
{
    QByteArray bytes;
    if (readWholeFile(path, &bytes, IniFile::maxFileSize) == ReadStatus::Ok)
        return bytes;
    *error = QStringLiteral("Nie mogę odczytać pliku %1!").arg(QDir::toNativeSeparators(path));
    return std::nullopt;
}

bool writeTestFile(const QString &path, const QByteArray &windows1250Bytes, QString *error)
{
    const QString named = QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".ini") : path;
    if (writeFileAtomically(named, windows1250Bytes))
        return true;
    *error = QStringLiteral("Nie mogę zapisać pliku %1!").arg(QDir::toNativeSeparators(named));
    return false;
}
