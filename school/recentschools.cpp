#include "school/recentschools.h"

#include "analysis/testdefinition.h"
#include "files/schoolpaths.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace recentschools {
namespace {

const QString key = QStringLiteral("OstatnieSzkoly");
const QString testKey = QStringLiteral("OstatniTest");

void store(const QString &settingsFile, const QStringList &paths)
{
    QSettings settings(settingsFile, QSettings::IniFormat);
    settings.setValue(key, paths);
}

} // namespace

QString settingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Sondaryk/Sondaryk.conf");
}

QStringList load(const QString &settingsFile)
{
    const QSettings settings(settingsFile, QSettings::IniFormat);
    QStringList paths = settings.value(key).toStringList();
    paths.removeAll(QString());
    paths.removeDuplicates();
    return paths.mid(0, maxKept);
}

QStringList remember(const QString &settingsFile, const QString &path)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList paths = load(settingsFile);
    paths.removeAll(clean);
    paths.prepend(clean);
    paths = paths.mid(0, maxKept);
    store(settingsFile, paths);
    return paths;
}

Checked checkAndPrune(const QString &settingsFile)
{
    Checked checked;
    for (const QString &path : load(settingsFile)) {
        if (QFileInfo::exists(path + QLatin1Char('/') + schoolfiles::setup.toString()))
            checked.existing.append(path);
        else
            checked.missing.append(path);
    }
    if (!checked.missing.isEmpty())
        store(settingsFile, checked.existing);
    return checked;
}

QString schoolTestName(const QString &schoolFolder)
{
    const QString path = schoolFolder + QLatin1Char('/') + schoolfiles::test.toString();
    if (!QFileInfo(path).isFile())
        return QString();
    const TestDefinition test = loadTestDefinitionFrom(path);
    if (test.testName.isEmpty())
        return QString();
    return test.testDate.isEmpty() ? test.testName
                                   : QStringLiteral("%1, %2").arg(test.testName, test.testDate);
}

QString lastTest(const QString &settingsFile)
{
    const QSettings settings(settingsFile, QSettings::IniFormat);
    return settings.value(testKey).toString();
}

void rememberTest(const QString &settingsFile, const QString &path)
{
    QSettings settings(settingsFile, QSettings::IniFormat);
    settings.setValue(testKey, path);
}

} // namespace recentschools
