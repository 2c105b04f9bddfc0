// Construction of the workbook, its setup page, Help and Charts.
#include "workbook/tfwyniki.h"

#include "charts/tfwykres.h"
#include "core/cells.h"
#include "core/numbers.h"
#include "files/schoolpaths.h"
#include "school/usertests.h"
#include "ui/fixedwindow.h"
#include "ui/guarded.h"
#include "ui/helpviewer.h"
#include "ui/messages.h"
#include "ui/seams.h"
#include "ui/shortcuts.h"
#include "ui/stringgrid.h"
#include "ui_tfwyniki.h"
#include "workbook/setupchecks.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QTabBar>

TfWyniki *fWyniki = nullptr;

TfWyniki::TfWyniki(QWidget *parent) : QDialog(parent, fixedWindowFlags), ui(std::make_unique<Ui::TfWyniki>())
{
    ui->setupUi(this);
    setFixedSize(692, 466);
    move(201, 184);
    fWyniki = this;

    tabela1()->setDefaultColWidth(65);
    tabela1()->setDefaultRowHeight(16);
    tabela1()->setFixedRows(1);
    tabela1()->setFixedCols(1);
    tabela1()->setEditingEnabled(true);
    tabela1()->drawCellHandler = [this](QPainter *p, int c, int r, const QRect &rect) {
        tabela1DrawCell(p, c, r, rect);
    };
    tabela2()->setDefaultColWidth(64);
    tabela2()->setDefaultRowHeight(16);
    tabela2()->setFixedRows(1);
    tabela2()->setFixedCols(1);
    tabela2()->setEditingEnabled(false);
    tabela2()->drawCellHandler = [this](QPainter *p, int c, int r, const QRect &rect) {
        tabela2DrawCell(p, c, r, rect);
    };
    for (int c = 0; c < 9; ++c)
        tabela2()->setColWidth(c, 64);

    connectGuarded(ui->eLiczbaKlas, &QLineEdit::textChanged, this, &TfWyniki::eLiczbaKlasChange);
    connectGuarded(ui->eNazwaKatalogu, &QLineEdit::textChanged, this, &TfWyniki::eNazwaKataloguChange);
    connectGuarded(ui->bAkceptuj, &QPushButton::clicked, this, &TfWyniki::bAkceptujClick);
    connectGuarded(ui->bKatalog, &QPushButton::clicked, this, &TfWyniki::bKatalogClick);
    connectGuarded(ui->sbOtworz, &QToolButton::clicked, this, &TfWyniki::sbOtworzClick);
    connectGuarded(ui->sbZapisz, &QToolButton::clicked, this, &TfWyniki::sbZapiszClick);
    connectGuarded(ui->sbPomoc, &QToolButton::clicked, this, &TfWyniki::sbPomocClick);
    connectGuarded(ui->sbAnaliza, &QToolButton::clicked, this, &TfWyniki::sbAnalizaClick);
    connectGuarded(ui->sbImportuj, &QToolButton::clicked, this, &TfWyniki::sbImportujClick);
    connectGuarded(ui->bOblicz, &QPushButton::clicked, this, &TfWyniki::bObliczClick);
    connectGuarded(ui->bWykresy, &QPushButton::clicked, this, &TfWyniki::bWykresyClick);
    connectGuarded(ui->bWstecz, &QPushButton::clicked, this, &TfWyniki::bWsteczClick);
    connectGuarded(ui->bDalej, &QPushButton::clicked, this, &TfWyniki::bDalejClick);
    connect(ui->pcWyniki, &QTabWidget::currentChanged, this, [this] {
        if (!m_changingPage)
            guarded([this] { pcWynikiChange(); });
    });
    ui->pcWyniki->tabBar()->setFocusPolicy(Qt::NoFocus);
    addPageShortcuts(this, ui->pcWyniki);
    giveShortcut(ui->sbOtworz, QKeySequence::Open);
    giveShortcut(ui->sbZapisz, QKeySequence::Save);
    giveShortcut(ui->sbPomoc, QKeySequence::HelpContents);
    // Not Ctrl+A, which selects a cell's text; F9 is free in the edits, the grids and their editors.
    giveShortcut(ui->sbAnaliza, QKeySequence(Qt::Key_F9));
    giveShortcut(ui->sbImportuj, QKeySequence(Qt::CTRL | Qt::Key_I));
    connect(tabela1(), &StringGrid::cellEdited, this, [this] {
        if (isClassPage(currentPage))
            m_scoresModified = true;
    });
    // What a paste left out is never dropped silently.
    connect(tabela1(), &StringGrid::blockLeftOut, this,
            [](int rows, int columns) { messages::showMessage(leftOutMessage(rows, columns)); });

    // The school's location starts in the teacher's home folder.
    schoolDirectory = QDir::homePath();
    ui->stSciezka->setText(schoolDirectory);
    ui->stSciezka->resize(ui->stSciezka->sizeHint().width(), 17);

    resetGrid(tabela1(), 3, 2, 195);
    tabela1()->setColWidth(0, 25);
    tabela1()->setColWidth(1, 65);
    tabela1()->setColWidth(2, 80);
    tabela1()->setCell(0, 0, QStringLiteral("L.p."));
    tabela1()->setCell(1, 0, QStringLiteral("Klasa"));
    tabela1()->setCell(2, 0, QStringLiteral("Liczba uczniów"));
    tabela1()->setCell(0, 1, QString());
    setStatic1(QStringLiteral("Liczba klas - liczba uczniów w danej klasie"));
    showSummary(false);
    ui->bOblicz->setEnabled(false);
    ui->bWykresy->setEnabled(false);
    ui->bWstecz->setEnabled(false);
    ui->bDalej->setEnabled(false);
    currentPage = 0;

    connectGuarded(ui->sbOtworzSzkole, &QToolButton::clicked, this, &TfWyniki::sbOtworzSzkoleClick);
    giveShortcut(ui->sbOtworzSzkole, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    connectGuarded(ui->bDefinicja, &QPushButton::clicked, this, &TfWyniki::bDefinicjaClick);
    connectGuarded(ui->sbDefinicja, &QToolButton::clicked, this, &TfWyniki::bDefinicjaClick);
    giveShortcut(ui->sbDefinicja, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
    connectGuarded(ui->sbPorownanieTestow, &QToolButton::clicked, this, &TfWyniki::sbPorownanieTestowClick);
    giveShortcut(ui->sbPorownanieTestow, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
    connect(ui->cbTest, &QComboBox::currentIndexChanged, this,
            [this] { guarded([this] { cbTestChange(); }); });
    connect(ui->lbOstatnie, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        guarded([this, item] {
            if (currentPage == 0)
                openSchoolAt(item->data(Qt::UserRole).toString());
        });
    });

    // On the first run the user's folder of tests starts with the examples shipped.
    prepareUserTestsFolder();
    fillTestChoice();
    chooseTest(setupIniPath());
    test = m_chosenTest;
    fillRecentSchools();
    showTestAndSchool();
    if (!test.problems.isEmpty())
        messages::showMessage(problemsMessage(test.problems));
}

TfWyniki::~TfWyniki()
{
    // An editor closed while the grid goes away must not reach this half-destroyed window.
    disconnect(ui->tabela1, nullptr, this, nullptr);
    disconnect(ui->tabela2, nullptr, this, nullptr);
    if (fWyniki == this)
        fWyniki = nullptr;
}

StringGrid *TfWyniki::tabela1() const
{
    return ui->tabela1;
}

StringGrid *TfWyniki::tabela2() const
{
    return ui->tabela2;
}

int TfWyniki::pageCount() const
{
    return ui->pcWyniki->count();
}

SchoolPaths TfWyniki::paths() const
{
    return SchoolPaths{schoolDirectory, classLabels};
}

QString TfWyniki::classDirectory(int classIndex) const
{
    return paths().classFolder(classIndex);
}

QString TfWyniki::schoolSubdirectory() const
{
    return paths().schoolFolder();
}

void TfWyniki::setStatic1(const QString &caption)
{
    ui->static1->setText(caption);
    // The caption names the grid under it for screen readers too.
    ui->tabela1->setAccessibleName(caption);
    ui->static1->resize(std::max(ui->static1->sizeHint().width(), 1), 17);
}

void TfWyniki::showSummary(bool visible)
{
    ui->tabela2->setVisible(visible);
    ui->static2->setVisible(visible);
}

qint32 TfWyniki::cellAsInteger(StringGrid *grid, int col, int row) const
{
    return cellTextAsInteger(grid->cell(col, row));
}

void TfWyniki::eLiczbaKlasChange()
{
    const QString text = ui->eLiczbaKlas->text();
    if (isBlankCell(text) || text == QStringLiteral("0")) {
        classCount = 1;
        ui->eLiczbaKlas->setText(QStringLiteral("1"));
    } else {
        const qint32 n = strToInt(text);
        if (n > 25) {
            classCount = 25;
            ui->eLiczbaKlas->setText(QStringLiteral("25"));
        } else if (n < 1) {
            // A negative count means as little as "0": one class.
            classCount = 1;
            ui->eLiczbaKlas->setText(QStringLiteral("1"));
        } else {
            classCount = n;
        }
    }
    StringGrid *list = tabela1();
    list->setRowCount(classCount + 1);
    list->setColCount(3);
    const QString letters = defaultClassLetters();
    for (int i = 1; i <= classCount; ++i) {
        list->setCell(1, i, QStringLiteral("Klasa VI ") + letters.at(i - 1));
        list->setCell(0, i, QString::number(i));
    }
}

void TfWyniki::bAkceptujClick()
{
    StringGrid *list = tabela1();
    bool fault = strToInt(ui->eLiczbaKlas->text()) == 0;
    QList<qint32> counts;
    QStringList labels;
    for (int i = 1; i <= classCount; ++i) {
        const qint32 pupils = cellAsInteger(list, 2, i);
        if (pupils <= 0)
            fault = true;
        counts.append(pupils);
        labels.append(list->cell(1, i));
    }
    if (fault || classCount < 1)
        return;

    // Labels name the class directories: refuse any that would clash or leave the school directory.
    QString problem = pupilCountsProblem(counts);
    if (problem.isEmpty())
        problem = classLabelsProblem(labels);
    if (!problem.isEmpty()) {
        messages::showMessage(problem);
        return;
    }

    const QString directory = ui->stSciezka->text() + QLatin1Char('/') + ui->eNazwaKatalogu->text();
    // A school already there is never overwritten unasked: its classes' files were typed under its
    // own test.
    if (holdsSchoolFiles(directory)) {
        const QString cleaned = QDir::cleanPath(directory);
        const bool hasSchoolFile = QFileInfo::exists(SchoolPaths{cleaned, {}}.file(schoolfiles::setup));
        ReadStatus status = ReadStatus::Ok;
        const int classes = SchoolFolder(cleaned, {}, {}).readSchoolFile(&status).classCount();
        const QString keep = QStringLiteral("Zastąpienie zapisze tylko nowy plik Szkola.ini; katalogi klas, "
                                            "ich pliki i test szkoły (Setup.ini) zostaną zachowane.");
        const auto answer =
            hasSchoolFile ? messages::askChoice(
                                QStringLiteral("Katalog „%1” zawiera już szkołę (%2 klas).\nOtworzyć ją "
                                               "czy zastąpić jej opis klas opisem z tej strony?\n\n%3")
                                    .arg(QDir::toNativeSeparators(cleaned))
                                    .arg(classes)
                                    .arg(keep),
                                QStringLiteral("Otwórz"), QStringLiteral("Zastąp"))
                          : messages::askChoice(
                                QStringLiteral("Katalog „%1” zawiera już pliki programu Sondaryk (ale nie "
                                               "plik Szkola.ini).\nZastąpić opis klas szkoły opisem z tej "
                                               "strony?\n\n%2")
                                    .arg(QDir::toNativeSeparators(cleaned), keep),
                                QString(), QStringLiteral("Zastąp"));
        if (answer == QMessageBox::Yes && hasSchoolFile)
            openSchoolAt(cleaned);
        else if (answer == QMessageBox::No)
            replaceSchoolDescription(cleaned, labels, counts);
        return;
    }
    // Every directory the school needs must be there before anything is written into it; a plain
    // file in the way of one would otherwise fail every later write.
    QStringList needed{directory, SchoolPaths{directory, {}}.schoolFolder()};
    for (const QString &label : std::as_const(labels))
        needed.append(directory + QLatin1Char('/') + label);
    if (!makeSchoolFolders(needed))
        return;
    // The school file first: a school whose file could not be written is not set up, and the
    // teacher can try again (another location, or once there is room on the disk). Then the test
    // it is set up with, which the school keeps from now on.
    const QString location = schoolDirectory;
    schoolDirectory = directory;
    const SchoolFolder created(directory, labels, counts);
    if (!writeSchoolFile() ||
        !written(created.write(created.testFile(), newSchoolTestBytes()), created.testFile())) {
        schoolDirectory = location;
        return;
    }
    setUpSchool(directory, labels, counts, newSchoolTest());
}

void TfWyniki::bKatalogClick()
{
    const QString chosen = ui::folderChooser(this, QStringLiteral("Wybierz folder:"), schoolDirectory);
    if (!chosen.isEmpty())
        schoolDirectory = QDir::cleanPath(chosen);
    ui->stSciezka->setText(schoolDirectory);
    ui->stSciezka->resize(ui->stSciezka->sizeHint().width(), 17);
}

void TfWyniki::eNazwaKataloguChange()
{
    // The name is read only at acceptance.
}

void TfWyniki::sbPomocClick()
{
    // The workbook's help lies beside the program, wherever it was started from.
    showHelpTopic(this, QCoreApplication::applicationDirPath() + QStringLiteral("/Pomoc/Pomoc.html"),
                  QStringLiteral("IDH_MAIN"));
}

void TfWyniki::tabela1DrawCell(QPainter *painter, int col, int row, const QRect &rect)
{
    drawCellCentred(painter, tabela1()->cell(col, row), rect);
}

void TfWyniki::tabela2DrawCell(QPainter *painter, int col, int row, const QRect &rect)
{
    drawCellCentred(painter, tabela2()->cell(col, row), rect);
}

charts::ChartData TfWyniki::chartData() const
{
    if (!isClassPage(currentPage) && !isSchoolPage(currentPage))
        throw SondarykError(
            QStringLiteral("Wykresy można oglądać tylko na stronie klasy lub na stronie „Szkoła”."));
    charts::ChartData data;
    const bool school = isSchoolPage(currentPage);
    data.mode = school ? charts::Mode::School : charts::Mode::Class;
    data.test = test;
    data.classCount = classCount;
    data.classLabels = classLabels;
    if (!school) {
        data.classLabel = classLabels.value(currentPage - 1);
        data.pupilCount = pupilCounts.value(currentPage - 1);
    }
    data.upperGrid = contentsOf(tabela1());
    data.lowerGrid = contentsOf(tabela2());
    data.bitmapFolder = school ? schoolSubdirectory() : classDirectory(currentPage - 1);
    data.schoolFolder = schoolDirectory;
    return data;
}

void TfWyniki::bWykresyClick()
{
    const charts::ChartData data = chartData();
    // Each press draws from the page in view afresh; the chart window closed before is not needed.
    delete fWykres;
    fWykres = nullptr;
    fWykres = new TfWykres(data, this);
    fWykres->exec();
}
