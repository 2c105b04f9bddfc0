// Construction of the workbook, its setup page, Help and Charts.
#include "workbook/tfwyniki.h"

#include "charts/tfwykres.h"
#include "core/cells.h"
#include "core/numbers.h"
#include "school/setupchecks.h"
#include "school/usertests.h"
#include "ui/fixedwindow.h"
#include "ui/guarded.h"
#include "ui/helpviewer.h"
#include "ui/messages.h"
#include "ui/seams.h"
#include "ui/shortcuts.h"
#include "ui/stringgrid.h"
#include "ui_tfwyniki.h"

#include <QComboBox>
#include <QDir>
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
    ui->static2->setText(summaryCaption());

    setUpConnections();
    setUpShortcuts();
    // The school's location starts in the teacher's home folder.
    showLocation();
    layOutSetupPage();

    // On the first run the user's folder of tests starts with the examples shipped.
    prepareUserTestsFolder();
    fillTestChoice();
    const Outcome chosen = m_session.chooseTest(ui->cbTest->currentData().toString());
    fillRecentSchools();
    showTestAndSchool();
    tell(chosen);
}

void TfWyniki::setUpConnections()
{
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
    connectGuarded(ui->sbOtworzSzkole, &QToolButton::clicked, this, &TfWyniki::sbOtworzSzkoleClick);
    connectGuarded(ui->bDefinicja, &QPushButton::clicked, this, &TfWyniki::bDefinicjaClick);
    connectGuarded(ui->sbDefinicja, &QToolButton::clicked, this, &TfWyniki::bDefinicjaClick);
    connectGuarded(ui->sbPorownanieTestow, &QToolButton::clicked, this, &TfWyniki::sbPorownanieTestowClick);
    connect(ui->pcWyniki, &QTabWidget::currentChanged, this, [this] {
        if (!m_changingPage)
            guarded([this] { pcWynikiChange(); });
    });
    connect(ui->cbTest, &QComboBox::currentIndexChanged, this,
            [this] { guarded([this] { cbTestChange(); }); });
    connect(ui->lbOstatnie, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        guarded([this, item] {
            if (m_currentPage == 0)
                openSchoolAt(item->data(Qt::UserRole).toString());
        });
    });
    // The grid is the class's sheet while it is in view; the session takes it before each use.
    connect(tabela1(), &StringGrid::cellEdited, this, [this] {
        if (!isClassPage(m_currentPage))
            return;
        m_edited = true;
        // Other computers are told who types this class, until it is saved or left.
        guarded([this] {
            if (const QString elsewhere = m_session.startTyping(classInView()); !elsewhere.isEmpty())
                messages::showMessage(elsewhere);
        });
    });
    // What a paste left out is never dropped silently.
    connect(tabela1(), &StringGrid::blockLeftOut, this,
            [](int rows, int columns) { messages::showMessage(leftOutMessage(rows, columns)); });
}

void TfWyniki::setUpShortcuts()
{
    ui->pcWyniki->tabBar()->setFocusPolicy(Qt::NoFocus);
    addPageShortcuts(this, ui->pcWyniki);
    giveShortcut(ui->sbOtworz, QKeySequence::Open);
    giveShortcut(ui->sbZapisz, QKeySequence::Save);
    giveShortcut(ui->sbPomoc, QKeySequence::HelpContents);
    // Not Ctrl+A, which selects a cell's text; F9 is free in the edits, the grids and their editors.
    giveShortcut(ui->sbAnaliza, QKeySequence(Qt::Key_F9));
    giveShortcut(ui->sbImportuj, QKeySequence(Qt::CTRL | Qt::Key_I));
    giveShortcut(ui->sbOtworzSzkole, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    giveShortcut(ui->sbDefinicja, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
    giveShortcut(ui->sbPorownanieTestow, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
}

void TfWyniki::layOutSetupPage()
{
    resetGrid(tabela1(), 3, 2, 195);
    tabela1()->setColWidth(0, 25);
    tabela1()->setColWidth(1, 65);
    tabela1()->setColWidth(2, 80);
    tabela1()->setCell(0, 0, QStringLiteral("L.p."));
    tabela1()->setCell(1, 0, QStringLiteral("Klasa"));
    tabela1()->setCell(2, 0, QStringLiteral("Liczba uczniów"));
    tabela1()->setCell(0, 1, QString());
    setStatic1(setupPageCaption());
    showSummary(false);
    ui->bOblicz->setEnabled(false);
    ui->bWykresy->setEnabled(false);
    ui->bWstecz->setEnabled(false);
    ui->bDalej->setEnabled(false);
    m_currentPage = 0;
}

TfWyniki::~TfWyniki()
{
    // An editor closed while the grid goes away must not reach this half-destroyed window.
    disconnect(ui->tabela1, nullptr, this, nullptr);
    disconnect(ui->tabela2, nullptr, this, nullptr);
    // The class being typed is no longer locked for other computers.
    m_session.stopAllTyping();
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

void TfWyniki::tell(const Outcome &outcome) const
{
    for (const Notice &notice : outcome.notices) {
        if (notice.kind == Notice::Kind::FileError)
            messages::showFileError(notice.text);
        else
            messages::showMessage(notice.text);
    }
    if (outcome.error)
        std::rethrow_exception(outcome.error);
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

void TfWyniki::showLocation()
{
    ui->stSciezka->setText(m_session.location());
    ui->stSciezka->resize(ui->stSciezka->sizeHint().width(), 17);
}

qint32 TfWyniki::cellAsInteger(StringGrid *grid, int col, int row) const
{
    return cellTextAsInteger(grid->cell(col, row));
}

void TfWyniki::eLiczbaKlasChange()
{
    const QString text = ui->eLiczbaKlas->text();
    if (isBlankCell(text) || text == QStringLiteral("0")) {
        m_typedClassCount = 1;
        ui->eLiczbaKlas->setText(QStringLiteral("1"));
    } else {
        const qint32 n = strToInt(text);
        if (n > 25) {
            m_typedClassCount = 25;
            ui->eLiczbaKlas->setText(QStringLiteral("25"));
        } else if (n < 1) {
            // A negative count means as little as "0": one class.
            m_typedClassCount = 1;
            ui->eLiczbaKlas->setText(QStringLiteral("1"));
        } else {
            m_typedClassCount = n;
        }
    }
    StringGrid *list = tabela1();
    list->setRowCount(m_typedClassCount + 1);
    list->setColCount(3);
    const QString letters = defaultClassLetters();
    for (int i = 1; i <= m_typedClassCount; ++i) {
        list->setCell(1, i, QStringLiteral("Klasa VI ") + letters.at(i - 1));
        list->setCell(0, i, QString::number(i));
    }
}

SchoolSetup TfWyniki::typedSetup() const
{
    SchoolSetup setup;
    setup.classCount = m_typedClassCount;
    const StringGrid *list = tabela1();
    for (int c = 0; c < 3; ++c)
        setup.headings.append(list->cell(c, 0));
    for (int n = 1; n <= m_typedClassCount; ++n) {
        setup.labels.append(list->cell(1, n));
        setup.pupilTexts.append(list->cell(2, n));
    }
    return setup;
}

void TfWyniki::bAkceptujClick()
{
    StringGrid *list = tabela1();
    bool fault = strToInt(ui->eLiczbaKlas->text()) == 0;
    QList<qint32> counts;
    for (int i = 1; i <= m_typedClassCount; ++i) {
        const qint32 pupils = cellAsInteger(list, 2, i);
        if (pupils <= 0)
            fault = true;
        counts.append(pupils);
    }
    if (fault || m_typedClassCount < 1)
        return;

    // Labels name the class directories: refuse any that would clash or leave the school directory.
    const SchoolSetup setup = typedSetup();
    QString problem = pupilCountsProblem(counts);
    if (problem.isEmpty())
        problem = classLabelsProblem(setup.labels);
    if (!problem.isEmpty()) {
        messages::showMessage(problem);
        return;
    }

    const QString directory = ui->stSciezka->text() + QLatin1Char('/') + ui->eNazwaKatalogu->text();
    // A school already there is never overwritten unasked: its classes' files were typed under its
    // own test.
    if (holdsSchoolFiles(directory)) {
        acceptIntoExistingSchool(QDir::cleanPath(directory), setup, counts);
        return;
    }
    const Outcome outcome = m_session.setUpNewSchool(directory, setup, counts);
    tell(outcome);
    if (outcome.ok)
        showOpenedSchool();
}

void TfWyniki::acceptIntoExistingSchool(const QString &folder, const SchoolSetup &setup,
                                        const QList<qint32> &counts)
{
    const ExistingSchool existing = m_session.existingSchoolAt(folder);
    const QString keep = QStringLiteral("Zastąpienie zapisze tylko nowy plik Szkola.ini; katalogi klas, "
                                        "ich pliki i test szkoły (Setup.ini) zostaną zachowane.");
    const auto answer =
        existing.hasSchoolFile
            ? messages::askChoice(QStringLiteral("Katalog „%1” zawiera już szkołę (%2 klas).\nOtworzyć ją "
                                                 "czy zastąpić jej opis klas opisem z tej strony?\n\n%3")
                                      .arg(QDir::toNativeSeparators(folder))
                                      .arg(existing.classCount)
                                      .arg(keep),
                                  QStringLiteral("Otwórz"), QStringLiteral("Zastąp"))
            : messages::askChoice(QStringLiteral("Katalog „%1” zawiera już pliki programu Sondaryk (ale nie "
                                                 "plik Szkola.ini).\nZastąpić opis klas szkoły opisem z tej "
                                                 "strony?\n\n%2")
                                      .arg(QDir::toNativeSeparators(folder), keep),
                                  QString(), QStringLiteral("Zastąp"));
    if (answer == QMessageBox::Yes && existing.hasSchoolFile) {
        openSchoolAt(folder);
    } else if (answer == QMessageBox::No) {
        const Outcome outcome = m_session.replaceSchoolDescription(folder, setup, counts);
        tell(outcome);
        if (outcome.ok)
            showOpenedSchool();
    }
}

void TfWyniki::bKatalogClick()
{
    const QString chosen = ui::folderChooser(this, QStringLiteral("Wybierz folder:"), m_session.location());
    if (!chosen.isEmpty())
        m_session.setLocation(QDir::cleanPath(chosen));
    showLocation();
}

void TfWyniki::eNazwaKataloguChange()
{
    // The name is read only at acceptance.
}

void TfWyniki::sbPomocClick()
{
    showHelpTopic(this, helpBesideProgram(), QStringLiteral("IDH_MAIN"));
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
    if (!isClassPage(m_currentPage) && !isSchoolPage(m_currentPage))
        throw SondarykError(
            QStringLiteral("Wykresy można oglądać tylko na stronie klasy lub na stronie „Szkoła”."));
    charts::ChartData data;
    const bool school = isSchoolPage(m_currentPage);
    data.mode = school ? charts::Mode::School : charts::Mode::Class;
    data.test = m_session.test();
    data.classCount = m_session.classCount();
    data.classLabels = m_session.classLabels();
    if (!school) {
        data.classLabel = m_session.classLabels().value(classInView());
        data.pupilCount = m_session.pupilCounts().value(classInView());
    }
    // The grids as they stand: the chart shows what the teacher sees.
    data.upperGrid = contentsOf(tabela1());
    data.lowerGrid = contentsOf(tabela2());
    data.bitmapFolder =
        school ? m_session.paths().schoolFolder() : m_session.paths().classFolder(classInView());
    data.schoolFolder = m_session.schoolDirectory();
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

GridRows TfWyniki::contentsOf(const StringGrid *grid)
{
    GridRows rows;
    rows.reserve(grid->rowCount());
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList cells;
        cells.reserve(grid->colCount());
        for (int c = 0; c < grid->colCount(); ++c)
            cells.append(grid->cell(c, r));
        rows.append(cells);
    }
    return rows;
}
