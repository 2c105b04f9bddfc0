// Shared helpers of the chart window's tests: a school set up in a temporary folder as a teacher
// does it, its pages filled, and the checks of a chart and of its bitmap file.
#pragma once

#include "charts/barchart.h"
#include "charts/tfwykres.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testfiles.h"
#include "ui/appearance.h"
#include "ui/stringgrid.h"
#include "workbook/tfwyniki.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace ct {

using namespace Qt::StringLiterals;

// Ends the calling test function when a helper it called has failed.
#define CT_CHECK(call)                                                                                       \
    do {                                                                                                     \
        call;                                                                                                \
        if (QTest::currentTestFailed())                                                                      \
            return;                                                                                          \
    } while (false)

// Tasks Zad.1, Zad.2, ... with the given maxima, all in standard 1; five standards with the
// maxima 6, 2, 3, 4 and 5 and the whole test worth 40.
inline TestDefinition makeTest(const QList<qint32> &maxima = {1, 2, 4, 1}, qint32 standards = 5)
{
    TestDefinition test;
    test.taskCount = qint32(maxima.size());
    test.standardCount = standards;
    test.maxTotalPoints = 40;
    test.testName = u"Sprawdzian 2003"_s;
    test.testDate = u"2003-12-12"_s;
    for (int i = 0; i < maxima.size(); ++i) {
        test.taskLabels.append(u"Zad.%1"_s.arg(i + 1));
        test.taskMaxPoints.append(maxima[i]);
        test.taskStandards.append(1);
        test.taskClosed.append(true);
    }
    const QList<qint32> standardMaxima{6, 2, 3, 4, 5};
    const QStringList descriptions{u"Czytanie"_s, u"Pisanie"_s, u"Rozumowanie"_s,
                                   u"Korzystanie z informacji"_s, u"Wykorzystywanie wiedzy"_s};
    for (int s = 0; s < standards; ++s) {
        test.standardMaxPoints.append(standardMaxima.value(s));
        test.standardAbbreviations.append(u"St.%1"_s.arg(s + 1));
        test.standardDescriptions.append(descriptions.value(s));
    }
    return test;
}

// The chart bitmaps lying in a folder, by name.
inline QStringList bitmapsIn(const QString &folder)
{
    return QDir(folder).entryList({u"wykr_*.bmp"_s}, QDir::Files, QDir::Name);
}

// A Windows bitmap of the chart's size whose corner is white.
inline void verifyBitmap(const QString &path)
{
    const QByteArray bytes = readBytes(path);
    QVERIFY2(bytes.startsWith("BM"), qPrintable(path));
    QVERIFY(bytes.size() > 54);
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 2), quint32(bytes.size()));
    QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 18), 643);
    QCOMPARE(qAbs(qFromLittleEndian<qint32>(bytes.constData() + 22)), 385);
    QImage image;
    QVERIFY(image.loadFromData(bytes, "BMP"));
    QCOMPARE(image.size(), QSize(643, 385));
    QCOMPARE(image.pixel(0, 0), qRgb(255, 255, 255));
}

// A school of the given classes set up by a teacher in a temporary folder: location, number of
// classes, labels, pupil counts, directory "Szkola1", "Akceptuj". Every message box is recorded.
struct School {
    MessageRecorder recorder;
    QTemporaryDir location;
    TfWyniki window;

    School(const TestDefinition &test, const QStringList &labels, const QList<int> &pupils)
    {
        window.test = test;
        recorder.clear();
        const QString folder = location.path();
        ui::folderChooser = [folder](QWidget *, const QString &, const QString &) { return folder; };
        button("bKatalog")->click();
        ui::folderChooser = [](QWidget *, const QString &, const QString &) { return QString(); };
        edit("eLiczbaKlas")->setText(QString::number(labels.size()));
        for (int i = 0; i < labels.size(); ++i) {
            window.tabela1()->setCell(1, i + 1, labels[i]);
            window.tabela1()->setCell(2, i + 1, QString::number(pupils.value(i)));
        }
        edit("eNazwaKatalogu")->setText(u"Szkola1"_s);
        button("bAkceptuj")->click();
        if (window.pageCount() != labels.size() + 2)
            qWarning("the school was not accepted");
    }
    ~School() { window.hide(); }
    School(const School &) = delete;
    School &operator=(const School &) = delete;

    QLineEdit *edit(const char *name) const
    {
        return window.findChild<QLineEdit *>(QString::fromLatin1(name));
    }
    QAbstractButton *button(const char *name) const
    {
        return window.findChild<QAbstractButton *>(QString::fromLatin1(name));
    }

    // Shows a page as a click on its tab does: 1 to classCount the classes, then the school.
    void showPage(int page) { window.findChild<QTabWidget *>(u"pcWyniki"_s)->setCurrentIndex(page); }
    void showSchoolPage() { showPage(window.pageCount() - 1); }

    QString classFolder(int classIndex) const { return window.classDirectory(classIndex); }
    QString schoolFolder() const { return window.schoolSubdirectory(); }

    // Fills summary grid rows from 1 on, a row's cells from column 3 joined by ";".
    void setSummaryRows(const QStringList &rows)
    {
        for (int r = 0; r < rows.size(); ++r) {
            const QStringList values = rows[r].split(u';');
            for (int c = 0; c < values.size(); ++c)
                window.tabela2()->setCell(3 + c, r + 1, values[c]);
        }
    }

    QStringList errors() const
    {
        QStringList texts;
        for (const auto &message : recorder.shown)
            if (message.kind == messages::Kind::Error)
                texts.append(message.text);
        return texts;
    }
};

// The chart window's parts as a user finds them.
inline QTabWidget *tabsOf(TfWykres *window)
{
    return window->findChild<QTabWidget *>(u"tabControl"_s);
}

inline QStringList tabTexts(TfWykres *window)
{
    QStringList texts;
    for (int i = 0; i < tabsOf(window)->count(); ++i)
        texts.append(tabsOf(window)->tabText(i));
    return texts;
}

// The bars' values as the numbers of single precision they were read as.
inline QList<float> barValues(const BarChart *chart)
{
    QList<float> values;
    for (const qreal value : chart->values())
        values.append(float(value));
    return values;
}

} // namespace ct
