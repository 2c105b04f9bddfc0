#include "files/inifile.h"

#include "core/cp1250.h"
#include "core/numbers.h"
#include "files/savefile.h"

#include <QStringView>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.sliced(begin, end - begin);
}

// Windows drops one pair of matching quotation marks around a value.
QStringView unquote(QStringView value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

} // namespace

IniFile IniFile::load(const QString &path)
{
    QByteArray bytes;
    if (readWholeFile(path, &bytes, maxFileSize) != ReadStatus::Ok)
        return IniFile();
    return fromBytes(bytes);
}

IniFile IniFile::fromBytes(const QByteArray &windows1250Bytes)
{
    IniFile ini;
    const QString text = cp1250::decode(windows1250Bytes);
    Section *current = nullptr; // keys before the first section belong to none and are dropped
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        // A line ends at LF, CR LF or a lone CR.
        qsizetype lineEnd = lineStart;
        while (lineEnd < text.size() && text.at(lineEnd) != u'\n' && text.at(lineEnd) != u'\r')
            ++lineEnd;
        const QStringView line = trimBlanks(QStringView(text).sliced(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;
        if (lineEnd + 1 < text.size() && text.at(lineEnd) == u'\r' && text.at(lineEnd + 1) == u'\n')
            ++lineStart;

        if (line.isEmpty() || line.front() == u';')
            continue;
        if (line.front() == u'[') {
            const qsizetype close = line.lastIndexOf(u']');
            if (close > 0) {
                ini.m_sections.append(Section{trimBlanks(line.sliced(1, close - 1)).toString(), {}});
                current = &ini.m_sections.last();
                continue;
            }
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0 || !current)
            continue;
        QStringView value = unquote(trimBlanks(line.sliced(equals + 1)));
        current->entries.append(Entry{trimBlanks(line.first(equals)).toString(),
                                      value.first(qMin(value.size(), qsizetype(maxValueLength))).toString()});
    }
    return ini;
}

const IniFile::Entry *IniFile::find(const QString &section, const QString &key) const
{
    // Only the first section of a name is searched, even when the name comes again further down:
    // a key that only a later copy holds is absent, as Windows reads it.
    for (const Section &s : m_sections) {
        if (s.name.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        for (const Entry &e : s.entries) {
            if (e.key.compare(key, Qt::CaseInsensitive) == 0)
                return &e;
        }
        return nullptr;
    }
    return nullptr;
}

bool IniFile::hasKey(const QString &section, const QString &key) const
{
    return find(section, key) != nullptr;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const Entry *entry = find(section, key);
    return entry ? entry->value : defaultValue;
}

qint32 IniFile::readInteger(const QString &section, const QString &key, qint32 defaultValue) const
{
    const Entry *entry = find(section, key);
    if (!entry)
        return defaultValue;
    return parseInteger(entry->value).value_or(defaultValue);
}

bool IniFile::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}
