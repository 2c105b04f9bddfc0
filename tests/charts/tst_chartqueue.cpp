// "Drukuj Wykres" on the system's real default printer: a CUPS queue that prints to PDF files, set
// up for this test alone where the machine has CUPS and cups-pdf and the test runs as root.
#include "tests/charts/chartstesting.h"

#include <QElapsedTimer>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>

#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace ct;

class TstChartQueue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void printsOnTheDefaultQueue();

private:
    QString m_skipReason;
    bool m_startedCups = false;
    bool m_addedQueue = false;
};

namespace {

const QString queue = u"SondarykTestPDF"_s;
const QString cupsSocket = u"/run/cups/cups.sock"_s;
const QString cupsPid = u"/run/cups/cupsd.pid"_s;
const QString pdfDriver = u"/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"_s;

bool cupsAnswers()
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = cupsSocket.toLocal8Bit();
    qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

// Runs a command and waits for it at most ten seconds.
bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Where cups-pdf puts the files printed by this user.
QString pdfFolder()
{
    const passwd *user = getpwuid(getuid());
    return user ? QString::fromLocal8Bit(user->pw_dir) + u"/PDF"_s : QString();
}

QStringList printedCharts()
{
    return QDir(pdfFolder()).entryList({u"Chart1-job_*.pdf"_s}, QDir::Files);
}

} // namespace

void TstChartQueue::initTestCase()
{
    setUpApplication();
    if (getuid() != 0) {
        m_skipReason = u"setting up a print queue needs root"_s;
        return;
    }
    for (const QString &file :
         {u"/usr/sbin/cupsd"_s, u"/usr/sbin/lpadmin"_s, u"/usr/lib/cups/backend/cups-pdf"_s, pdfDriver}) {
        if (!QFile::exists(file)) {
            m_skipReason = file + u" is not installed"_s;
            return;
        }
    }
    if (!cupsAnswers()) {
        // cupsd goes into the background once it listens.
        if (!run(u"/usr/sbin/cupsd"_s, {})) {
            m_skipReason = u"cupsd does not start"_s;
            return;
        }
        m_startedCups = true;
        QElapsedTimer waited;
        waited.start();
        while (!cupsAnswers() && waited.elapsed() < 10000)
            QTest::qWait(100);
        if (!cupsAnswers()) {
            m_skipReason = u"cupsd does not answer"_s;
            return;
        }
    }
    if (!run(u"/usr/sbin/lpadmin"_s,
             {u"-p"_s, queue, u"-E"_s, u"-v"_s, u"cups-pdf:/"_s, u"-P"_s, pdfDriver})) {
        m_skipReason = u"the PDF queue cannot be added"_s;
        return;
    }
    m_addedQueue = true;
    // The queue is this process's default printer (and nobody else's).
    qputenv("LPDEST", queue.toLocal8Bit());
}

void TstChartQueue::cleanupTestCase()
{
    if (m_addedQueue)
        run(u"/usr/sbin/lpadmin"_s, {u"-x"_s, queue});
    if (m_startedCups) {
        QFile pidFile(cupsPid);
        bool ok = false;
        const pid_t pid =
            pidFile.open(QIODevice::ReadOnly) ? pid_t(pidFile.readAll().trimmed().toLongLong(&ok)) : 0;
        if (ok && pid > 0)
            kill(pid, SIGTERM);
    }
}

void TstChartQueue::printsOnTheDefaultQueue()
{
    if (!m_skipReason.isEmpty())
        QSKIP(qPrintable(m_skipReason));
    QPrinter *printer = ui::systemPrinter();
    QVERIFY(printer);
    QCOMPARE(printer->printerName(), queue);
    printer->setPageOrientation(QPageLayout::Portrait);
    const QStringList before = printedCharts();

    School school({u"6a"_s});
    TfWykres window(school.classPage(makeTest(), 0, 2, {u"1;2;3;4;5;15"_s, u"2;2;2;2;2;10"_s}));
    school.recorder.clear();
    window.findChild<QAbstractButton *>(u"bDrukujWykres"_s)->click();
    QVERIFY2(school.recorder.shown.isEmpty(), qPrintable(school.recorder.texts().join(u" | "_s)));
    QCOMPARE(printer->pageLayout().orientation(), QPageLayout::Portrait);

    // The queue turns the job, named after the chart control, into a PDF file of one page.
    QStringList added;
    QElapsedTimer waited;
    waited.start();
    while (added.isEmpty() && waited.elapsed() < 30000) {
        QTest::qWait(200);
        added = printedCharts();
        for (const QString &name : before)
            added.removeAll(name);
    }
    QCOMPARE(added.size(), 1);
    const QString path = pdfFolder() + u'/' + added[0];
    QByteArray pdf;
    for (int i = 0; i < 50 && !pdf.contains("%%EOF"); ++i) {
        QTest::qWait(100);
        pdf = readBytes(path);
    }
    QFile::remove(path);
    QVERIFY(pdf.startsWith("%PDF"));
    // A printer's landscape: the chart turned on the sheet.
    static const QRegularExpression page(uR"(/Type\s*/Page[^s])"_s);
    QCOMPARE(QString::fromLatin1(pdf).count(page), 1);
    QVERIFY(pdf.contains("Chart1"));
}

QTEST_MAIN(TstChartQueue)
#include "tst_chartqueue.moc"
