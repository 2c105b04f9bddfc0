// The start window: its layout, its three buttons, help, and the single-instance guard.
#include "app/instanceguard.h"
#include "app/sondarykapplication.h"
#include "app/tfsondaryk.h"
#include "tests/support/messagerecorder.h"
#include "ui/helpviewer.h"
#include "workbook/tfwyniki.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <csignal>

using namespace Qt::StringLiterals;

class TstStartWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { SondarykApplication::setUp(*qApp); }
    void layout_data();
    void layout();
    void captionsAndFocusOrder();
    void helpShowsTheMainTopic();
    void helpUsesTheCurrentDirectoryAtStart();
    void helpFallsBackToTheProgramsFolder();
    void helpPathChoice();
    void missingHelpFileIsReported();
    void resultsOpensAFreshWorkbookEachTime();
    void endClosesTheWindow();
    void guardInOneProcess();
    void secondCopyIsToldAndStops();
    void guardBetweenRealProcesses();
    void aTeachersCopyDoesNotDisturbTheTests();
    void theProgramReturnsTheLoopsExitCode();

private:
    static QPushButton *button(QWidget &window, const char *name)
    {
        auto *b = window.findChild<QPushButton *>(QLatin1String(name));
        if (!b)
            qFatal("no button %s", name);
        return b;
    }
};

void TstStartWindow::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("Image1") << u"Image1"_s << QRect(16, 8, 113, 185);
    QTest::newRow("bPomoc") << u"bPomoc"_s << QRect(136, 8, 97, 49);
    QTest::newRow("bWyniki") << u"bWyniki"_s << QRect(136, 72, 97, 49);
    QTest::newRow("bKoniec") << u"bKoniec"_s << QRect(136, 144, 97, 49);
    QTest::newRow("StaticText1") << u"StaticText1"_s << QRect(9, 198, 224, 17);
}

void TstStartWindow::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    TfSondaryk window;
    QCOMPARE(window.size(), QSize(241, 218));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    auto *control = window.findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
}

void TstStartWindow::captionsAndFocusOrder()
{
    TfSondaryk window;
    QCOMPARE(window.windowTitle(), u"Sondaryk"_s);
    QCOMPARE(button(window, "bPomoc")->text(), u"Pomoc"_s);
    QCOMPARE(button(window, "bWyniki")->text(), u"Wyniki"_s);
    QCOMPARE(button(window, "bKoniec")->text(), u"Koniec"_s);
    auto *footer = window.findChild<QLabel *>(u"StaticText1"_s);
    QCOMPARE(footer->text(), u"Kalborn"_s);
    QCOMPARE(footer->focusPolicy(), Qt::NoFocus);
    QVERIFY(!window.findChild<QLabel *>(u"Image1"_s)->pixmap().isNull());

    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    button(window, "bPomoc")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), button(window, "bWyniki"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), button(window, "bKoniec"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), button(window, "bPomoc"));
}

void TstStartWindow::helpShowsTheMainTopic()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"Pomoc"_s));
    QFile help(dir.filePath(u"Pomoc/Pomoc.html"_s));
    QVERIFY(help.open(QIODevice::WriteOnly));
    help.write("<html><body><p>Wstęp</p><h1><a name=\"IDH_MAIN\"></a>Temat główny</h1></body></html>");
    help.close();

    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    TfSondaryk window;
    QDir::setCurrent(previous);
    MessageRecorder recorder;
    QTest::mouseClick(button(window, "bPomoc"), Qt::LeftButton);
    QVERIFY(recorder.shown.isEmpty());
    auto *browser = window.findChild<QTextBrowser *>(u"helpBrowser"_s);
    QVERIFY(browser);
    QVERIFY(browser->isVisible());
    QCOMPARE(browser->source().fragment(), u"IDH_MAIN"_s);
    QVERIFY(browser->toPlainText().contains(u"Temat główny"_s));
    browser->window()->close();
}

void TstStartWindow::helpUsesTheCurrentDirectoryAtStart()
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    TfSondaryk window;
    QDir::setCurrent(previous);
    QCOMPARE(window.helpFilePath(), QDir(dir.path()).absolutePath() + u"/Pomoc/Pomoc.html"_s);
}

void TstStartWindow::helpFallsBackToTheProgramsFolder()
{
    // Started from a folder without the help, as the `sondaryk` command is: the help beside the
    // program (build/bin/Pomoc here) opens, with no message.
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    TfSondaryk window;
    QDir::setCurrent(previous);
    MessageRecorder recorder;
    QTest::mouseClick(button(window, "bPomoc"), Qt::LeftButton);
    QVERIFY2(recorder.shown.isEmpty(), qPrintable(recorder.texts().join(u" | "_s)));
    auto *browser = window.findChild<QTextBrowser *>(u"helpBrowser"_s);
    QVERIFY(browser);
    QCOMPARE(browser->source().toLocalFile(),
             QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(u"Pomoc/Pomoc.html"_s));
    QCOMPARE(browser->source().fragment(), u"IDH_MAIN"_s);
    browser->window()->close();
}

void TstStartWindow::helpPathChoice()
{
    QTemporaryDir current;
    QTemporaryDir program;
    const QString inCurrent = current.filePath(u"Pomoc/Pomoc.html"_s);
    const QString inProgram = program.filePath(u"Pomoc/Pomoc.html"_s);
    // Neither has it: the current directory's path, which the message then names.
    QCOMPARE(startHelpPath(inCurrent, program.path()), inCurrent);
    QVERIFY(QDir(program.path()).mkdir(u"Pomoc"_s));
    QVERIFY(QFile(inProgram).open(QIODevice::WriteOnly));
    QCOMPARE(startHelpPath(inCurrent, program.path()), inProgram);
    // The current directory comes first, as it always did.
    QVERIFY(QDir(current.path()).mkdir(u"Pomoc"_s));
    QVERIFY(QFile(inCurrent).open(QIODevice::WriteOnly));
    QCOMPARE(startHelpPath(inCurrent, program.path()), inCurrent);
}

void TstStartWindow::missingHelpFileIsReported()
{
    // The help window itself names a file it cannot show.
    QTemporaryDir dir;
    MessageRecorder recorder;
    const QString missing = dir.filePath(u"Pomoc/Pomoc.html"_s);
    QWidget owner;
    QVERIFY(!showHelpTopic(&owner, missing, u"IDH_MAIN"_s));
    QCOMPARE(recorder.shown.size(), 1);
    QVERIFY(recorder.shown[0].text.contains(missing));
    QVERIFY(recorder.shown[0].text.startsWith(u"Nie można otworzyć pliku pomocy"_s));
}

void TstStartWindow::resultsOpensAFreshWorkbookEachTime()
{
    MessageRecorder recorder;
    TfSondaryk window;
    window.show();
    QList<TfWyniki *> opened;
    bool wasModal = false;
    QStringList countsWhenOpened;
    auto closeWhenShown = [&] {
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(fWyniki && fWyniki->isVisible());
            wasModal = fWyniki->isModal();
            opened.append(fWyniki);
            auto *edit = fWyniki->findChild<QLineEdit *>(u"eLiczbaKlas"_s);
            countsWhenOpened.append(edit->text());
            edit->setText(u"3"_s);
            fWyniki->close();
        });
    };
    closeWhenShown();
    QTest::mouseClick(button(window, "bWyniki"), Qt::LeftButton);
    QCOMPARE(opened.size(), 1);
    QVERIFY(wasModal);
    closeWhenShown();
    QTest::mouseClick(button(window, "bWyniki"), Qt::LeftButton);
    QCOMPARE(opened.size(), 2);
    // The second workbook starts from its setup page, not from what the first one held.
    QCOMPARE(countsWhenOpened, QStringList({u"0"_s, u"0"_s}));
    QCOMPARE(fWyniki, opened[1]);
    QCOMPARE(fWyniki->currentPage(), 0);
}

void TstStartWindow::endClosesTheWindow()
{
    TfSondaryk window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(button(window, "bKoniec"), Qt::LeftButton);
    QVERIFY(!window.isVisible());
}

void TstStartWindow::guardInOneProcess()
{
    const QString name = u"Sondaryk.test.%1"_s.arg(QCoreApplication::applicationPid());
    {
        InstanceGuard first(name);
        QVERIFY(!first.anotherInstanceRuns());
        InstanceGuard second(name);
        QVERIFY(second.anotherInstanceRuns());
    }
    // Released with its holder: a later start is not blocked.
    InstanceGuard later(name);
    QVERIFY(!later.anotherInstanceRuns());
}

void TstStartWindow::secondCopyIsToldAndStops()
{
    InstanceGuard running(instanceGuardName());
    QVERIFY(!running.anotherInstanceRuns());
    MessageRecorder recorder;
    TfSondaryk second;
    QVERIFY(!second.FormCreate());
    QCOMPARE(recorder.texts(), QStringList{u"Ten program jest już uruchomiony!"_s});
    QCOMPARE(recorder.shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(!second.isVisible());
}

void TstStartWindow::guardBetweenRealProcesses()
{
    const QString bin = QCoreApplication::applicationDirPath();
    const QString program = bin + u"/sondaryk"_s;
    const QString probe = bin + u"/guardprobe"_s;
    QVERIFY(QFile::exists(program));
    auto probeSays = [&] {
        QProcess p;
        p.start(probe, {});
        p.waitForFinished(10000);
        return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
    };
    QCOMPARE(probeSays(), u"free"_s);

    QProcess first;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    first.setProcessEnvironment(env);
    first.start(program, {});
    QVERIFY(first.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(probeSays(), u"taken"_s, 15000);

    // A copy that dies without cleaning up must not block the next start.
    ::kill(pid_t(first.processId()), SIGKILL);
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(probeSays(), u"free"_s);
}

void TstStartWindow::aTeachersCopyDoesNotDisturbTheTests()
{
    // The test runner gives this test a guard name of its own.
    QVERIFY(!qEnvironmentVariableIsEmpty("SONDARYK_INSTANCE_NAME"));
    QVERIFY(instanceGuardName() != u"Sondaryk.exe"_s);
    InstanceGuard teachersCopy(u"Sondaryk.exe"_s);
    MessageRecorder recorder;
    TfSondaryk window;
    QVERIFY(window.FormCreate());
    QVERIFY(recorder.shown.isEmpty());

    // Without the variable the program's own name holds.
    const QByteArray name = qgetenv("SONDARYK_INSTANCE_NAME");
    qunsetenv("SONDARYK_INSTANCE_NAME");
    const QString unset = instanceGuardName();
    qputenv("SONDARYK_INSTANCE_NAME", name);
    QCOMPARE(unset, u"Sondaryk.exe"_s);
}

void TstStartWindow::theProgramReturnsTheLoopsExitCode()
{
    MessageRecorder recorder;
    bool shown = false;
    QTimer::singleShot(0, [&] {
        shown = fSondaryk && fSondaryk->isVisible();
        QCoreApplication::exit(7);
    });
    QCOMPARE(runSondaryk(*qApp), 7);
    QVERIFY(shown);
    QCOMPARE(fSondaryk, nullptr);

    // A second copy ends at once, with 0, after saying so.
    InstanceGuard running(instanceGuardName());
    QCOMPARE(runSondaryk(*qApp), 0);
    QCOMPARE(recorder.texts(), QStringList{u"Ten program jest już uruchomiony!"_s});
}

QTEST_MAIN(TstStartWindow)
#include "tst_startwindow.moc"
