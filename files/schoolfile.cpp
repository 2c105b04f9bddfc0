#include "files/schoolfile.h"

#include "core/cp1250.h"
#include "core/numbers.h"

namespace {

NumberedName classSection(int classNumber)
{
    return NumberedName(u"Klasa", classNumber);
}

// One line of the file, ended by CR LF.
void appendLine(QString *text, QStringView start, QStringView rest = QStringView())
{
    text->append(start);
    text->append(rest);
    text->append(u"\r\n");
}

} // namespace

QByteArray schoolFileBytes(const SchoolSetup &setup)
{
    QString text;
    text.reserve(96 + 64 * qMax(setup.classCount, 0));
    appendLine(&text, u"[Ustawienia]");
    appendLine(&text, u"LiczbaKlas=", NumberedName(QStringView(), setup.classCount));
    appendLine(&text, QStringView());
    appendLine(&text, u"[EtykietyTabeli]");
    for (int column = 0; column < 3; ++column) {
        text.append(NumberedName(u"Kolumna", column));
        appendLine(&text, u"=", setup.headings.value(column));
    }
    for (int n = 1; n <= setup.classCount; ++n) {
        appendLine(&text, QStringView());
        text.append(u'[');
        appendLine(&text, classSection(n), u"]");
        appendLine(&text, u"Etykieta=", setup.labels.value(n - 1));
        appendLine(&text, u"LiczbaUczniow=", setup.pupilTexts.value(n - 1));
    }
    return cp1250::encode(text);
}

SchoolFileReader::SchoolFileReader(const QString &path) : m_ini(IniFile::load(path)) {}

SchoolFileReader::SchoolFileReader(const IniFile &ini) : m_ini(ini) {}

qint32 SchoolFileReader::classCount() const
{
    return m_ini.readInteger(QStringLiteral("Ustawienia"), QStringLiteral("LiczbaKlas"), 1);
}

QString SchoolFileReader::heading(int column) const
{
    // On reading, column 1 defaults to "Klasy", unlike the "Klasa" of a new workbook.
    static const QString defaults[] = {QStringLiteral("L.p."), QStringLiteral("Klasy"),
                                       QStringLiteral("Liczba uczniów")};
    const QString defaultValue = column >= 0 && column < 3 ? defaults[column] : QString();
    return m_ini.readString(u"EtykietyTabeli", NumberedName(u"Kolumna", column), defaultValue);
}

QString SchoolFileReader::label(int classNumber) const
{
    if (std::optional<QString> label = m_ini.value(classSection(classNumber), u"Etykieta"))
        return *label;
    return NumberedName(u"Klasa ", classNumber).toString();
}

QString SchoolFileReader::pupilsText(int classNumber) const
{
    return m_ini.readString(classSection(classNumber), u"LiczbaUczniow", QStringLiteral("15"));
}
