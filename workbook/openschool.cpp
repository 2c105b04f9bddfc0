// The school and its test as the setup page shows them: opening a saved school, the test chosen for
// a new school, its definition, the comparison of tests, and the list of the schools opened last.
#include "workbook/tfwyniki.h"

#include "files/inifile.h"
#include "school/recentschools.h"
#include "school/usertests.h"
#include "ui/messages.h"
#include "ui/seams.h"
#include "ui/stringgrid.h"
#include "ui_tfwyniki.h"
#include "workbook/tfdefinicjatestu.h"
#include "workbook/tfporownanietestow.h"

#include <QDir>

#include <QFileInfo>
#include <QListWidget>
#include <QSignalBlocker>
#include <algorithm>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

void TfWyniki::fillTestChoice()
{
    const QSignalBlocker quiet(ui->cbTest);
    ui->cbTest->clear();
    const TestDefinition programTest = loadTestDefinitionFrom(setupIniPath());
    ui->cbTest->addItem(QStringLiteral("%1 (Setup.ini programu)").arg(programTest.testName), setupIniPath());
    for (const UserTest &own : listUserTests())
        ui->cbTest->addItem(QStringLiteral("%1, %2").arg(own.name, own.date), own.path);
    // A test defined in "Definicja testu" and not saved to a file stays on the list while it is the
    // new school's test.
    if (m_definedTest) {
        const TestDefinition defined = loadTestDefinition(IniFile::fromBytes(*m_definedTest));
        ui->cbTest->addItem(
            QStringLiteral("%1, %2 (z okna „Definicja testu”)").arg(defined.testName, defined.testDate),
            QString());
        ui->cbTest->setCurrentIndex(ui->cbTest->count() - 1);
        return;
    }
    // The test chosen last, in this window or an earlier one, while it is still there.
    const int last = ui->cbTest->findData(
        m_chosenTest.isEmpty() ? recentschools::lastTest(recentschools::settingsFile()) : m_chosenTest);
    ui->cbTest->setCurrentIndex(std::max(last, 0));
}

void TfWyniki::cbTestChange()
{
    const QString path = ui->cbTest->currentData().toString();
    // The defined test is already the new school's.
    if (path.isEmpty())
        return;
    m_chosenTest = path;
    recentschools::rememberTest(recentschools::settingsFile(), path);
    const Outcome chosen = m_session.chooseTest(path);
    tell(chosen);
    // The defined test, no longer chosen, leaves the list.
    if (m_definedTest) {
        m_definedTest.reset();
        fillTestChoice();
    }
    showTestAndSchool();
}

void TfWyniki::showTestAndSchool()
{
    ui->stOpisTestu->setText(QStringLiteral("Test nowej szkoły: ") + testSummary(m_session.newSchoolTest()));
    if (m_session.isOpen()) {
        const TestDefinition &test = m_session.test();
        ui->stSzkola->setText(QStringLiteral("Otwarta szkoła: %1\nJej test: %2")
                                  .arg(native(m_session.schoolDirectory()), testSummary(test)));
        setWindowTitle(
            QStringLiteral("Wyniki uczniów – %1 – %2, %3")
                .arg(QFileInfo(m_session.schoolDirectory()).fileName(), test.testName, test.testDate));
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
        // The school's test beside its folder: the same folder name often serves several tests.
        const QString test = recentschools::schoolTestName(path);
        auto *item = new QListWidgetItem(test.isEmpty() ? native(path)
                                                        : QStringLiteral("%1 – %2").arg(native(path), test),
                                         ui->lbOstatnie);
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
    if (m_currentPage != 0)
        return;
    const QString start =
        m_session.isOpen() ? QFileInfo(m_session.schoolDirectory()).absolutePath() : ui->stSciezka->text();
    const QString chosen = ui::folderChooser(this, QStringLiteral("Wybierz katalog szkoły:"), start);
    if (!chosen.isEmpty())
        openSchoolAt(QDir::cleanPath(chosen));
}

bool TfWyniki::openSchoolAt(const QString &folder)
{
    // A class folder gone (deleted, or a share not reachable) would open as an empty page.
    const QStringList missing = m_session.missingClassFolders(folder);
    if (!missing.isEmpty() &&
        messages::askChoice(QStringLiteral("W szkole „%1” brak katalogów klas: %2. Usunięto je albo udział "
                                           "sieciowy z wynikami jest niedostępny.\n\nUtworzyć je od nowa "
                                           "(puste), czy nie otwierać szkoły?")
                                .arg(native(folder), missing.join(QStringLiteral(", "))),
                            QStringLiteral("Utwórz od nowa"),
                            QStringLiteral("Nie otwieraj")) != QMessageBox::Yes)
        return false;
    const Outcome opened = m_session.openSchool(folder);
    tell(opened);
    if (!opened.ok)
        return false;
    if (!missing.isEmpty())
        tell(m_session.makeMissingClassFolders());
    showOpenedSchool();
    readSchoolFile();
    tabela1()->setColWidth(1, 65);
    tabela1()->setColWidth(2, 80);
    goToPage(1);
    buildClassPage(1);
    showSummary(true);
    updatePageControls();
    return true;
}

void TfWyniki::showOpenedSchool()
{
    m_changingPage = true;
    while (pageCount() > 1)
        delete ui->pcWyniki->widget(pageCount() - 1);
    for (const QString &label : m_session.classLabels())
        // A tab's text takes "&" for a keyboard accelerator; a label shows it as typed.
        ui->pcWyniki->addTab(new QWidget, QString(label).replace(u'&', QStringLiteral("&&")));
    ui->pcWyniki->addTab(new QWidget, QStringLiteral("Szkoła"));
    ui->pcWyniki->setCurrentIndex(m_currentPage);
    m_changingPage = false;

    ui->eLiczbaKlas->setEnabled(false);
    ui->bAkceptuj->setEnabled(false);
    ui->eNazwaKatalogu->setEnabled(false);
    ui->bKatalog->setEnabled(false);
    ui->bDalej->setEnabled(true);
    tabela1()->setEditingEnabled(false);

    fillRecentSchools();
    showTestAndSchool();
}

void TfWyniki::bDefinicjaClick()
{
    takeTypedScores();
    const bool schoolOpen = m_session.isOpen();
    TfDefinicjaTestu window(this);
    window.setDefinition(m_session.definitionBytes());
    // Points typed under the school's test must keep their meaning: it is then only shown.
    const bool readOnly = m_session.testLocked();
    window.setReadOnly(readOnly);
    if (window.exec() != QDialog::Accepted || readOnly)
        return;
    const QByteArray edited = window.definitionBytes();
    if (schoolOpen) {
        const Outcome replaced = m_session.replaceTest(edited);
        tell(replaced);
        if (!replaced.ok)
            return;
        // The page in view is laid out again for the test as it now stands.
        if (isClassPage(m_currentPage))
            buildClassPage(m_currentPage);
        else if (isSchoolPage(m_currentPage))
            buildSchoolPage();
        updatePageControls();
    } else {
        // The next school set up gets the test as edited.
        m_session.useNewSchoolTest(loadTestDefinition(IniFile::fromBytes(edited)), edited);
        m_definedTest = edited;
    }
    // A test saved with "Zapisz jako…" is on the list at once.
    fillTestChoice();
    showTestAndSchool();
}

void TfWyniki::sbPorownanieTestowClick()
{
    tabela1()->commitOpenEditor();
    TfPorownanieTestow window(this);
    // The school open in the workbook is the usual first of the comparison.
    if (m_session.isOpen())
        window.addSchool(m_session.schoolDirectory());
    window.exec();
}
