// The test definition window as a teacher uses it: typing and pasting tasks, the sums, values
// refused in their cells, loading and saving through the choosers, the read-only view, and the
// user's own folder of tests that the choosers start in.
#include "analysis/testdefinitionfile.h"
#include "school/usertests.h"
#include "tests/workbook/workbooktesting.h"
#include "ui_tfdefinicjatestu.h"
#include "workbook/tfdefinicjatestu.h"

#include <QClipboard>
#include <QSpinBox>
#include <QStandardPaths>

using namespace Qt::StringLiterals;
using namespace wb;

class TstDefinitionWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void typedCellsCheckedAndSumsReconciled();
    void droppedTypingSaid();
    void pasteGrowsTheTasks();
    void analysisFields();
    void okOnlyWhenWhole();
    void saveAsAndLoad();
    void readOnly();
    void tabOrder();
    void userTestsFolder();

private:
    QTemporaryDir m_data;
    QTemporaryDir m_files;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<TfDefinicjaTestu> m_window;
    QStringList m_chooserStarts;
};

namespace {

// Two tasks of 1 point in standard 1, the sums agreeing.
const QByteArray twoTasks = "[Ustawienia]\r\nNazwaTestu=Pr\xF3"
                            "ba\r\nDataTestu=2026-03-20\r\nLiczbaZadan=2\r\n"
                            "MaxLiczbaPunktow=2\r\n[Standard1]\r\nMaxPunktow=2\r\n"
                            "[Standard2]\r\nMaxPunktow=0\r\n[Standard3]\r\nMaxPunktow=0\r\n"
                            "[Standard4]\r\nMaxPunktow=0\r\n[Standard5]\r\nMaxPunktow=0\r\n";

} // namespace

void TstDefinitionWindow::initTestCase()
{
    // The user's folder of tests lies in the temporary folder, never in the home of whoever runs this.
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
    setUpApplication();
}

void TstDefinitionWindow::init()
{
    m_messages = std::make_unique<MessageRecorder>();
    m_chooserStarts.clear();
    ui::fileChooser = [](QWidget *, const QString &, const QString &, const QString &) { return QString(); };
    ui::saveFileChooser = [](QWidget *, const QString &, const QString &, const QString &) {
        return QString();
    };
    m_window = std::make_unique<TfDefinicjaTestu>();
    m_window->setDefinition(twoTasks);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TstDefinitionWindow::cleanup()
{
    // The window first, while the recorder still answers whatever closing it may say.
    m_window.reset();
    m_messages.reset();
}

void TstDefinitionWindow::typedCellsCheckedAndSumsReconciled()
{
    Ui::TfDefinicjaTestu *form = m_window->form();
    StringGrid *tasks = form->tabelaZadan;
    compareGrid(tasks, {{u"Nr"_s, u"Etykieta"_s, u"Punkty"_s, u"Standard"_s, u"Zamknięte"_s, u"Klucz"_s,
                         u"Odpowiedzi"_s, u"Wymagania"_s, u"Za część"_s},
                        {u"1"_s, u"Zad.1"_s, u"1"_s, u"1"_s, u"tak"_s, u""_s, u""_s, u""_s, u"nie"_s},
                        {u"2"_s, u"Zad.2"_s, u"1"_s, u"1"_s, u"tak"_s, u""_s, u""_s, u""_s, u"nie"_s}});
    QVERIFY(form->lbSumy->text().contains(u"zgadzają się"_s));

    const QList<std::tuple<int, QString, QString>> refused{
        {2, u"abc"_s, u"Zadanie 1, Punkty: „abc” nie jest liczbą całkowitą."_s},
        {2, u"-3"_s, u"Zadanie 1, Punkty: liczba nie może być ujemna (-3)."_s},
        {2, u"1001"_s, u"Zadanie 1, Punkty: 1001 leży poza dopuszczalnym zakresem od 1 do 1000."_s},
        {3, u"6"_s, u"Zadanie 1, Standard: 6 leży poza dopuszczalnym zakresem od 1 do 5."_s},
        {4, u"x"_s,
         u"Zadanie 1, Zamknięte: „x” nie mówi, czy zadanie jest zamknięte; wpisz „tak” (albo Z, 1) lub "
         "„nie” (albo O, 0)."_s}};
    for (const auto &[col, text, message] : refused) {
        m_messages->clear();
        WB_CHECK(typeCell(tasks, col, 1, text));
        QCOMPARE(m_messages->texts(), QStringList{u"Nie przyjęto wartości:\n"_s + message});
        QCOMPARE(tasks->cell(col, 1), col == 4 ? u"tak"_s : u"1"_s);
    }

    m_messages->clear();
    WB_CHECK(typeCell(tasks, 2, 1, u"3"_s));
    WB_CHECK(typeCell(tasks, 3, 2, u"4"_s));
    WB_CHECK(typeCell(tasks, 4, 2, u"O"_s));
    QCOMPARE(m_messages->texts(), QStringList());
    QCOMPARE(tasks->cell(4, 2), u"nie"_s);
    const QString sums = form->lbSumy->text();
    QVERIFY2(sums.contains(u"Suma punktów zadań: 4 (standardy 1–4: 3, 0, 0, 1)."_s), qPrintable(sums));
    QVERIFY(sums.contains(u"color:#c00000"_s));
    QVERIFY(sums.contains(u"Maksymalna liczba punktów testu (2) nie równa się sumie punktów zadań (4)."_s));
    QVERIFY(sums.contains(u"Standard 4 (St.4): maksimum 0, a suma punktów jego zadań 1."_s));

    QTest::mouseClick(form->bUzgodnij, Qt::LeftButton);
    QCOMPARE(form->eMaxPunktow->text(), u"4"_s);
    QCOMPARE(form->tabelaStandardow->cell(3, 1), u"3"_s);
    QCOMPARE(form->tabelaStandardow->cell(3, 4), u"1"_s);
    QVERIFY(!form->lbSumy->text().contains(u"color:#c00000"_s));

    // A standard's abbreviation may not be emptied, its points not be negative.
    m_messages->clear();
    WB_CHECK(typeCell(form->tabelaStandardow, 3, 2, u"-1"_s));
    QCOMPARE(m_messages->texts(),
             QStringList{u"Nie przyjęto wartości:\nStandard 2, Punkty: liczba nie może być "
                         "ujemna (-1)."_s});
    QCOMPARE(form->tabelaStandardow->cell(3, 2), u"0"_s);

    const TestDefinitionFile definition = readTestDefinitionFile(m_window->definitionBytes());
    QCOMPARE(definition.tasks[0].points, u"3"_s);
    QCOMPARE(definition.tasks[1].standard, u"4"_s);
    QCOMPARE(definition.tasks[1].closed, u"nie"_s);
    QCOMPARE(definition.maxTotalPoints, u"4"_s);
}

void TstDefinitionWindow::pasteGrowsTheTasks()
{
    Ui::TfDefinicjaTestu *form = m_window->form();
    StringGrid *tasks = form->tabelaZadan;
    QGuiApplication::clipboard()->setText(u"A\t2\t2\tZ\nB\tdwa\t3\totwarte\nC\t1\t7\ttak\nD\t4\t5\t0\n"_s);
    tasks->setFocus();
    tasks->setCurrentCell(2, 1);
    QTest::keyClick(tasks, Qt::Key_V, Qt::ControlModifier);

    QCOMPARE(form->seLiczbaZadan->value(), 5);
    compareGrid(tasks, {{u"Nr"_s, u"Etykieta"_s, u"Punkty"_s, u"Standard"_s, u"Zamknięte"_s, u"Klucz"_s,
                         u"Odpowiedzi"_s, u"Wymagania"_s, u"Za część"_s},
                        {u"1"_s, u"Zad.1"_s, u"1"_s, u"1"_s, u"tak"_s, u""_s, u""_s, u""_s, u"nie"_s},
                        {u"2"_s, u"A"_s, u"2"_s, u"2"_s, u"tak"_s, u""_s, u""_s, u""_s, u"nie"_s},
                        {u"3"_s, u"B"_s, u"1"_s, u"3"_s, u"nie"_s, u""_s, u""_s, u""_s, u"nie"_s},
                        {u"4"_s, u"C"_s, u"1"_s, u"1"_s, u"tak"_s, u""_s, u""_s, u""_s, u"nie"_s},
                        {u"5"_s, u"D"_s, u"4"_s, u"5"_s, u"nie"_s, u""_s, u""_s, u""_s, u"nie"_s}});
    QCOMPARE(m_messages->texts(),
             QStringList{u"Nie wklejono wszystkiego:\nZadanie 3, Punkty: „dwa” nie jest liczbą całkowitą.\n"
                         "Zadanie 4, Standard: 7 leży poza dopuszczalnym zakresem od 1 do 5."_s});
    QVERIFY(form->lbSumy->text().contains(u"Suma punktów zadań: 9 (standardy 1–5: 2, 2, 1, 0, 4)."_s));

    // Lowering the count and raising it again gives the same tasks back.
    form->seLiczbaZadan->setValue(2);
    QCOMPARE(tasks->rowCount(), 3);
    form->seLiczbaZadan->setValue(6);
    QCOMPARE(tasks->cell(1, 5), u"D"_s);
    QCOMPARE(tasks->cell(1, 6), u"Zad.6"_s);
    QCOMPARE(readTestDefinitionFile(m_window->definitionBytes()).tasks.size(), 6);
}

void TstDefinitionWindow::analysisFields()
{
    Ui::TfDefinicjaTestu *form = m_window->form();
    form->zakladki->setCurrentIndex(1);
    WB_CHECK(typeInto(form->eTrudne, u"1,5"_s));
    form->eUmiarkowanieTrudne->setFocus();
    QCOMPARE(
        m_messages->texts(),
        QStringList{u"Nie przyjęto wartości:\nTrudne: granica przedziału łatwości musi być większa od 0 i "
                    "nie większa niż 1 (1,5)."_s});
    QCOMPARE(form->eTrudne->text(), QString());

    const QStringList bounds{u"0,25"_s, u"0,5"_s, u"0,75"_s, u"0,9"_s};
    const QList<QLineEdit *> edits{form->eTrudne, form->eUmiarkowanieTrudne, form->eLatwe,
                                   form->eBardzoLatwe};
    for (int i = 0; i < 4; ++i) {
        WB_CHECK(typeInto(edits[i], bounds[i]));
        edits[(i + 1) % 4]->setFocus();
    }
    WB_CHECK(typeInto(form->eProg, u"8"_s));
    for (int k = 1; k <= 9; ++k)
        WB_CHECK(typeCell(form->tabelaStaninyUczniow, k, 1, QString::number(k * 2)));
    m_messages->clear();
    WB_CHECK(typeCell(form->tabelaStaniny, 1, 1, u"-2"_s));
    QCOMPARE(m_messages->texts(),
             QStringList{u"Nie przyjęto wartości:\nStanin 1: liczba nie może być ujemna (-2)."_s});
    QCOMPARE(form->tabelaStaniny->cell(1, 1), QString());

    m_messages->clear();
    QTimer::singleShot(0, form->bOK, [form] { QTest::mouseClick(form->bOK, Qt::LeftButton); });
    QCOMPARE(m_window->exec(), int(QDialog::Accepted));
    QCOMPARE(m_messages->texts(), QStringList());
    const QString path = m_files.filePath(u"Setup.ini"_s);
    QVERIFY(writeBytes(path, m_window->definitionBytes()));
    const AnalysisSettings settings = loadAnalysisSettingsFrom(path);
    QCOMPARE(settings.problems, QStringList());
    QCOMPARE(settings.bandBounds, (std::array<double, 4>{0.25, 0.5, 0.75, 0.9}));
    QCOMPARE(settings.pupilStanineBounds, (QList<double>{2, 4, 6, 8, 10, 12, 14, 16, 18}));
    QVERIFY(settings.stanineBounds.isEmpty());
    QCOMPARE(settings.comparisonThreshold, 8);
    QVERIFY(!m_window->definitionBytes().contains("[Staniny]"));
}

void TstDefinitionWindow::okOnlyWhenWhole()
{
    Ui::TfDefinicjaTestu *form = m_window->form();
    m_window->setDefinition("[Ustawienia]\r\nNazwaTestu=\r\nLiczbaZadan=1\r\nLiczbaStandardow=1\r\n[Zadanie1]"
                            "\r\nMaxPunktow=abc\r\n"
                            "[PrzedzialyLatwosci]\r\nTrudne=0.3\r\n");
    QTest::mouseClick(form->bOK, Qt::LeftButton);
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_window->result(), int(QDialog::Rejected));
    QCOMPARE(m_messages->texts(),
             QStringList{
                 u"Definicji testu nie można jeszcze zapisać:\nNazwa testu: nazwa testu nie może być pusta.\n"
                 "Zadanie 1, Punkty: „abc” nie jest liczbą całkowitą.\nPrzedziały łatwości: trzeba wpisać "
                 "wszystkie cztery granice albo żadnej."_s});

    // An emptied name is put back at once.
    m_window->setDefinition(twoTasks);
    m_messages->clear();
    form->eNazwa->setFocus();
    WB_CHECK(typeInto(form->eNazwa, QString()));
    form->eData->setFocus();
    QCOMPARE(form->eNazwa->text(), u"Próba"_s);
    QCOMPARE(m_messages->texts(),
             QStringList{u"Nie przyjęto wartości:\nNazwa testu: nazwa testu nie może być pusta."_s});
}

// What typing cannot put in is said, never dropped without a word.
void TstDefinitionWindow::droppedTypingSaid()
{
    Ui::TfDefinicjaTestu *form = m_window->form();
    StringGrid *tasks = form->tabelaZadan;
    const QString semicolon = u"Średnika (;) nie można wpisać w tej komórce: w plikach testu i wyników "
                              u"rozdziela on pola. Kody wymagań zadania (kolumna „Wymagania”) można "
                              u"rozdzielać średnikiem albo przecinkiem."_s;
    // In the open editor, and as the key that would open it.
    WB_CHECK(typeCell(tasks, 1, 2, u"Zad;2"_s));
    QTRY_COMPARE(m_messages->texts(), QStringList{semicolon});
    QCOMPARE(tasks->cell(1, 2), u"Zad2"_s);
    m_messages->clear();
    tasks->setFocus();
    tasks->setCurrentCell(1, 1);
    QTest::keyClick(tasks, Qt::Key_Semicolon);
    QCOMPARE(m_messages->texts(), QStringList{semicolon});
    QCOMPARE(tasks->cell(1, 1), u"Zad.1"_s);

    // A count typed beyond the limit is set to the limit, and told, not cut to its first digits.
    m_messages->clear();
    form->seLiczbaZadan->setFocus();
    form->seLiczbaZadan->selectAll();
    QTest::keyClicks(form->seLiczbaZadan, u"300"_s);
    QCOMPARE(form->seLiczbaZadan->value(), TestDefinition::maxTaskCount);
    QCOMPARE(m_messages->texts(),
             QStringList{u"Test może mieć najwyżej 200 zadań; liczbę zadań ustawiono na 200."_s});
    QCOMPARE(readTestDefinitionFile(m_window->definitionBytes()).tasks.size(), TestDefinition::maxTaskCount);
}

void TstDefinitionWindow::saveAsAndLoad()
{
    Ui::TfDefinicjaTestu *form = m_window->form();
    QString chosen = m_files.filePath(u"Moj test"_s);
    ui::saveFileChooser = [&](QWidget *, const QString &, const QString &start, const QString &) {
        m_chooserStarts.append(start);
        return chosen;
    };
    WB_CHECK(typeInto(form->eNazwa, u"Próba ósma"_s));
    QTest::mouseClick(form->bZapiszJako, Qt::LeftButton);
    QCOMPARE(m_messages->texts(), QStringList());
    QCOMPARE(m_chooserStarts, QStringList{::userTestsFolder() + u"/Próba ósma.ini"_s});
    const QByteArray saved = readBytes(chosen + u".ini"_s);
    QCOMPARE(saved, m_window->definitionBytes());
    QCOMPARE(loadTestDefinitionFrom(chosen + u".ini"_s).testName, u"Próba ósma"_s);

    // A folder that is in fact a file: the message names the file, nothing else changes.
    QVERIFY(writeBytes(m_files.filePath(u"plik"_s), "x"));
    chosen = m_files.filePath(u"plik/Test.ini"_s);
    QTest::mouseClick(form->bZapiszJako, Qt::LeftButton);
    QCOMPARE(m_messages->texts(), QStringList{u"Nie mogę zapisać pliku "_s + chosen + u"!"_s});
    QCOMPARE(m_messages->shown.first().kind, messages::Kind::FileError);

    // Loading: the choosers start in the user's folder, where the examples were copied.
    m_messages->clear();
    QString toOpen = ::userTestsFolder() + u"/Matematyka.ini"_s;
    ui::fileChooser = [&](QWidget *, const QString &, const QString &start, const QString &) {
        m_chooserStarts.append(start);
        return toOpen;
    };
    QTest::mouseClick(form->bWczytaj, Qt::LeftButton);
    QCOMPARE(m_chooserStarts.last(), ::userTestsFolder());
    QCOMPARE(m_messages->texts(), QStringList());
    QCOMPARE(form->eNazwa->text(), u"Próbny egzamin ósmoklasisty – matematyka (przykład)"_s);
    // Saved, the example is the teacher's own test: all of it but the note that it is an example.
    const QByteArray example = readBytes(toOpen);
    const QByteArray own = m_window->definitionBytes();
    QVERIFY(example.startsWith("; PRZYK"));
    QVERIFY(!own.contains("PRZYK") && own.startsWith("[Ustawienia]"));
    QVERIFY(example.endsWith(own));

    toOpen = m_files.filePath(u"brak.ini"_s);
    QTest::mouseClick(form->bWczytaj, Qt::LeftButton);
    QCOMPARE(m_messages->texts(), QStringList{u"Nie mogę odczytać pliku "_s + toOpen + u"!"_s});
    QCOMPARE(form->eNazwa->text(), u"Próbny egzamin ósmoklasisty – matematyka (przykład)"_s);

    // A file with values to correct is shown whole, with what must change.
    m_messages->clear();
    toOpen = m_files.filePath(u"zly.ini"_s);
    QVERIFY(writeBytes(toOpen, "[Ustawienia]\r\nLiczbaZadan=500\r\n"));
    QTest::mouseClick(form->bWczytaj, Qt::LeftButton);
    QCOMPARE(
        m_messages->texts(),
        QStringList{u"Wczytana definicja wymaga poprawek:\nLiczba zadań w pliku (500) leży poza zakresem od "
                    "0 do 200; wczytano 0 zadań.\nTest musi mieć co najmniej jedno zadanie."_s});
    QCOMPARE(form->seLiczbaZadan->value(), 0);
}

void TstDefinitionWindow::readOnly()
{
    Ui::TfDefinicjaTestu *form = m_window->form();
    m_window->setReadOnly(true);
    QVERIFY(form->eNazwa->isReadOnly());
    QVERIFY(form->eProg->isReadOnly());
    QVERIFY(form->seLiczbaZadan->isReadOnly());
    QVERIFY(!form->tabelaZadan->editingEnabled());
    QVERIFY(!form->tabelaStaniny->editingEnabled());
    QVERIFY(!form->bUzgodnij->isEnabled());
    QVERIFY(!form->bWczytaj->isEnabled());
    QVERIFY(form->bOK->isHidden());
    QVERIFY(form->bZapiszJako->isEnabled());
    QCOMPARE(form->bAnuluj->text(), u"Zamknij"_s);
    QCOMPARE(m_window->windowTitle(), u"Definicja testu – tylko do odczytu: szkoła ma już wpisane wyniki"_s);
    QGuiApplication::clipboard()->setText(u"A\t2\nB\t3\n"_s);
    form->tabelaZadan->setFocus();
    QTest::keyClick(form->tabelaZadan, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_window->definitionBytes(), testDefinitionFileBytes(readTestDefinitionFile(twoTasks)));
    QTest::mouseClick(form->bAnuluj, Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
}

void TstDefinitionWindow::tabOrder()
{
    const QStringList order{u"eNazwa"_s,        u"eData"_s,
                            u"seLiczbaZadan"_s, u"seLiczbaStandardow"_s,
                            u"tabelaZadan"_s,   u"tabelaStandardow"_s,
                            u"eMaxPunktow"_s,   u"bUzgodnij"_s,
                            u"eTrudne"_s,       u"eUmiarkowanieTrudne"_s,
                            u"eLatwe"_s,        u"eBardzoLatwe"_s,
                            u"tabelaStaniny"_s, u"tabelaStaninyUczniow"_s,
                            u"eProg"_s,         u"bWczytaj"_s,
                            u"bZapiszJako"_s,   u"bOK"_s,
                            u"bAnuluj"_s,       u"tabelaWymagan"_s};
    QStringList walk;
    QWidget *w = m_window->form()->eNazwa;
    do {
        if (order.contains(w->objectName()) && !walk.contains(w->objectName()))
            walk.append(w->objectName());
        w = w->nextInFocusChain();
    } while (w != m_window->form()->eNazwa);
    QCOMPARE(walk.join(u' '), order.join(u' '));
}

void TstDefinitionWindow::userTestsFolder()
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    // The folder as a teacher's session finds it, by the XDG rules.
    QStandardPaths::setTestModeEnabled(false);
    const auto restore = qScopeGuard([this] {
        qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
        QStandardPaths::setTestModeEnabled(true);
    });
    QCOMPARE(::userTestsFolder(), home.path() + u"/Sondaryk/Testy"_s);
    QVERIFY(listUserTests().isEmpty());

    QString error;
    QVERIFY(prepareUserTestsFolder(exampleTestsFolder(), &error));
    const QList<UserTest> tests = listUserTests();
    QCOMPARE(tests.size(), 3);
    QCOMPARE(tests[0].name, u"Próbny egzamin ósmoklasisty – język angielski (przykład)"_s);
    QCOMPARE(tests[1].name, u"Próbny egzamin ósmoklasisty – język polski (przykład)"_s);
    QCOMPARE(tests[2].date, u"2026-03-20"_s);
    QCOMPARE(readBytes(tests[2].path), readBytes(exampleTestsFolder() + u"/Matematyka.ini"_s));

    // The teacher's own choice stands: a deleted example does not come back.
    QVERIFY(QFile::remove(tests[0].path));
    QVERIFY(prepareUserTestsFolder(exampleTestsFolder(), &error));
    QCOMPARE(listUserTests().size(), 2);

    QString path;
    QVERIFY(writeUserTest(u"Własny"_s, twoTasks, &path).ok());
    QCOMPARE(path, ::userTestsFolder() + u"/Własny.ini"_s);
    QCOMPARE(readBytes(path), twoTasks);
    QCOMPARE(listUserTests().size(), 3);

    // A folder that cannot be made is told, not crashed on.
    qputenv("XDG_DATA_HOME", (home.path() + u"/plik"_s).toLocal8Bit());
    QVERIFY(writeBytes(home.filePath(u"plik"_s), "x"));
    QVERIFY(!prepareUserTestsFolder(exampleTestsFolder(), &error));
    QVERIFY2(error.startsWith(u"Nie mogę utworzyć folderu testów "_s), qPrintable(error));
}

QTEST_MAIN(TstDefinitionWindow)
#include "tst_definitionwindow.moc"
