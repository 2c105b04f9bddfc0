// Szkola.ini: how a school was set up (classes, their labels and pupil counts).
#pragma once

#include "files/inifile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

struct SchoolSetup {
    qint32 classCount = 0;
    QStringList headings;   // the three headings of the class list
    QStringList labels;     // one per class
    QStringList pupilTexts; // one per class, as typed
};

// The file's bytes exactly as written: Windows-1250, CR LF after every line.
QByteArray schoolFileBytes(const SchoolSetup &setup);

// Reads a school file with the reading defaults; the class count is passed on as read.
class SchoolFileReader
{
public:
    explicit SchoolFileReader(const QString &path);
    explicit SchoolFileReader(const IniFile &ini);

    qint32 classCount() const;                 // LiczbaKlas, default 1
    QString heading(int column) const;         // Kolumna0..2, defaults "L.p.", "Klasy", "Liczba uczniów"
    QString label(int classNumber) const;      // Etykieta of [KlasaN], default "Klasa N"
    QString pupilsText(int classNumber) const; // LiczbaUczniow of [KlasaN], default "15"

private:
    IniFile m_ini;
};
