// A school folder keeps the test it was set up with: opening a saved school, accepting into one,
// the test chosen for a new school, and the list of the schools opened last.
#include "workbook/tfwyniki.h"

#include "core/numbers.h"
#include "files/inifile.h"
#include "school/recentschools.h"
#include "school/usertests.h"
#include "ui/messages.h"
#include "ui/seams.h"
#include "ui/stringgrid.h"
#include "ui_tfwyniki.h"
#include "workbook/setupchecks.h"
#include "workbook/tfdefinicjatestu.h"
#include "workbook/tfporownanietestow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QSignalBlocker>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString testSummary(const TestDefinition &test)
{
    return QStringLiteral("„%1”, %2 – zadań: %3, punktów: %4")
        .arg(test.testName, test.testDate)
        .arg(test.taskCount)
        .arg(test.maxTotalPoints);
}

QString misfitsText(const QList<FileMisfit> &misfits, const TestDefinition &test)
{
    QStringList lines;
    for (const FileMisfit &misfit : misfits.first(std::min<qsizetype>(misfits.size(), 5)))
        lines.append(misfitMessage(misfit, test));
    if (misfits.size() > 5)
        lines.append(QStringLiteral("Takich plików jest więcej: razem %1.").arg(misfits.size()));
    return lines.join(u'\n');
}

} // namespace

QString TfWyniki::testIniPath() const
{
    if (pageCount() > 1)
        return school().testFile();
    return m_chosenTestPath;
}

TestDefinition TfWyniki::newSchoolTest() const
{
    return pageCount() <= 1 ? test : m_chosenTest;
}

QByteArray TfWyniki::newSchoolTestBytes() const
{
    const TestDefinition candidate = newSchoolTest();
    // The file's own bytes, comments kept, when the test is the chosen file's as it was read.
    if (!m_chosenBytes.isEmpty() &&
        testDefinitionFileBytes(candidate) == testDefinitionFileBytes(m_chosenTest))
        return m_chosenBytes;
    return testDefinitionFileBytes(candidate);
}

void TfWyniki::chooseTest(const QString &path)
{
    m_chosenTestPath = path;
    m_chosenBytes.clear();
    QFile file(path);
    if (file.size() <= IniFile::maxFileSize && file.open(QIODevice::ReadOnly))
        m_chosenBytes = file.readAll();
    m_chosenTest = loadTestDefinition(IniFile::fromBytes(m_chosenBytes));
}

void TfWyniki::fillTestChoice()
{
    const QSignalBlocker quiet(ui->cbTest);
    ui->cbTest->clear();
    const TestDefinition programTest = loadTestDefinitionFrom(setupIniPath());
    ui->cbTest->addItem(QStringLiteral("%1 (Setup.ini programu)").arg(programTest.testName), setupIniPath());
    for (const UserTest &own : listUserTests())
        ui->cbTest->addItem(QStringLiteral("%1, %2").arg(own.name, own.date), own.path);
    ui->cbTest->setCurrentIndex(0);
}

void TfWyniki::cbTestChange()
{
    chooseTest(ui->cbTest->currentData().toString());
    if (!m_chosenTest.problems.isEmpty())
        messages::showMessage(problemsMessage(m_chosenTest.problems));
    // Before a school is set up the pages follow the chosen test; a school keeps its own.
    if (pageCount() <= 1)
        test = m_chosenTest;
    showTestAndSchool();
}

void TfWyniki::showTestAndSchool()
{
    ui->stOpisTestu->setText(QStringLiteral("Test nowej szkoły: ") + testSummary(m_chosenTest));
    if (pageCount() > 1) {
        ui->stSzkola->setText(QStringLiteral("Otwarta szkoła: %1\nJej test: %2")
                                  .arg(native(schoolDirectory), testSummary(test)));
        setWindowTitle(QStringLiteral("Wyniki uczniów – %1 – %2, %3")
                           .arg(QFileInfo(schoolDirectory).fileName(), test.testName, test.testDate));
    } else {
        ui->stSzkola->setText(QString());
        setWindowTitle(QStringLiteral("Wyniki uczniów"));
    }
}

void TfWyniki::fillRecentSchools()
{
    const recentschools::Checked checked = recentschools::checkAndPrune(recentschools::settingsFile());
    ui->lbOstatnie->clear();
    for (const QString &path : checked.existing) {
        auto *item = new QListWidgetItem(native(path), ui->lbOstatnie);
        item->setData(Qt::UserRole, path);
        item->setToolTip(native(path));
    }
    if (checked.missing.isEmpty())
        return;
    QStringList names;
    for (const QString &path : checked.missing)
        names.append(native(path));
    ui->stPominiete->setText(QStringLiteral("Pominięto szkoły, których już nie ma (brak katalogu albo pliku "
                                            "Szkola.ini): %1")
                                 .arg(names.join(QStringLiteral("; "))));
}

void TfWyniki::sbOtworzSzkoleClick()
{
    tabela1()->commitOpenEditor();
    if (currentPage != 0)
        return;
    const QString start = pageCount() > 1 ? QFileInfo(schoolDirectory).absolutePath() : ui->stSciezka->text();
    const QString chosen = ui::folderChooser(this, QStringLiteral("Wybierz katalog szkoły:"), start);
    if (!chosen.isEmpty())
        openSchoolAt(QDir::cleanPath(chosen));
}

bool TfWyniki::openSchoolAt(const QString &folder)
{
    const SchoolFolder bare(folder, {}, {});
    if (!QFileInfo::exists(bare.paths().file(schoolfiles::setup))) {
        messages::showMessage(QStringLiteral("W katalogu „%1” nie ma szkoły: brak pliku Szkola.ini.\n"
                                             "Wybierz katalog, w którym szkołę założono (ten, w którym "
                                             "leżą plik Szkola.ini i katalogi klas).")
                                  .arg(native(folder)));
        return false;
    }
    ReadStatus status = ReadStatus::Ok;
    const SchoolFileReader reader = bare.readSchoolFile(&status);
    if (status != ReadStatus::Ok) {
        showReadFailure(status == ReadStatus::Missing ? ReadStatus::Failed : status,
                        bare.paths().file(schoolfiles::setup));
        return false;
    }
    const int classes = reader.classCount();
    QStringList labels;
    QList<qint32> counts;
    for (int n = 1; n <= classes; ++n) {
        labels.append(reader.label(n));
        counts.append(parseInteger(reader.pupilsText(n)).value_or(0));
    }
    QString problem;
    if (classes < 1 || classes > 25)
        problem = QStringLiteral("liczba klas (%1) nie mieści się w granicach od 1 do 25.").arg(classes);
    for (int i = 0; problem.isEmpty() && i < counts.size(); ++i) {
        if (counts[i] <= 0)
            problem = QStringLiteral("klasa nr %1 nie ma podanej liczby uczniów.").arg(i + 1);
    }
    if (problem.isEmpty())
        problem = pupilCountsProblem(counts);
    if (problem.isEmpty())
        problem = classLabelsProblem(labels);
    if (!problem.isEmpty()) {
        messages::showMessage(QStringLiteral("Nie mogę otworzyć szkoły z katalogu „%1”: plik Szkola.ini "
                                             "jest uszkodzony – %2")
                                  .arg(native(folder), problem));
        return false;
    }

    const SchoolFolder target(folder, labels, counts);
    TestDefinition schoolTest;
    const std::optional<QByteArray> own = target.ownTestBytes(&status);
    if (own) {
        schoolTest = loadTestDefinition(IniFile::fromBytes(*own));
    } else if (status == ReadStatus::Missing) {
        if (!adoptChosenTest(target, &schoolTest))
            return false;
    } else {
        showReadFailure(status, target.testFile());
        return false;
    }
    if (!schoolTest.problems.isEmpty())
        messages::showMessage(problemsMessage(schoolTest.problems));

    setUpSchool(folder, labels, counts, schoolTest);
    readSchoolFile();
    tabela1()->setColWidth(1, 65);
    tabela1()->setColWidth(2, 80);
    goToPage(1);
    buildClassPage(1);
    showSummary(true);
    updatePageControls();
    return true;
}

bool TfWyniki::adoptChosenTest(const SchoolFolder &folder, TestDefinition *schoolTest)
{
    const TestDefinition candidate = newSchoolTest();
    const QList<FileMisfit> misfits = folder.misfits(candidate);
    if (!misfits.isEmpty()) {
        messages::showMessage(
            QStringLiteral("Katalog szkoły „%1” nie ma własnego pliku Setup.ini z definicją testu, a jej "
                           "pliki nie pasują do wybranego testu %2:\n%3\n\nSzkoła nie została otwarta i "
                           "nic w niej nie zapisano. Wybierz na stronie „Liczba klas” w polu „Test:” test, "
                           "z którym szkołę założono, i otwórz ją ponownie.")
                .arg(native(folder.root()), testSummary(candidate), misfitsText(misfits, candidate)));
        return false;
    }
    if (!written(folder.write(folder.testFile(), newSchoolTestBytes()), folder.testFile()))
        return false;
    messages::showMessage(
        QStringLiteral("Szkoła w katalogu „%1” nie miała własnej definicji testu. Zapisano w "
                       "niej kopię testu %2 (plik Setup.ini w katalogu szkoły); odtąd "
                       "szkoła jest otwierana z tym testem.")
            .arg(native(folder.root()), testSummary(candidate)));
    *schoolTest = candidate;
    return true;
}

void TfWyniki::setUpSchool(const QString &folder, const QStringList &labels, const QList<qint32> &counts,
                           const TestDefinition &schoolTest)
{
    schoolDirectory = folder;
    classLabels = labels;
    pupilCounts = counts;
    classCount = int(labels.size());
    test = schoolTest;
    m_blocked.clear();

    m_changingPage = true;
    while (pageCount() > 1)
        delete ui->pcWyniki->widget(pageCount() - 1);
    for (int i = 0; i < classCount; ++i)
        // A tab's text takes "&" for a keyboard accelerator; a label shows it as typed.
        ui->pcWyniki->addTab(new QWidget, QString(classLabels[i]).replace(u'&', QStringLiteral("&&")));
    ui->pcWyniki->addTab(new QWidget, QStringLiteral("Szkoła"));
    ui->pcWyniki->setCurrentIndex(currentPage);
    m_changingPage = false;

    ui->eLiczbaKlas->setEnabled(false);
    ui->bAkceptuj->setEnabled(false);
    ui->eNazwaKatalogu->setEnabled(false);
    ui->bKatalog->setEnabled(false);
    ui->bDalej->setEnabled(true);
    tabela1()->setEditingEnabled(false);

    recentschools::remember(recentschools::settingsFile(), folder);
    fillRecentSchools();
    showTestAndSchool();
}

void TfWyniki::replaceSchoolDescription(const QString &folder, const QStringList &labels,
                                        const QList<qint32> &counts)
{
    const SchoolFolder target(folder, labels, counts);
    ReadStatus status = ReadStatus::Ok;
    const std::optional<QByteArray> own = target.ownTestBytes(&status);
    if (!own && status != ReadStatus::Missing) {
        showReadFailure(status, target.testFile());
        return;
    }
    TestDefinition schoolTest = own ? loadTestDefinition(IniFile::fromBytes(*own)) : newSchoolTest();
    // The classes' files are kept: each must still fit the school's test and its new class size.
    const QList<FileMisfit> misfits = target.misfits(schoolTest);
    if (!misfits.isEmpty()) {
        messages::showMessage(QStringLiteral("Pliki szkoły w katalogu „%1” nie pasują do %2 testu %3:\n%4\n\n"
                                             "Nic nie zostało zapisane.")
                                  .arg(native(folder),
                                       own ? QStringLiteral("jej") : QStringLiteral("wybranego"),
                                       testSummary(schoolTest), misfitsText(misfits, schoolTest)));
        return;
    }
    QStringList needed{SchoolPaths{folder, {}}.schoolFolder()};
    for (int i = 0; i < labels.size(); ++i)
        needed.append(target.paths().classFolder(i));
    if (!makeSchoolFolders(needed))
        return;
    const QString location = schoolDirectory;
    schoolDirectory = folder;
    if (!writeSchoolFile()) {
        schoolDirectory = location;
        return;
    }
    if (!own && !adoptChosenTest(target, &schoolTest)) {
        schoolDirectory = location;
        return;
    }
    setUpSchool(folder, labels, counts, schoolTest);
}

void TfWyniki::bDefinicjaClick()
{
    tabela1()->commitOpenEditor();
    const bool schoolOpen = pageCount() > 1;
    TfDefinicjaTestu window(this);
    QByteArray bytes;
    if (schoolOpen) {
        ReadStatus status = ReadStatus::Ok;
        bytes = school().ownTestBytes(&status).value_or(testDefinitionFileBytes(test));
    } else {
        bytes = newSchoolTestBytes();
    }
    window.setDefinition(bytes);
    // Points typed under the school's test must keep their meaning: it is then only shown.
    const bool readOnly = schoolOpen && (school().hasResults() || scoresModified());
    window.setReadOnly(readOnly);
    if (window.exec() != QDialog::Accepted || readOnly)
        return;
    const QByteArray edited = window.definitionBytes();
    const TestDefinition definition = loadTestDefinition(IniFile::fromBytes(edited));
    if (schoolOpen) {
        if (!written(school().write(school().testFile(), edited), school().testFile()))
            return;
        test = definition;
        // The page in view is laid out again for the test as it now stands.
        if (isClassPage(currentPage))
            buildClassPage(currentPage);
        else if (isSchoolPage(currentPage))
            buildSchoolPage();
        updatePageControls();
    } else {
        // The next school set up gets the test as edited.
        m_chosenTest = definition;
        m_chosenBytes = edited;
        test = definition;
    }
    showTestAndSchool();
}

void TfWyniki::sbPorownanieTestowClick()
{
    tabela1()->commitOpenEditor();
    TfPorownanieTestow window(this);
    // The school open in the workbook is the usual first of the comparison.
    if (pageCount() > 1)
        window.addSchool(schoolDirectory);
    window.exec();
}
