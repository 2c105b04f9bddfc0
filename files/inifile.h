// Reads INI files by the Windows rules: names without regard to case, the first section and key
// that match, blanks around values dropped, at most 2047 characters of a value.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

class IniFile;

// Each line of a text as the reader parts them: at LF, CR LF or a lone CR; a final break is followed
// by one more, empty line.
template <typename Each> void forEachIniLine(QStringView text, Each each)
{
    // The next of each break is looked up again only once passed, so that a file without CRs (or
    // without LFs) is not searched to its end for every line.
    qsizetype nextLf = -1;
    qsizetype nextCr = -1;
    const auto next = [text](char16_t c, qsizetype from) {
        const qsizetype at = text.indexOf(QChar(c), from);
        return at < 0 ? text.size() : at;
    };
    for (qsizetype start = 0; start <= text.size();) {
        if (nextLf < start)
            nextLf = next(u'\n', start);
        if (nextCr < start)
            nextCr = next(u'\r', start);
        const qsizetype end = qMin(nextLf, nextCr);
        each(text.sliced(start, end - start));
        start = end + (end == nextCr && end + 1 == nextLf ? 2 : 1);
    }
}

// One section of a file, found once for reading many of its keys: the first section of the name,
// as every lookup of the file takes it. An absent section has no keys. Valid while its file is.
class IniSection
{
public:
    IniSection() = default;

    bool hasKey(QStringView key) const;
    // The default only when the key (or the section) is absent; "key=" gives an empty text.
    QString readString(QStringView key, const QString &defaultValue) const;
    // The value, or nullopt when the key (or the section) is absent: for a default that costs
    // something to make.
    std::optional<QString> value(QStringView key) const;
    // Decimal, "$" or "0x" hexadecimal; absent, empty or unusable gives the default.
    qint32 readInteger(QStringView key, qint32 defaultValue) const;
    // An integer that is not 0; words such as "true" are no numbers and give the default.
    bool readBool(QStringView key, bool defaultValue) const;

private:
    friend class IniFile;
    IniSection(const IniFile *file, qsizetype index) : m_file(file), m_index(index) {}
    const QString *find(QStringView key) const;

    const IniFile *m_file = nullptr;
    qsizetype m_index = -1;
};

class IniFile
{
public:
    IniFile() = default;

    // A missing, unreadable or oversized file reads as an empty one.
    static IniFile load(const QString &path);
    static IniFile fromBytes(const QByteArray &windows1250Bytes);

    IniSection section(QStringView name) const;
    // The whole text as read, for a reader that also keeps what lies between the keys.
    QStringView text() const { return m_text; }

    // As section(section) then the same call there.
    bool hasKey(QStringView section, QStringView key) const;
    QString readString(QStringView section, QStringView key, const QString &defaultValue) const;
    std::optional<QString> value(QStringView section, QStringView key) const;
    qint32 readInteger(QStringView section, QStringView key, qint32 defaultValue) const;
    bool readBool(QStringView section, QStringView key, bool defaultValue) const;

    static constexpr int maxValueLength = 2047;
    // Setup.ini of the largest test, every text at its longest, is far smaller; a larger file is
    // read as a missing one rather than take the program's memory.
    static constexpr qint64 maxFileSize = 8 * 1024 * 1024;

private:
    friend class IniSection;
    // Names and keys are views into m_text, which is never changed once read.
    struct Entry {
        QStringView key;
        quint32 keyHash;
        QString value;
    };
    struct Section {
        QStringView name;
        quint32 nameHash;
        // The section's entries, in the order of the file: m_entries[first, first + count).
        qsizetype first;
        qsizetype count;
    };
    void addLine(QStringView line);
    void buildIndex();
    const QString *find(qsizetype section, QStringView key) const;

    QString m_text;
    QList<Section> m_sections;
    QList<Entry> m_entries;
    // Hash tables of section numbers and of positions in m_entries (-1 for a free slot), made only
    // for a file of many sections and for one with a section of many keys: a test has hundreds of
    // sections, a comparison file hundreds of keys in a section, and each is looked up.
    QList<qsizetype> m_sectionSlots;
    QList<qsizetype> m_entrySlots;
};
