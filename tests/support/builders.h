// What the tests put together for themselves: test definitions, pupils and classes, and the bytes of
// a school's Szkola.ini and of a class's answers file (Odpowiedzi.tmp) as the program writes them.
// Written by hand rather than by the program's writers, so that a test comparing the program's
// bytes with these catches a fault in either. Qt Core and the libraries every test links only.
#pragma once

#include "analysis/analysis.h"
#include "analysis/testdefinition.h"
#include "core/cp1250.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace build {

using namespace Qt::StringLiterals;

// "Zad.1", "Zad.2", ... up to count.
inline QStringList numbered(const QString &prefix, qsizetype count)
{
    QStringList texts;
    for (qsizetype i = 1; i <= count; ++i)
        texts.append(prefix + QString::number(i));
    return texts;
}

// The first count items of list, default values past its end.
template <typename T> QList<T> padded(const QList<T> &list, qsizetype count)
{
    QList<T> result;
    for (qsizetype i = 0; i < count; ++i)
        result.append(list.value(i));
    return result;
}

// The five standards of the sixth-year test as the shipped Setup.ini describes them.
inline const QStringList fiveStandards{u"Czytanie"_s, u"Pisanie"_s, u"Rozumowanie"_s,
                                       u"Korzystanie z informacji"_s, u"Wykorzystywanie wiedzy"_s};

// A test definition given by its tasks' maxima and only what a test needs besides; whatever is not
// given stays as a TestDefinition starts (its lists empty), since some tests hinge on exactly that.
class TestBuilder
{
public:
    explicit TestBuilder(const QList<qint32> &maxima)
    {
        m_test.taskCount = qint32(maxima.size());
        m_test.taskMaxPoints = maxima;
    }

    // Task labels prefix1, prefix2, ...
    TestBuilder &labelled(const QString &prefix)
    {
        m_test.taskLabels = numbered(prefix, m_test.taskCount);
        return *this;
    }
    // The test's number of standards and each task's standard, 1 past the end of perTask.
    TestBuilder &inStandards(qint32 count, const QList<qint32> &perTask)
    {
        m_test.standardCount = count;
        m_test.taskStandards.clear();
        for (qint32 t = 0; t < m_test.taskCount; ++t)
            m_test.taskStandards.append(perTask.value(t, 1));
        return *this;
    }
    TestBuilder &closed(const QList<bool> &perTask)
    {
        m_test.taskClosed = perTask;
        return *this;
    }
    TestBuilder &allClosed() { return closed(QList<bool>(m_test.taskCount, true)); }
    TestBuilder &total(qint32 maxPoints)
    {
        m_test.maxTotalPoints = maxPoints;
        return *this;
    }
    TestBuilder &named(const QString &name, const QString &date)
    {
        m_test.testName = name;
        m_test.testDate = date;
        return *this;
    }
    TestBuilder &standardMaxima(const QList<qint32> &maxima)
    {
        m_test.standardMaxPoints = maxima;
        return *this;
    }
    TestBuilder &standardNames(const QStringList &abbreviations, const QStringList &descriptions)
    {
        m_test.standardAbbreviations = abbreviations;
        m_test.standardDescriptions = descriptions;
        return *this;
    }

    operator TestDefinition() const { return m_test; }

private:
    TestDefinition m_test;
};

inline TestBuilder testOf(const QList<qint32> &maxima)
{
    return TestBuilder(maxima);
}

inline PupilResult pupil(bool present, const QList<qint32> &points, int row = 0, const QString &code = {})
{
    return PupilResult{row, code, present, points, {}};
}

// A class whose pupils sit on rows 1, 2, ... under the codes codePrefix1, codePrefix2, ..., each
// present unless present says otherwise.
inline ClassResults classOf(const QString &label, const QString &codePrefix,
                            const QList<QList<qint32>> &points, const QList<bool> &present = {})
{
    ClassResults results{label, qint32(points.size()), {}};
    for (int i = 0; i < points.size(); ++i)
        results.pupils.append(
            pupil(present.value(i, true), points[i], i + 1, codePrefix + QString::number(i + 1)));
    return results;
}

// A class's answers file of tasks Zad.1 to Zad.taskCount, pupils given as "code;mark;points...":
// every cell ends in ";", an empty or blank cell is written "-", and the last row has no line end.
inline QByteArray answersFile(int taskCount, const QStringList &pupils)
{
    QByteArray bytes = "L.p.;Kod ucznia;Ob.;";
    for (const QString &label : numbered(u"Zad."_s, taskCount))
        bytes += label.toLatin1() + ';';
    for (int r = 1; r <= pupils.size(); ++r) {
        bytes += "\r\n" + QByteArray::number(r) + ';';
        for (const QString &cell : pupils[r - 1].split(u';'))
            bytes += (cell.isEmpty() || cell == u" "_s ? QByteArray("-") : cp1250::encode(cell)) + ';';
    }
    return bytes;
}

inline const QStringList schoolHeadings{u"L.p."_s, u"Klasa"_s, u"Liczba uczniów"_s};

// Szkola.ini of classCount classes, sections for the classes labels names (there may be fewer), the
// setup list's column headings unless none are given, in Windows-1250 with CRLF line ends.
inline QByteArray schoolIni(int classCount, const QStringList &labels, const QStringList &pupils,
                            const QStringList &headings = schoolHeadings)
{
    QString text = u"[Ustawienia]\r\nLiczbaKlas="_s + QString::number(classCount) + u"\r\n"_s;
    if (!headings.isEmpty()) {
        text += u"\r\n[EtykietyTabeli]\r\n"_s;
        for (int column = 0; column < headings.size(); ++column)
            text += u"Kolumna"_s + QString::number(column) + u'=' + headings[column] + u"\r\n"_s;
    }
    for (int n = 1; n <= labels.size(); ++n) {
        text += u"\r\n[Klasa"_s + QString::number(n) + u"]\r\nEtykieta="_s + labels[n - 1] +
                u"\r\nLiczbaUczniow="_s + pupils.value(n - 1) + u"\r\n"_s;
    }
    return cp1250::encode(text);
}

} // namespace build
