// Three school folders, each with a test of its own (5, 4 and 2 tasks), whose figures across the
// tests are worked by hand in tst_schoolacrosstests: mock test A (2025-11-20), mock test B
// (2026-03-10, its classes renamed) and the exam C (2026-05-14).
#pragma once

#include "tests/support/builders.h"
#include "tests/support/filebytes.h"

#include "analysis/comparison.h"
#include "analysis/testdefinition.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <optional>

namespace threeschools {

using namespace Qt::StringLiterals;

struct SchoolPlan {
    QString folder;
    TestDefinition test;
    QByteArray extraIni; // [Staniny], appended to the school's Setup.ini
    std::optional<double> country;
    QStringList labels;
    QList<QStringList> pupils; // per class, "code;mark;points..."
};

inline TestDefinition testOf(const QString &name, const QString &date, const QList<qint32> &maxima,
                             const QList<qint32> &standards, const QStringList &descriptions)
{
    TestDefinition test = build::testOf(maxima)
                              .labelled(u"Z"_s)
                              .inStandards(qint32(descriptions.size()), standards)
                              .allClosed()
                              .named(name, date)
                              .standardNames(build::numbered(u"S"_s, descriptions.size()), descriptions);
    qint32 total = 0;
    QList<qint32> standardMaxima(descriptions.size(), 0);
    for (qsizetype t = 0; t < maxima.size(); ++t) {
        total += maxima[t];
        standardMaxima[standards[t] - 1] += maxima[t];
    }
    test.maxTotalPoints = total;
    test.standardMaxPoints = standardMaxima;
    return test;
}

inline QByteArray stanines(const QStringList &bounds)
{
    QByteArray section = "\r\n[Staniny]\r\n";
    for (int k = 0; k < 9; ++k)
        section += "Stanin" + QByteArray::number(k + 1) + '=' + bounds[k].toLatin1() + "\r\n";
    return section;
}

inline bool makeSchool(const QString &root, const SchoolPlan &plan)
{
    const QString folder = root + u'/' + plan.folder;
    QStringList counts;
    for (const QStringList &pupils : plan.pupils)
        counts.append(QString::number(pupils.size()));
    bool made = QDir().mkpath(folder) &&
                writeBytes(folder + u"/Szkola.ini"_s,
                           build::schoolIni(int(plan.labels.size()), plan.labels, counts)) &&
                writeBytes(folder + u"/Setup.ini"_s, testDefinitionFileBytes(plan.test) + plan.extraIni);
    for (qsizetype i = 0; made && i < plan.labels.size(); ++i) {
        made = QDir().mkpath(folder + u'/' + plan.labels[i]) &&
               writeBytes(folder + u'/' + plan.labels[i] + u"/Odpowiedzi.tmp"_s,
                          build::answersFile(plan.test.taskCount, plan.pupils[i]));
    }
    if (made && plan.country) {
        ComparisonFigures figures = ComparisonFigures::emptyFor(plan.test);
        figures.wholeTest[std::size_t(Area::Kraj)] = plan.country;
        made = writeBytes(folder + u"/Porownanie.ini"_s, comparisonFileBytes(figures, plan.test));
    }
    return made;
}

// Mock test A: 5 points; the school's totals 5, 2, 4 | 1, 4 (pupil a3 absent).
inline const SchoolPlan schoolA{
    u"A"_s,
    testOf(u"Próbny 1"_s, u"2025-11-20"_s, {2, 2, 1}, {1, 1, 2}, {u"czytanie"_s, u"pisanie"_s}),
    stanines({u"0"_s, u"1"_s, u"1.5"_s, u"2"_s, u"2.5"_s, u"3"_s, u"3.5"_s, u"4"_s, u"4.5"_s}),
    0.5,
    {u"Klasa 7a"_s, u"Klasa 7b"_s},
    {{u"a1;T;2;2;1"_s, u"a2;T;1;1;0"_s, u"a3;N;0;0;0"_s, u"a4;T;2;1;1"_s},
     {u"b1;T;0;1;0"_s, u"b2;T;2;2;0"_s}}};
// Mock test B: 4 points, no stanines, no country; the classes renamed. Totals 3, 1, 4, 1 | 2.
inline const SchoolPlan schoolB{
    u"B"_s,
    testOf(u"Próbny 2"_s, u"2026-03-10"_s, {1, 1, 1, 1}, {1, 1, 2, 2}, {u"czytanie"_s, u"rozumowanie"_s}),
    {},
    std::nullopt,
    {u"Klasa 8a"_s, u"Klasa 8b"_s},
    {{u"a1;T;1;1;1;0"_s, u"a2;T;0;0;1;0"_s, u"a3;T;1;0;0;0"_s, u"a4;T;1;1;1;1"_s},
     {u"b1;T;1;1;0;0"_s, u"b2;N;0;0;0;0"_s}}};
// The exam: 10 points; totals 9, 3, 8 | 6, 10 (pupil a3 gone).
inline const SchoolPlan schoolC{
    u"C"_s,
    testOf(u"Egzamin"_s, u"2026-05-14"_s, {5, 5}, {1, 2}, {u"czytanie"_s, u"pisanie"_s}),
    stanines({u"0"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s, u"9"_s}),
    0.6,
    {u"Klasa 8a"_s, u"Klasa 8b"_s},
    {{u"a1;T;5;4"_s, u"a2;T;2;1"_s, u"a4;T;4;4"_s}, {u"b1;T;3;3"_s, u"b2;T;5;5"_s}}};

inline bool makeAll(const QString &root)
{
    return makeSchool(root, schoolA) && makeSchool(root, schoolB) && makeSchool(root, schoolC);
}

} // namespace threeschools
