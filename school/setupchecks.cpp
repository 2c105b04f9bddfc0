#include "school/setupchecks.h"

#include "files/schoolpaths.h"

QString defaultClassLetters()
{
    return QStringLiteral("ABCDEFGHIJKLMNOPQRSTUWXYZ");
}

QString classLabelsProblem(const QStringList &labels)
{
    const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (int i = 0; i < labels.size(); ++i) {
        const QString &label = labels[i];
        const int number = i + 1;
        if (label.trimmed().isEmpty())
            return QStringLiteral("Klasa nr %1 nie ma nazwy. Wpisz nazwę klasy w kolumnie „Klasa”.")
                .arg(number);
        if (label.compare(schoolfiles::schoolFolder, Qt::CaseInsensitive) == 0)
            return QStringLiteral("Nazwa „%1” (klasa nr %2) jest zarezerwowana dla wyników całej szkoły. "
                                  "Nadaj tej klasie inną nazwę.")
                .arg(label)
                .arg(number);
        if (label == QStringLiteral(".") || label == QStringLiteral(".."))
            return QStringLiteral("Nazwa „%1” (klasa nr %2) nie może być nazwą katalogu klasy. "
                                  "Nadaj tej klasie inną nazwę.")
                .arg(label)
                .arg(number);
        for (const QChar c : label) {
            if (forbidden.contains(c) || c.unicode() < 0x20)
                return QStringLiteral("Nazwa klasy nr %1 („%2”) zawiera niedozwolony znak „%3”. "
                                      "Nazwa klasy nie może zawierać znaków / \\ : * ? \" < > |.")
                    .arg(number)
                    .arg(label, QString(c));
        }
        for (int j = 0; j < i; ++j) {
            if (labels[j].compare(label, Qt::CaseInsensitive) == 0)
                return QStringLiteral("Klasy nr %1 i %2 mają tę samą nazwę („%3”). Każda klasa musi mieć "
                                      "inną nazwę, bo jej wyniki są zapisywane w osobnym katalogu "
                                      "(wielkość liter nie ma przy tym znaczenia).")
                    .arg(j + 1)
                    .arg(number)
                    .arg(label);
        }
    }
    return QString();
}

QString pupilCountsProblem(const QList<qint32> &pupilCounts)
{
    for (int i = 0; i < pupilCounts.size(); ++i) {
        if (pupilCounts[i] > maxPupilsInClass)
            return QStringLiteral("Klasa nr %1 ma za dużo uczniów (%2). W jednej klasie może być "
                                  "najwyżej %3 uczniów.")
                .arg(i + 1)
                .arg(pupilCounts[i])
                .arg(maxPupilsInClass);
    }
    return QString();
}
