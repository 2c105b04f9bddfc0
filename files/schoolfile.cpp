#include "files/schoolfile.h"

#include "core/cp1250.h"

namespace {

const QString crlf = QStringLiteral("\r\n");

QString classSection(int classNumber)
{
    return QStringLiteral("Klasa") + QString::number(classNumber);
}

} // namespace

QByteArray schoolFileBytes(const SchoolSetup &setup)
{
    QString text = QStringLiteral("[Ustawienia]") + crlf + QStringLiteral("LiczbaKlas=") +
                   QString::number(setup.classCount) + crlf;
    text += crlf + QStringLiteral("[EtykietyTabeli]") + crlf;
    for (int column = 0; column < 3; ++column)
        text += QStringLiteral("Kolumna%1=").arg(column) + setup.headings.value(column) + crlf;
    for (int n = 1; n <= setup.classCount; ++n) {
        text += crlf + u'[' + classSection(n) + u']' + crlf;
        text += QStringLiteral("Etykieta=") + setup.labels.value(n - 1) + crlf;
        text += QStringLiteral("LiczbaUczniow=") + setup.pupilTexts.value(n - 1) + crlf;
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
    return m_ini.readString(QStringLiteral("EtykietyTabeli"), QStringLiteral("Kolumna%1").arg(column),
                            defaultValue);
}

QString SchoolFileReader::label(int classNumber) const
{
    return m_ini.readString(classSection(classNumber), QStringLiteral("Etykieta"),
                            QStringLiteral("Klasa ") + QString::number(classNumber));
}

QString SchoolFileReader::pupilsText(int classNumber) const
{
    return m_ini.readString(classSection(classNumber), QStringLiteral("LiczbaUczniow"), QStringLiteral("15"));
}
