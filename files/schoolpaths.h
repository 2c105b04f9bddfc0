// The names of a school folder's files, and where they lie: the school file at the top, one
// folder per class named after its label, and the school's own folder "Szkoła".
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace schoolfiles {

inline constexpr QStringView setup = u"Szkola.ini";
inline constexpr QStringView schoolFolder = u"Szkoła";
inline constexpr QStringView answers = u"Odpowiedzi.tmp";
// The symbols chosen in the keyed closed tasks, beside the answers file (only for a test with keys).
inline constexpr QStringView choices = u"Wybory.tmp";
inline constexpr QStringView taskStatistics = u"Zadania.tmp";
inline constexpr QStringView standardStatistics = u"Standardy.tmp";
inline constexpr QStringView schoolSummary = u"Szkola.tmp";
inline constexpr QStringView classReport = u"Wyniki uczniów.csv";
inline constexpr QStringView schoolReport = u"Podsumowanie wyników.csv";
inline constexpr QStringView classSpreadsheet = u"Wyniki uczniów.xlsx";
inline constexpr QStringView schoolSpreadsheet = u"Podsumowanie wyników.xlsx";
inline constexpr QStringView analysis = u"Analiza wyników.pdf";
inline constexpr QStringView pupilSheets = u"Karty wyników uczniów.pdf";
inline constexpr QStringView comparison = u"Porownanie.ini";
// While a class's results are typed and not yet saved, its folder holds this lock, naming who types
// them; other computers say so. It is removed on saving and on leaving the page.
inline constexpr QStringView lock = u"Blokada.ini";
// The test the school was set up with, in the format of the program's own Setup.ini.
inline constexpr QStringView test = u"Setup.ini";

// "wykr_<number>.bmp".
QString chartBitmap(int number);

} // namespace schoolfiles

struct SchoolPaths {
    QString root;            // the school folder
    QStringList classLabels; // in the order of the classes

    QString file(QStringView name) const;
    QString classFolder(int classIndex) const;
    QString classFile(int classIndex, QStringView name) const;
    QString schoolFolder() const;
    QString schoolFile(QStringView name) const;
};
