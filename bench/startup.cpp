// Start-up of the program to its start window on screen, against a minimal Qt Widgets program
// (a window with one button),
// both measured in fresh processes in the same run. Prints medians and the peak memory.
#include "app/sondarykapplication.h"
#include "app/tfsondaryk.h"
#include "ui/messages.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProcess>
#include <QPushButton>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {

qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Runs in the child: builds the window, waits until it is exposed and painted, then reports.
int child(int argc, char **argv, const QByteArray &mode, qint64 launchedAt)
{
    std::unique_ptr<QApplication> app;
    std::unique_ptr<QWidget> window;
    if (mode == "sondaryk") {
        app = std::make_unique<SondarykApplication>(argc, argv);
        // A copy of the program already running must not stop the measurement with a message.
        messages::setPresenter([](const messages::Message &) { return QMessageBox::Ok; });
        auto *start = new TfSondaryk;
        start->FormCreate();
        window.reset(start);
    } else {
        // The smallest real Widgets program: Qt's own first tutorial, one button with a text.
        app = std::make_unique<QApplication>(argc, argv);
        window = std::make_unique<QPushButton>(QStringLiteral("Hello world!"));
        window->resize(241, 218);
    }
    window->show();
    while (!window->windowHandle() || !window->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    window->repaint();
    const double ms = double(monotonicNs() - launchedAt) / 1e6;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.3f %ld\n", ms, usage.ru_maxrss);
    return 0;
}

struct Figures {
    QList<double> ms;
    QList<long> kb;
};

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 4 && QByteArray(argv[1]) == "child")
        return child(argc, argv, argv[2], QByteArray(argv[3]).toLongLong());

    const int rounds = argc >= 2 ? std::max(1, atoi(argv[1])) : 15;
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Figures minimal;
    Figures sondaryk;
    for (int i = 0; i < rounds; ++i) {
        for (const char *mode : {"minimal", "sondaryk"}) {
            QProcess process;
            process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            const qint64 t0 = monotonicNs();
            process.start(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("child"), QString::fromLatin1(mode), QString::number(t0)});
            process.waitForFinished(60000);
            const QList<QByteArray> parts = process.readAllStandardOutput().trimmed().split(' ');
            if (parts.size() != 2) {
                std::fprintf(stderr, "child %s gave no figures\n", mode);
                return 1;
            }
            Figures &f = QByteArray(mode) == "minimal" ? minimal : sondaryk;
            f.ms.append(parts[0].toDouble());
            f.kb.append(parts[1].toLong());
        }
    }
    const double m = median(minimal.ms);
    const double s = median(sondaryk.ms);
    std::printf("Start-up to the window shown (median of %d runs, platform %s)\n", rounds,
                qgetenv("QT_QPA_PLATFORM").isEmpty() ? "xcb" : qgetenv("QT_QPA_PLATFORM").constData());
    std::printf("  minimal Qt window : %8.2f ms, peak memory %6ld KiB\n", m,
                *std::max_element(minimal.kb.begin(), minimal.kb.end()));
    std::printf("  Sondaryk          : %8.2f ms, peak memory %6ld KiB\n", s,
                *std::max_element(sondaryk.kb.begin(), sondaryk.kb.end()));
    std::printf("  ratio             : %8.2f (target: at most 1.30)\n", m > 0 ? s / m : 0.0);
    return 0;
}
