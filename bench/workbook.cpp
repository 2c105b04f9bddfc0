// The workbook's heaviest steps on a large school: by default 25 classes of 40 pupils, 60 tasks (other
// sizes on the command line), every class with its answers and statistics files, and the school's
// analysis. Prints the median and worst time of each step and the peak memory.
#include "analysis/comparison.h"
#include "app/sondarykapplication.h"
#include "bench/benchsupport.h"
#include "files/schoolpaths.h"
#include "ui/messages.h"
#include "ui/stringgrid.h"
#include "workbook/tfanaliza.h"
#include "workbook/tfwyniki.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using namespace bench;
using namespace Qt::StringLiterals;

// Only the sheets' own time, not the analysis window's opening around it.
QList<double> sheetsMs;

int classes = 25;

// --only TEXT: the steps whose name contains TEXT, the others skipped (their setting up still done).
QString only;

bool wanted(const QString &name)
{
    return only.isEmpty() || name.contains(only);
}

QByteArray statisticsFile(int values)
{
    QByteArray bytes;
    for (int v = 0; v < values; ++v)
        bytes += "1.23;";
    bytes += "\r\n";
    for (int v = 0; v < values; ++v)
        bytes += "0.62;";
    return bytes;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    SondarykApplication app(argc, argv);
    printMessages(QStringLiteral("zapisane"));
    // bench_workbook [--classes N] [--pupils N] [--tasks N] [--rounds N] [--only TEXT] [--keys]
    // [--requirements N]; a lone
    // number is the rounds.
    int rounds = 30;
    const QStringList arguments = app.arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &name = arguments[i];
        const auto value = [&](int *target, int most) {
            if (i + 1 >= arguments.size())
                qFatal("%s needs a number", qPrintable(name));
            *target = std::clamp(arguments[++i].toInt(), 1, most);
        };
        if (name == QStringLiteral("--classes"))
            value(&classes, 25);
        else if (name == QStringLiteral("--pupils"))
            value(&pupils, 999);
        else if (name == QStringLiteral("--tasks"))
            value(&tasks, 200);
        else if (name == QStringLiteral("--rounds"))
            value(&rounds, 1000);
        else if (name == QStringLiteral("--keys"))
            keyed = true;
        else if (name == QStringLiteral("--requirements"))
            value(&requirements, TestDefinition::maxRequirementCount);
        else if (name == QStringLiteral("--only")) {
            if (i + 1 >= arguments.size())
                qFatal("--only needs a text");
            only = arguments[++i];
        } else if (name.toInt() > 0)
            rounds = name.toInt();
        else
            qFatal("usage: bench_workbook [--classes N] [--pupils N] [--tasks N] [--rounds N] [--only TEXT] "
                   "[--keys] [--requirements N]");
    }

    QTemporaryDir location;
    TfWyniki workbook;
    workbook.show();
    setUpSchool(workbook, location.path(), classes);
    for (int i = 0; i < classes; ++i) {
        const QString directory = workbook.session().paths().classFolder(i);
        writeFile(directory + QStringLiteral("/Odpowiedzi.tmp"), answersFile());
        if (keyed)
            writeFile(directory + QStringLiteral("/Wybory.tmp"), choicesFile());
        writeFile(directory + QStringLiteral("/Zadania.tmp"), statisticsFile(tasks));
        writeFile(directory + QStringLiteral("/Standardy.tmp"), statisticsFile(6));
    }

    // The targets: a click at the usual size within one frame; at the program's limits, the long steps
    // (which show a progress window) within a few seconds.
    const bool usual = classes <= 25 && pupils <= 40 && tasks <= 60;
    const auto target = [usual](double atUsual, double atLimits) { return usual ? atUsual : atLimits; };
    // The analysis window is shown once its figures are made; the step then runs inside it.
    QTimer analysisShown;
    analysisShown.setInterval(1);
    std::function<void()> insideAnalysis;
    QObject::connect(&analysisShown, &QTimer::timeout, [&] {
        if (!fAnaliza || !fAnaliza->isVisible())
            return;
        analysisShown.stop();
        insideAnalysis();
        fAnaliza->accept();
    });

    // The rounds run only for the steps wanted.
    const auto measure = [](const QString &name, const std::function<QList<double>()> &rounds, double target,
                            const QList<double> *own = nullptr) {
        if (wanted(name))
            report(qPrintable(name), rounds(), target, own);
    };
    auto *pages = workbook.findChild<QTabWidget *>(QStringLiteral("pcWyniki"));
    std::printf("Workbook, %d classes of %d pupils, %d tasks%s, %d requirements (%d rounds)\n", classes,
                pupils, tasks, keyed ? ", every task keyed and typed as letters" : "", requirements, rounds);
    measure(
        QStringLiteral("class page built from its answers file"),
        [&] {
            return timeIt(
                rounds,
                [&] {
                    pages->setCurrentIndex(classes + 1);
                    QCoreApplication::processEvents();
                },
                [&] {
                    pages->setCurrentIndex(1);
                    QCoreApplication::processEvents();
                });
        },
        target(16, 0));
    measure(
        QStringLiteral("school page (%1 statistics files, 2 written)").arg(2 * classes),
        [&] {
            return timeIt(
                rounds,
                [&] {
                    // The page before is drawn before the clock starts.
                    pages->setCurrentIndex(1);
                    QCoreApplication::processEvents();
                },
                [&] {
                    pages->setCurrentIndex(classes + 1);
                    QCoreApplication::processEvents();
                });
        },
        target(16, 0));
    pages->setCurrentIndex(1);
    measure(
        QStringLiteral("Compute on a class page (answers and 2 statistics files)"),
        [&] {
            return timeIt(
                rounds, [] {}, [&] { workbook.bObliczClick(); });
        },
        target(16, keyed ? 100 : 0));
    measure(
        QStringLiteral("Save on a class page (answers file and report)"),
        [&] {
            return timeIt(
                rounds, [] {}, [&] { workbook.sbZapiszClick(); });
        },
        target(16, 0));
    // A block as a spreadsheet copies it: every pupil's code, mark and points.
    QString block;
    for (int p = 1; p <= pupils; ++p) {
        block += QStringLiteral("U%1\tT").arg(p);
        for (int t = 0; t < tasks; ++t)
            block += u'\t' + (keyed ? QStringList{u"FP"_s, u"PP"_s, u"PF"_s}[(p + t) % 3]
                                    : QString::number((p + t) % 3));
        block += QStringLiteral("\r\n");
    }
    measure(
        QStringLiteral("paste of %1 pupils by %2 columns into a class page").arg(pupils).arg(tasks + 2),
        [&] {
            return timeIt(
                rounds,
                [&] {
                    // Every cell changes in every round.
                    StringGrid *grid = workbook.tabela1();
                    grid->setCurrentCell(1, 1);
                    grid->clearUndo();
                    for (int r = 1; r <= pupils; ++r)
                        for (int c = 1; c < grid->colCount(); ++c)
                            grid->setCell(c, r, QStringLiteral("9"));
                },
                [&] { workbook.tabela1()->pasteBlock(block); });
        },
        target(50, 0));
    // The pasted points are not kept: leaving the page, the question is answered "Nie".
    const messages::Presenter said = messages::setPresenter([](const messages::Message &message) {
        return message.kind == messages::Kind::Question ? QMessageBox::No : QMessageBox::Ok;
    });
    pages->setCurrentIndex(classes + 1);
    messages::setPresenter(said);
    QCoreApplication::processEvents();
    measure(
        QStringLiteral("school spreadsheet file (summary and %1 classes' sheets)").arg(classes),
        [&] {
            return timeIt(
                rounds, [] {},
                [&] {
                    const std::optional<QByteArray> bytes = workbook.session().schoolSpreadsheet({});
                    const SchoolFolder &school = workbook.session().school();
                    school.write(school.paths().schoolFile(schoolfiles::schoolSpreadsheet), bytes.value());
                });
        },
        target(300, 3000));
    {
        // The school spreadsheet file is a long step with its progress window, not a one-frame click.
        // Its "saved" message each round is answered at once.
        const messages::Presenter shown =
            messages::setPresenter([](const messages::Message &) { return QMessageBox::Ok; });
        measure(
            QStringLiteral("Save on the school page (summary, report and spreadsheet file)"),
            [&] {
                return timeIt(
                    rounds, [] {}, [&] { workbook.sbZapiszClick(); });
            },
            target(300, 3000));
        messages::setPresenter(shown);
    }
    pages->setCurrentIndex(1);
    QCoreApplication::processEvents();

    // Damaged files of 63 MiB holding only ";": refused by their size, at once.
    const QByteArray damaged(63 * 1024 * 1024, ';');
    writeFile(workbook.session().paths().classFolder(0) + QStringLiteral("/Odpowiedzi.tmp"), damaged);
    for (int i = 0; i < 2; ++i) {
        writeFile(workbook.session().paths().classFolder(i) + QStringLiteral("/Zadania.tmp"), damaged);
        writeFile(workbook.session().paths().classFolder(i) + QStringLiteral("/Standardy.tmp"), damaged);
    }
    measure(
        QStringLiteral("class page over a damaged 63 MiB answers file (refused)"),
        [&] {
            return timeIt(
                rounds,
                [&] {
                    pages->setCurrentIndex(2);
                    QCoreApplication::processEvents();
                },
                [&] {
                    pages->setCurrentIndex(1);
                    QCoreApplication::processEvents();
                });
        },
        1000);
    measure(
        QStringLiteral("school page with four damaged 63 MiB statistics files (refused)"),
        [&] {
            return timeIt(
                rounds,
                [&] {
                    pages->setCurrentIndex(2);
                    QCoreApplication::processEvents();
                },
                [&] {
                    pages->setCurrentIndex(classes + 1);
                    QCoreApplication::processEvents();
                });
        },
        1000);
    writeFile(workbook.session().paths().classFolder(0) + QStringLiteral("/Odpowiedzi.tmp"), answersFile());
    for (int i = 0; i < 2; ++i) {
        writeFile(workbook.session().paths().classFolder(i) + QStringLiteral("/Zadania.tmp"),
                  statisticsFile(tasks));
        writeFile(workbook.session().paths().classFolder(i) + QStringLiteral("/Standardy.tmp"),
                  statisticsFile(6));
    }
    // The country's and the other areas' facilities of every task, standard and the whole test.
    ComparisonFigures comparison = ComparisonFigures::emptyFor(workbook.session().test());
    for (AreaFigures &area : comparison.tasks)
        area = {0.61, 0.6, 0.58, 0.63};
    for (AreaFigures &area : comparison.standards)
        area = {0.55, 0.56, 0.5, 0.6};
    comparison.wholeTest = {0.57, 0.58, 0.55, 0.6};
    writeFile(workbook.session().paths().file(schoolfiles::comparison),
              comparisonFileBytes(comparison, workbook.session().test()));
    pages->setCurrentIndex(classes + 1);
    measure(
        QStringLiteral("school analysis with comparison figures (%1 answers files, report, charts)")
            .arg(classes),
        [&] {
            return timeIt(
                rounds,
                [&] {
                    // The window closes as soon as it has been shown.
                    insideAnalysis = [] {};
                    analysisShown.start();
                },
                [&] { workbook.sbAnalizaClick(); });
        },
        target(100, 1000));
    pages->setCurrentIndex(1);
    QCoreApplication::processEvents();
    measure(
        QStringLiteral("pupils' sheets of a class of %1 (PDF made and written)").arg(pupils),
        [&] {
            return timeIt(
                std::max(1, rounds / 5),
                [&] {
                    insideAnalysis = [] {
                        QElapsedTimer clock;
                        clock.start();
                        fAnaliza->bKartyUczniowClick();
                        sheetsMs.append(double(clock.nsecsElapsed()) / 1e6);
                    };
                    analysisShown.start();
                },
                [&] { workbook.sbAnalizaClick(); });
        },
        target(300, 5000), &sheetsMs);
    std::printf("  peak memory %.0f MiB\n", peakMemoryMiB());
    return 0;
}
