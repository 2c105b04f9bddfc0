#include "files/inifile.h"

#include "core/cp1250.h"
#include "core/numbers.h"
#include "files/savefile.h"

#include <algorithm>
#include <array>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView text)
{
    const QChar *begin = text.cbegin();
    const QChar *end = text.cend();
    while (begin != end && isBlank(*begin))
        ++begin;
    while (end != begin && isBlank(end[-1]))
        --end;
    return QStringView(begin, end);
}

// Windows drops one pair of matching quotation marks around a value.
QStringView unquote(QStringView value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

// Names equal without regard to case always share this hash: it takes their length and the ASCII
// digits and punctuation they end with, which no case folding reaches or leaves (letters may not be
// taken: "ſ" and the Kelvin sign fold to "s" and "k"). "Zadanie7" and "Zadanie12" still differ.
quint32 nameHash(QStringView name)
{
    quint32 hash = 2166136261u ^ quint32(name.size());
    for (qsizetype i = name.size(); i > 0; --i) {
        const char16_t c = name[i - 1].unicode();
        if (c >= 0x80 || char16_t((c | 0x20) - u'a') < 26)
            break;
        hash = (hash ^ c) * 16777619u;
    }
    return hash;
}

// One-character values ("1", "0") are most of a test's; each is one text, shared.
QString valueText(QStringView value)
{
    if (value.size() == 1 && value.front().unicode() < 0x80) {
        static const std::array<QString, 0x80> shared = [] {
            std::array<QString, 0x80> texts;
            for (char16_t c = 0; c < 0x80; ++c)
                texts[c] = QString(QChar(c));
            return texts;
        }();
        return shared[value.front().unicode()];
    }
    return value.toString();
}

bool sameName(QStringView a, QStringView b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

// Few sections or keys are searched one by one; many, by their hashes.
constexpr qsizetype searchedInOrder = 8;

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
    ini.m_text = cp1250::decode(windows1250Bytes);
    // Room for a key on most lines; a longer file grows the lists as it goes.
    const qsizetype lines = ini.m_text.count(u'\n') + 1;
    ini.m_entries.reserve(qMin(lines, qsizetype(1024)));
    forEachIniLine(ini.m_text, [&ini](QStringView line) { ini.addLine(trimBlanks(line)); });
    ini.buildIndex();
    return ini;
}

void IniFile::addLine(QStringView line)
{
    if (line.isEmpty() || line.front() == u';')
        return;
    if (line.front() == u'[') {
        const qsizetype close = line.lastIndexOf(u']');
        if (close > 0) {
            const QStringView name = trimBlanks(line.sliced(1, close - 1));
            m_sections.append(Section{name, nameHash(name), m_entries.size(), 0});
            return;
        }
    }
    // Keys before the first section belong to none and are dropped.
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0 || m_sections.isEmpty())
        return;
    const QStringView key = trimBlanks(line.first(equals));
    const QStringView value = unquote(trimBlanks(line.sliced(equals + 1)));
    m_entries.append(
        Entry{key, nameHash(key), valueText(value.first(qMin(value.size(), qsizetype(maxValueLength))))});
    ++m_sections.last().count;
}

namespace {

// Open addressing: a power of two at least twice the items, so that probes stay short.
QList<qsizetype> emptySlots(qsizetype items)
{
    qsizetype count = 16;
    while (count < 2 * items)
        count *= 2;
    return QList<qsizetype>(count, -1);
}

quint32 entryHash(qsizetype section, quint32 keyHash)
{
    return keyHash ^ (quint32(section) * 0x9E3779B1u);
}

// Probes from the hash's slot: the first slot holding an item same() takes, or the empty slot where
// the probe ended.
template <typename Same> qsizetype probe(const QList<qsizetype> &slots, quint32 hash, Same same)
{
    const qsizetype mask = slots.size() - 1;
    qsizetype i = qsizetype(hash) & mask;
    while (slots.at(i) >= 0 && !same(slots.at(i)))
        i = (i + 1) & mask;
    return i;
}

} // namespace

void IniFile::buildIndex()
{
    // Only the first section of a name is indexed, and only the first key of a name in each
    // section: a later one is never found, as Windows reads the file.
    if (m_sections.size() > searchedInOrder) {
        m_sectionSlots = emptySlots(m_sections.size());
        for (qsizetype s = 0; s < m_sections.size(); ++s) {
            const Section &section = m_sections.at(s);
            const qsizetype i = probe(m_sectionSlots, section.nameHash, [&](qsizetype there) {
                return m_sections.at(there).nameHash == section.nameHash &&
                       sameName(m_sections.at(there).name, section.name);
            });
            if (m_sectionSlots.at(i) < 0)
                m_sectionSlots[i] = s;
        }
    }
    const bool longSection = std::any_of(m_sections.cbegin(), m_sections.cend(),
                                         [](const Section &s) { return s.count > searchedInOrder; });
    if (!longSection)
        return;
    m_entrySlots = emptySlots(m_entries.size());
    for (qsizetype s = 0; s < m_sections.size(); ++s) {
        const Section &section = m_sections.at(s);
        for (qsizetype e = section.first; e < section.first + section.count; ++e) {
            const Entry &entry = m_entries.at(e);
            const qsizetype i = probe(m_entrySlots, entryHash(s, entry.keyHash), [&](qsizetype there) {
                const Entry &other = m_entries.at(there);
                return there >= section.first && there < e && other.keyHash == entry.keyHash &&
                       sameName(other.key, entry.key);
            });
            if (m_entrySlots.at(i) < 0)
                m_entrySlots[i] = e;
        }
    }
}

IniSection IniFile::section(QStringView name) const
{
    // Only the first section of a name is searched, even when the name comes again further down:
    // a key that only a later copy holds is absent, as Windows reads it.
    if (m_sectionSlots.isEmpty()) {
        for (qsizetype s = 0; s < m_sections.size(); ++s) {
            if (sameName(m_sections.at(s).name, name))
                return IniSection(this, s);
        }
        return IniSection();
    }
    const quint32 hash = nameHash(name);
    const qsizetype i = probe(m_sectionSlots, hash, [&](qsizetype there) {
        return m_sections.at(there).nameHash == hash && sameName(m_sections.at(there).name, name);
    });
    return m_sectionSlots.at(i) < 0 ? IniSection() : IniSection(this, m_sectionSlots.at(i));
}

const QString *IniFile::find(qsizetype section, QStringView key) const
{
    const Section &s = m_sections.at(section);
    if (s.count <= searchedInOrder) {
        const auto begin = m_entries.cbegin() + s.first;
        const auto end = begin + s.count;
        const auto found = std::find_if(begin, end, [key](const Entry &e) { return sameName(e.key, key); });
        return found == end ? nullptr : &found->value;
    }
    const quint32 hash = nameHash(key);
    const qsizetype i = probe(m_entrySlots, entryHash(section, hash), [&](qsizetype there) {
        const Entry &entry = m_entries.at(there);
        return there >= s.first && there < s.first + s.count && entry.keyHash == hash &&
               sameName(entry.key, key);
    });
    return m_entrySlots.at(i) < 0 ? nullptr : &m_entries.at(m_entrySlots.at(i)).value;
}

const QString *IniSection::find(QStringView key) const
{
    return m_file ? m_file->find(m_index, key) : nullptr;
}

bool IniSection::hasKey(QStringView key) const
{
    return find(key) != nullptr;
}

QString IniSection::readString(QStringView key, const QString &defaultValue) const
{
    const QString *found = find(key);
    return found ? *found : defaultValue;
}

std::optional<QString> IniSection::value(QStringView key) const
{
    const QString *found = find(key);
    return found ? std::optional<QString>(*found) : std::nullopt;
}

qint32 IniSection::readInteger(QStringView key, qint32 defaultValue) const
{
    const QString *found = find(key);
    if (!found)
        return defaultValue;
    return parseInteger(*found).value_or(defaultValue);
}

bool IniSection::readBool(QStringView key, bool defaultValue) const
{
    return readInteger(key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::hasKey(QStringView section, QStringView key) const
{
    return this->section(section).hasKey(key);
}

QString IniFile::readString(QStringView section, QStringView key, const QString &defaultValue) const
{
    return this->section(section).readString(key, defaultValue);
}

std::optional<QString> IniFile::value(QStringView section, QStringView key) const
{
    return this->section(section).value(key);
}

qint32 IniFile::readInteger(QStringView section, QStringView key, qint32 defaultValue) const
{
    return this->section(section).readInteger(key, defaultValue);
}

bool IniFile::readBool(QStringView section, QStringView key, bool defaultValue) const
{
    return this->section(section).readBool(key, defaultValue);
}
