// Drawing and saving one chart on the largest pages: the school's task chart with 60 tasks and a
// class chart with 40 pupils. Prints the median and worst time of each.
#include "app/sondarykapplication.h"
#include "bench/benchsupport.h"
#include "charts/tfwykres.h"
#include "ui/messages.h"
#include "ui/stringgrid.h"
#include "workbook/tfwyniki.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using namespace bench;

constexpr int classes = 3;

QByteArray statisticsFile(int values)
{
    QByteArray averages;
    QByteArray facilities;
    for (int v = 0; v < values; ++v) {
        averages += QByteArray::number(0.5 + (v % 7) * 0.25, 'f', 2) + ';';
        facilities += QByteArray::number(0.25 + (v % 7) * 0.1, 'f', 2) + ';';
    }
    return averages + "\r\n" + facilities;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    SondarykApplication app(argc, argv);
    printMessages();
    const int rounds = argc >= 2 ? std::max(1, atoi(argv[1])) : 30;

    QTemporaryDir location;
    TfWyniki workbook;
    setUpSchool(workbook, location.path(), classes);
    for (int i = 0; i < classes; ++i) {
        writeFile(workbook.session().paths().classFolder(i) + QStringLiteral("/Zadania.tmp"),
                  statisticsFile(tasks));
        writeFile(workbook.session().paths().classFolder(i) + QStringLiteral("/Standardy.tmp"),
                  statisticsFile(6));
    }
    auto *pages = workbook.findChild<QTabWidget *>(QStringLiteral("pcWyniki"));

    std::printf("Charts: drawing one chart and saving its bitmap (%d rounds)\n", rounds);
    pages->setCurrentIndex(classes + 1);
    {
        TfWykres window(workbook.chartData(), &workbook);
        report("school chart W-1, 60 tasks written upwards",
               timeIt(
                   rounds, [] {}, [&] { window.buildChart(0); }),
               30);
    }
    pages->setCurrentIndex(1);
    for (int p = 1; p <= pupils; ++p) {
        const int total = (p * 7) % 121;
        for (int c = 3; c <= 7; ++c)
            workbook.tabela2()->setCell(c, p, QString::number(total / 5));
        workbook.tabela2()->setCell(8, p, p % 9 ? QString::number(total) : QStringLiteral("--"));
    }
    {
        TfWykres window(workbook.chartData(), &workbook);
        report("class chart W-1, 40 pupils",
               timeIt(
                   rounds, [] {}, [&] { window.buildChart(0); }),
               30);
    }
    return 0;
}
