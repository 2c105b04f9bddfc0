// Setup.ini and Szkola.ini as the program reads them: the INI reader itself (IniFile), the test
// definition, the analysis settings, the school file and the definition window's file, from whatever
// bytes the file holds.
#include "analysis/analysis.h"
#include "analysis/testdefinition.h"
#include "analysis/testdefinitionfile.h"
#include "core/cp1250.h"
#include "core/numbers.h"
#include "files/inifile.h"
#include "files/schoolfile.h"
#include "tests/fuzz/fuzzsupport.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

using fuzz::fail;
using fuzz::require;
using fuzz::scratchFileWith;

// No value can hold a line break, so this default tells an absent key from any present one.
const QString absent = QStringLiteral("\n(absent)\n");

// A plain model of the Windows rules, built differently from the reader (split into lines first):
// the value of the first key of the first section of each name, or nullopt.
std::optional<QString> modelValue(const QStringList &lines, const QString &section, const QString &key)
{
    auto trim = [](QString s) {
        while (!s.isEmpty() && (s.front() == u' ' || s.front() == u'\t'))
            s.remove(0, 1);
        while (!s.isEmpty() && (s.back() == u' ' || s.back() == u'\t'))
            s.chop(1);
        return s;
    };
    bool inSection = false;
    bool sectionSeen = false;
    for (const QString &raw : lines) {
        const QString line = trim(raw);
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.lastIndexOf(u']') > 0) {
            if (inSection)
                return std::nullopt; // only the first section of the name is searched
            const QString name = trim(line.mid(1, line.lastIndexOf(u']') - 1));
            inSection = !sectionSeen && name.compare(section, Qt::CaseInsensitive) == 0;
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inSection || equals < 0 || trim(line.left(equals)).compare(key, Qt::CaseInsensitive) != 0)
            continue;
        QString value = trim(line.mid(equals + 1));
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return value.left(IniFile::maxValueLength);
    }
    return std::nullopt;
}

// Section and key names worth asking for: the program's own, and the first few the input names.
QList<QPair<QString, QString>> probes(const QString &text)
{
    QList<QPair<QString, QString>> result = {
        {QStringLiteral("Ustawienia"), QStringLiteral("LiczbaZadan")},
        {QStringLiteral("Ustawienia"), QStringLiteral("LiczbaKlas")},
        {QStringLiteral("Zadanie1"), QStringLiteral("MaxPunktow")},
        {QStringLiteral("Staniny"), QStringLiteral("Stanin1")},
        {QStringLiteral("PrzedzialyLatwosci"), QStringLiteral("Trudne")},
    };
    QString section;
    int found = 0;
    static const QRegularExpression lineBreak(QStringLiteral("[\r\n]"));
    for (const QString &raw : text.split(lineBreak)) {
        if (found >= 12)
            break;
        const QString line = raw.trimmed();
        if (line.startsWith(u'[') && line.lastIndexOf(u']') > 0) {
            section = line.mid(1, line.lastIndexOf(u']') - 1).trimmed();
        } else if (line.contains(u'=')) {
            result.append({section, line.left(line.indexOf(u'=')).trimmed()});
            ++found;
        }
    }
    return result;
}

bool isAscii(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

void checkIni(const IniFile &ini, const IniFile &loaded, const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = text.split(lineBreak);
    for (const auto &probe : probes(text)) {
        const QString &section = probe.first;
        const QString &key = probe.second;
        const QString value = ini.readString(section, key, absent);
        const auto detail = [&section, &key] { return QStringLiteral("[%1] %2").arg(section, key); };
        require((value == absent) == !ini.hasKey(section, key), "readString and hasKey disagree", detail);
        require(loaded.readString(section, key, absent) == value, "load and fromBytes disagree", detail);
        require(value == modelValue(lines, section, key).value_or(absent),
                "readString disagrees with the model", detail);
        if (value == absent) {
            require(ini.readInteger(section, key, -7) == -7, "readInteger of an absent key", detail);
            require(ini.readBool(section, key, true) && !ini.readBool(section, key, false),
                    "readBool of an absent key", detail);
            continue;
        }
        require(value.size() <= IniFile::maxValueLength, "value too long", detail);
        const qint32 number = ini.readInteger(section, key, -7);
        require(number == parseInteger(value).value_or(-7), "readInteger disagrees with parseInteger",
                detail);
        require(ini.readBool(section, key, false) == (parseInteger(value).value_or(0) != 0),
                "readBool disagrees with readInteger", detail);
        if (isAscii(section) && isAscii(key)) {
            require(ini.readString(section.toUpper(), key.toLower(), absent) == value,
                    "names are not case-blind", detail);
        }
    }
}

void checkTestDefinition(const TestDefinition &def, const IniFile &ini)
{
    require(def.taskCount >= 0 && def.taskCount <= TestDefinition::maxTaskCount, "task count out of range");
    require(def.standardCount >= 0 && def.standardCount <= TestDefinition::maxStandardCount,
            "standard count out of range");
    require(def.maxTotalPoints >= 0 && def.maxTotalPoints <= TestDefinition::maxSumPoints,
            "test maximum out of range");
    require(def.taskLabels.size() == def.taskCount && def.taskStandards.size() == def.taskCount &&
                def.taskMaxPoints.size() == def.taskCount && def.taskClosed.size() == def.taskCount,
            "task lists do not match the task count");
    require(def.standardMaxPoints.size() == def.standardCount &&
                def.standardAbbreviations.size() == def.standardCount &&
                def.standardDescriptions.size() == def.standardCount,
            "standard lists do not match the standard count");
    for (const qint32 points : def.taskMaxPoints)
        require(points >= 0 && points <= TestDefinition::maxTaskPoints, "task maximum out of range");
    for (const qint32 points : def.standardMaxPoints)
        require(points >= 0 && points <= TestDefinition::maxSumPoints, "standard maximum out of range");

    // A count the file gives but the program refuses is always reported.
    const qint32 tasks = ini.readInteger(QStringLiteral("Ustawienia"), QStringLiteral("LiczbaZadan"), 25);
    if (tasks >= 0 && tasks <= TestDefinition::maxTaskCount)
        require(def.taskCount == tasks, "a task count within the limits was changed");
    else
        require(def.taskCount == 0 && !def.problems.isEmpty(), "a refused task count was not reported");
}

void checkAnalysisSettings(const AnalysisSettings &settings)
{
    for (std::size_t i = 0; i < settings.bandBounds.size(); ++i) {
        const double b = settings.bandBounds[i];
        require(b > 0.0 && b <= 1.0 && (i == 0 || b > settings.bandBounds[i - 1]), "band bounds unusable");
    }
    const QList<double> &stanines = settings.stanineBounds;
    require(stanines.isEmpty() || stanines.size() == 9, "stanine table of the wrong size");
    for (qsizetype k = 0; k < stanines.size(); ++k) {
        require(std::isfinite(stanines[k]) && stanines[k] >= 0.0, "stanine bound unusable");
        if (k >= 2)
            require(stanines[k] > stanines[k - 1], "stanine bounds do not rise");
    }
    // Every facility lands in a band with a name, and every mean on a stanine.
    for (const double facility : {-1.0, 0.0, 0.195, 0.5, 0.695, 1.0, 2.0, std::nan("")}) {
        const int band = bandOf(facility, settings);
        require(band >= 0 && band < bandCount && !bandName(band).isEmpty() &&
                    !bandRange(band, settings).isEmpty(),
                "facility without a band");
    }
    if (!stanines.isEmpty()) {
        for (const double mean : {-1.0, 0.0, 20.0, 1e12, stanines.last(), std::nan("")}) {
            const std::optional<int> stanine = stanineOf(mean, stanines);
            require(stanine && *stanine >= 1 && *stanine <= 9, "mean without a stanine");
        }
    }
}

// A text the school file writes as it is and reads back unchanged.
bool survivesSchoolFile(const QString &text)
{
    if (!text.isEmpty() &&
        (text.front() == u' ' || text.front() == u'\t' || text.back() == u' ' || text.back() == u'\t'))
        return false;
    if (text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') && text.back() == text.front())
        return false;
    return true;
}

void checkSchoolFile(const SchoolFileReader &reader, const SchoolFileReader &fromPath)
{
    require(reader.classCount() == fromPath.classCount(), "school file: load and fromBytes disagree");
    // The workbook keeps 1 to 25 classes.
    SchoolSetup setup;
    setup.classCount = std::clamp(reader.classCount(), 1, 25);
    for (int column = 0; column < 3; ++column)
        setup.headings.append(reader.heading(column));
    for (int n = 1; n <= setup.classCount; ++n) {
        setup.labels.append(reader.label(n));
        setup.pupilTexts.append(reader.pupilsText(n));
        require(reader.label(n) == fromPath.label(n) && reader.pupilsText(n) == fromPath.pupilsText(n),
                "school file: load and fromBytes disagree");
    }
    QStringList texts = setup.headings + setup.labels + setup.pupilTexts;
    if (!std::all_of(texts.begin(), texts.end(), survivesSchoolFile))
        return;
    // What was read is written and read again unchanged.
    const SchoolFileReader again(IniFile::fromBytes(schoolFileBytes(setup)));
    require(again.classCount() == setup.classCount, "school file round trip: class count");
    for (int column = 0; column < 3; ++column)
        require(again.heading(column) == setup.headings[column], "school file round trip: heading");
    for (int n = 1; n <= setup.classCount; ++n) {
        require(again.label(n) == setup.labels[n - 1], "school file round trip: label");
        require(again.pupilsText(n) == setup.pupilTexts[n - 1], "school file round trip: pupils");
    }
}

// The definition window's file: written again it reads the same, and a definition it would write
// reads back through the program's readers unchanged and without a problem.
void checkDefinitionFile(const QByteArray &bytes)
{
    const TestDefinitionFile definition = readTestDefinitionFile(bytes);
    const QByteArray written = testDefinitionFileBytes(definition);
    require(testDefinitionFileBytes(readTestDefinitionFile(written)) == written,
            "definition file: written again it differs");
    checkSums(definition);
    if (!definitionProblems(definition).isEmpty())
        return;
    const QString scratch = scratchFileWith(written, QStringLiteral("Setup.ini.zapis"));
    const TestDefinition test = loadTestDefinitionFrom(scratch);
    require(test.problems.isEmpty() && loadAnalysisSettingsFrom(scratch).problems.isEmpty(),
            "definition file: a whole definition reads back with problems");
    require(test.testName == definition.name && test.testDate == definition.date &&
                test.taskCount == definition.tasks.size(),
            "definition file: the test reads back otherwise");
    for (int t = 0; t < test.taskCount; ++t) {
        const DefinitionTask &task = definition.tasks[t];
        require(test.taskLabels[t] == task.label &&
                    test.taskMaxPoints[t] == parseInteger(task.points.trimmed()) &&
                    test.taskStandards[t] == parseInteger(task.standard.trimmed()) &&
                    test.taskClosed[t] == (task.closed != QStringLiteral("nie")),
                "definition file: a task reads back otherwise");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString path = scratchFileWith(bytes);

    const IniFile ini = IniFile::fromBytes(bytes);
    checkIni(ini, IniFile::load(path), cp1250::decode(bytes));
    checkTestDefinition(loadTestDefinitionFrom(path), ini);
    checkAnalysisSettings(loadAnalysisSettingsFrom(path));
    checkSchoolFile(SchoolFileReader(ini), SchoolFileReader(path));
    checkDefinitionFile(bytes);
    return 0;
}
