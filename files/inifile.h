// Reads INI files by the Windows rules: names without regard to case, the first section and key
// that match, blanks around values dropped, at most 2047 characters of a value.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class IniFile
{
public:
    IniFile() = default;

    // A missing, unreadable or oversized file reads as an empty one.
    static IniFile load(const QString &path);
    static IniFile fromBytes(const QByteArray &windows1250Bytes);

    bool hasKey(const QString &section, const QString &key) const;
    // The default only when the key (or its section) is absent; "key=" gives an empty text.
    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;
    // Decimal, "$" or "0x" hexadecimal; absent, empty or unusable gives the default.
    qint32 readInteger(const QString &section, const QString &key, qint32 defaultValue) const;
    // An integer that is not 0; words such as "true" are no numbers and give the default.
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;

    static constexpr int maxValueLength = 2047;
    // Setup.ini of the largest test, every text at its longest, is far smaller; a larger file is
    // read as a missing one rather than take the program's memory.
    static constexpr qint64 maxFileSize = 8 * 1024 * 1024;

private:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        QList<Entry> entries;
    };
    const Entry *find(const QString &section, const QString &key) const;

    QList<Section> m_sections;
};
