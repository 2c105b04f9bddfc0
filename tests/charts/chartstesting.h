// Shared helpers of the chart window's tests: the data a chart window is handed, laid out as a
// class's and the school's results pages hand it over, the folders of a school in a temporary
// location, and the checks of a chart and of its bitmap file.
#pragma once

#include "charts/barchart.h"
#include "charts/chartcatalogue.h"
#include "charts/tfwykres.h"
#include "tests/support/builders.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testfiles.h"
#include "ui/appearance.h"
#include "ui/seams.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
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

using ::readBytes;
using ::setUpApplication;
using ::writeBytes;

// Tasks Zad.1, Zad.2, ... with the given maxima, all in standard 1; five standards with the
// maxima 6, 2, 3, 4 and 5 and the whole test worth 40.
inline TestDefinition makeTest(const QList<qint32> &maxima = {1, 2, 4, 1}, qint32 standards = 5)
{
    return build::testOf(maxima)
        .labelled(u"Zad."_s)
        .inStandards(standards, {})
        .allClosed()
        .total(40)
        .named(u"Sprawdzian 2003"_s, u"2003-12-12"_s)
        .standardMaxima(build::padded<qint32>({6, 2, 3, 4, 5}, standards))
        .standardNames(build::numbered(u"St."_s, standards), build::padded(build::fiveStandards, standards));
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

// A school's folders in a temporary location: "Szkola1" with a folder for each class and the
// school's own "Szkoła", as accepting a school makes them. Every message box is recorded.
struct School {
    MessageRecorder recorder;
    QTemporaryDir location;
    QStringList labels;

    explicit School(const QStringList &classLabels) : labels(classLabels)
    {
        for (int i = 0; i < labels.size(); ++i)
            QDir().mkpath(classFolder(i));
        QDir().mkpath(schoolFolder());
    }

    QString root() const { return location.filePath(u"Szkola1"_s); }
    QString classFolder(int classIndex) const { return root() + u'/' + labels.value(classIndex); }
    QString schoolFolder() const { return root() + u"/Szkoła"_s; }

    // What the page of class classIndex hands over: its score grid with every pupil present and no
    // points, and its summary grid with rows from 1 on, each row's cells from column 3 (the
    // standards, then the total) joined by ";". A class has rows for at least its pupils.
    charts::ChartData classPage(const TestDefinition &test, int classIndex, int pupils,
                                const QStringList &summaryRows, int gridRows = -1) const
    {
        charts::ChartData data;
        data.mode = charts::Mode::Class;
        data.test = test;
        data.classCount = qint32(labels.size());
        data.classLabels = labels;
        data.classLabel = labels.value(classIndex);
        data.pupilCount = pupils;
        QStringList scoreHeader{u"L.p."_s, u"Kod ucznia"_s, u"Ob."_s};
        scoreHeader += test.taskLabels.mid(0, test.taskCount);
        data.upperGrid.append(scoreHeader);
        QStringList summaryHeader{u"L.p."_s, u"Kod ucznia"_s, u"Ob."_s};
        for (int s = 0; s < 5; ++s)
            summaryHeader.append(test.standardAbbreviations.value(s));
        summaryHeader.append(u"Razem"_s);
        data.lowerGrid.append(summaryHeader);
        const int rows = gridRows >= 0 ? gridRows : pupils;
        for (int r = 1; r <= rows; ++r) {
            QStringList scores{QString::number(r), QString(), u"T"_s};
            for (int t = 0; t < test.taskCount; ++t)
                scores.append(QString());
            data.upperGrid.append(scores);
            QStringList summary{QString::number(r), QString(), QString()};
            const QStringList values = summaryRows.value(r - 1).split(u';');
            for (int c = 0; c < 6; ++c)
                summary.append(values.value(c));
            data.lowerGrid.append(summary);
        }
        data.bitmapFolder = classFolder(classIndex);
        data.schoolFolder = root();
        return data;
    }

    // What the school page hands over: for each class its average and facility rows, then the
    // school's, each row's cells from column 3 joined by ";" (an empty text for a class without
    // statistics); the tasks' rows in the upper grid, the standards' and the total's in the lower.
    charts::ChartData schoolPage(const TestDefinition &test, const QStringList &taskRows,
                                 const QStringList &standardRows) const
    {
        charts::ChartData data;
        data.mode = charts::Mode::School;
        data.test = test;
        data.classCount = qint32(labels.size());
        data.classLabels = labels;
        QStringList taskHeader{u"L.p."_s, u"Nr. zadania"_s, QString()};
        taskHeader += test.taskLabels.mid(0, test.taskCount);
        data.upperGrid.append(taskHeader);
        QStringList standardHeader{u"L.p."_s, u"Nr. zadania"_s, QString()};
        for (int s = 0; s < 5; ++s)
            standardHeader.append(test.standardAbbreviations.value(s));
        standardHeader.append(u"Razem"_s);
        data.lowerGrid.append(standardHeader);
        const QStringList owners = QStringList(labels) << u"Szkoła"_s;
        for (int r = 0; r < 2 * owners.size(); ++r) {
            const QString caption = owners[r / 2] + (r % 2 == 0 ? u" - Śr."_s : u" - Ła."_s);
            QStringList tasks{QString::number(r + 1), caption, QString()};
            const QStringList taskValues = taskRows.value(r).split(u';');
            for (int t = 0; t < test.taskCount; ++t)
                tasks.append(taskValues.value(t));
            data.upperGrid.append(tasks);
            QStringList standards{QString::number(r + 1), caption, QString()};
            const QStringList standardValues = standardRows.value(r).split(u';');
            for (int c = 0; c < 6; ++c)
                standards.append(standardValues.value(c));
            data.lowerGrid.append(standards);
        }
        data.bitmapFolder = schoolFolder();
        data.schoolFolder = root();
        return data;
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
