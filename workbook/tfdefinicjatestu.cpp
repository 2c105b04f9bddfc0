#include "workbook/tfdefinicjatestu.h"

#include "analysis/testdefinition.h"
#include "core/cells.h"
#include "files/inifile.h"
#include "school/recentschools.h"
#include "school/usertests.h"
#include "ui/growingwindow.h"
#include "ui/guarded.h"
#include "ui/messages.h"
#include "ui/seams.h"
#include "ui_tfdefinicjatestu.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

// Why a typed character did not appear in the cell.
QString refusedCharacterMessage(QChar character)
{
    if (character == u';')
        return QStringLiteral("Średnika (;) nie można wpisać w tej komórce: w plikach testu i wyników "
                              "rozdziela on pola. Kody wymagań zadania (kolumna „Wymagania”) można "
                              "rozdzielać średnikiem albo przecinkiem.");
    return QStringLiteral("Znaku „%1” nie można wpisać w komórce: pliki programu (w kodowaniu "
                          "Windows-1250) nie mogą go zapisać.")
        .arg(character);
}

const QString fileFilter = QStringLiteral("Definicje testów (*.ini)");

constexpr int taskColumns = taskColumnCount;
constexpr int standardColumns = 3;

QString &standardCell(DefinitionStandard &standard, StandardColumn column)
{
    switch (column) {
    case StandardColumn::Abbreviation:
        return standard.abbreviation;
    case StandardColumn::Description:
        return standard.description;
    case StandardColumn::Points:
        break;
    }
    return standard.points;
}

void setUpGrid(StringGrid *grid, const QList<int> &widths, const QStringList &headings)
{
    grid->setFixedRows(1);
    grid->setFixedCols(1);
    grid->setColCount(int(widths.size()));
    grid->setRowCount(1);
    grid->setDefaultRowHeight(16);
    for (int c = 0; c < widths.size(); ++c) {
        grid->setColWidth(c, widths[c]);
        grid->setCell(c, 0, headings.value(c));
    }
}

// A key typed without its answers gets those it implies, shown where the teacher can change them.
void fillDefaultAnswers(DefinitionTask *task, StringGrid *grid, int t)
{
    if (task->key.isEmpty() || !task->answers.isEmpty())
        return;
    task->answers = closedanswers::defaultAnswers(task->key);
    grid->setCell(int(TaskColumn::Answers) + 1, t + 1, task->answers);
}

void showRefused(const QStringList &refused)
{
    if (!refused.isEmpty())
        messages::showMessage(QStringLiteral("Nie przyjęto wartości:\n") + problemsMessage(refused));
}

// A file name from the test's name: the characters file systems refuse become "_".
QString fileNameFor(const QString &testName)
{
    QString name = testName.trimmed();
    for (QChar &c : name) {
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.category() == QChar::Other_Control)
            c = u'_';
    }
    return (name.isEmpty() ? QStringLiteral("Test") : name) + QStringLiteral(".ini");
}

// The description columns as drawn; a larger window widens them.
constexpr int standardDescriptionWidth = 200;
constexpr int requirementDescriptionWidth = 760;

} // namespace

TfDefinicjaTestu::TfDefinicjaTestu(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfDefinicjaTestu>())
{
    ui->setupUi(this);

    setUpGrids();
    setUpGrowth();
    setUpFields();
    connectHandlers();

    m_definition = newTestDefinitionFile(1);
    showDefinition();
    ui->zakladki->setCurrentIndex(0);
    ui->eNazwa->setFocus();
}

void TfDefinicjaTestu::setUpGrowth()
{
    // A larger window shows more tasks and requirements at once, and the standards' descriptions
    // whole.
    auto *window = new Growth(this);
    window->follow(ui->zakladki, grows::wider | grows::taller);
    for (QWidget *left : {static_cast<QWidget *>(ui->bWczytaj), static_cast<QWidget *>(ui->bZapiszJako),
                          static_cast<QWidget *>(ui->bPomoc)})
        window->follow(left, grows::down);
    window->follow(ui->bOK, grows::right | grows::down);
    window->follow(ui->bAnuluj, grows::right | grows::down);
    auto *page = new Growth(ui->zakladki);
    page->follow(ui->tabelaZadan, grows::taller);
    page->follow(ui->tabelaStandardow, grows::wider);
    page->follow(ui->lbSumy, grows::wider);
    page->follow(ui->tabelaWymagan, grows::wider | grows::taller);
    page->follow(ui->stWymaganiaOpis, grows::wider | grows::down);
    // The descriptions take the width the grids gain.
    page->also([this](int dx, int) {
        ui->tabelaStandardow->setColWidth(2, standardDescriptionWidth + dx);
        ui->tabelaWymagan->setColWidth(2, requirementDescriptionWidth + dx);
    });
    letWindowGrow(this, recentschools::settingsFile());
    offerHelp(this, ui->bPomoc, QStringLiteral("kilka-testow"));
}

void TfDefinicjaTestu::setUpGrids()
{
    setUpGrid(ui->tabelaZadan, {28, 100, 50, 58, 72, 44, 84, 100, 62},
              {QStringLiteral("Nr"), taskColumnName(TaskColumn::Label), taskColumnName(TaskColumn::Points),
               taskColumnName(TaskColumn::Standard), taskColumnName(TaskColumn::Closed),
               taskColumnName(TaskColumn::Key), taskColumnName(TaskColumn::Answers),
               taskColumnName(TaskColumn::Requirements), taskColumnName(TaskColumn::PointPerPart)});
    // A task's requirements are a list the window parts itself.
    ui->tabelaZadan->setSemicolonColumn(int(TaskColumn::Requirements) + 1);
    setUpGrid(ui->tabelaWymagan, {28, 90, requirementDescriptionWidth, 90},
              {QStringLiteral("Nr"), requirementColumnName(RequirementColumn::Code),
               requirementColumnName(RequirementColumn::Description),
               requirementColumnName(RequirementColumn::General)});
    setUpGrid(ui->tabelaStandardow, {28, 72, standardDescriptionWidth, 50},
              {QStringLiteral("Nr"), standardColumnName(StandardColumn::Abbreviation),
               standardColumnName(StandardColumn::Description), standardColumnName(StandardColumn::Points)});
    ui->tabelaStandardow->setRowCount(TestDefinitionFile::maxStandards + 1);
    // A description reads from its start; one longer than the column is read whole in its tooltip.
    for (StringGrid *grid : {ui->tabelaStandardow, ui->tabelaWymagan}) {
        grid->drawCellHandler = [grid](QPainter *painter, int col, int row, const QRect &rect) {
            if (col != 2 || row == 0) {
                drawCellCentred(painter, grid->cell(col, row), rect);
                return;
            }
            painter->fillRect(rect, painter->brush());
            painter->drawText(rect.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                              grid->cell(col, row));
        };
    }
    for (int k = 1; k <= TestDefinitionFile::maxStandards; ++k)
        ui->tabelaStandardow->setCell(0, k, QString::number(k));
    for (StringGrid *stanines : {ui->tabelaStaniny, ui->tabelaStaninyUczniow}) {
        QList<int> widths{60};
        QStringList headings{QStringLiteral("Stanin")};
        for (int k = 1; k <= 9; ++k) {
            widths.append(54);
            headings.append(QString::number(k));
        }
        setUpGrid(stanines, widths, headings);
        stanines->setRowCount(2);
        stanines->setCell(0, 1, QStringLiteral("Od"));
    }
    // These grids hold all their cells in view.
    for (StringGrid *grid : {ui->tabelaStandardow, ui->tabelaStaniny, ui->tabelaStaninyUczniow}) {
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    for (StringGrid *grid : allGrids()) {
        grid->setEditingEnabled(true);
        connect(grid, &StringGrid::blockLeftOut, this, [](int rows, int columns) {
            guarded([&] { messages::showMessage(leftOutMessage(rows, columns)); });
        });
        connect(grid, &StringGrid::characterRefused, this, [](QChar character) {
            guarded([&] { messages::showMessage(refusedCharacterMessage(character)); });
        });
    }
    // Three digits may be typed: a count above the limit is then told and set to the limit, where a
    // spin box stopping at 200 would silently keep "30" of a typed "300".
    ui->seLiczbaZadan->setMaximum(999);
    ui->tabelaZadan->pasteHandler = [this](const QList<QStringList> &rows, int firstCol, int firstRow) {
        StringGrid::PasteResult result;
        guarded([&] { result = pasteIntoTasks(rows, firstCol, firstRow); });
        return result;
    };
    ui->tabelaWymagan->pasteHandler = [this](const QList<QStringList> &rows, int firstCol, int firstRow) {
        StringGrid::PasteResult result;
        guarded([&] { result = pasteIntoRequirements(rows, firstCol, firstRow); });
        return result;
    };
}

QList<StringGrid *> TfDefinicjaTestu::allGrids() const
{
    return {ui->tabelaZadan, ui->tabelaStandardow, ui->tabelaStaniny, ui->tabelaStaninyUczniow,
            ui->tabelaWymagan};
}

void TfDefinicjaTestu::setUpFields()
{
    const auto whole = [](const QString &text, QString *problem) { return acceptedTotal(text, problem); };
    const auto band = [](const QString &text, QString *problem) {
        return acceptedOptionalField(OptionalField::BandBound, text, problem);
    };
    m_fields = {
        {ui->eNazwa, &m_definition.name, QStringLiteral("Nazwa testu"), acceptedName},
        {ui->eData, &m_definition.date, QStringLiteral("Data testu"), acceptedDate},
        {ui->eMaxPunktow, &m_definition.maxTotalPoints, QStringLiteral("Maksymalna liczba punktów testu"),
         whole},
        {ui->eTrudne, &m_definition.bandBounds[0], QStringLiteral("Trudne"), band},
        {ui->eUmiarkowanieTrudne, &m_definition.bandBounds[1], QStringLiteral("Umiarkowanie trudne"), band},
        {ui->eLatwe, &m_definition.bandBounds[2], QStringLiteral("Łatwe"), band},
        {ui->eBardzoLatwe, &m_definition.bandBounds[3], QStringLiteral("Bardzo łatwe"), band},
        {ui->eProg, &m_definition.comparisonThreshold, QStringLiteral("Próg porównania"),
         [](const QString &text, QString *problem) {
             return acceptedOptionalField(OptionalField::Threshold, text, problem);
         }},
    };
    for (const Field &field : std::as_const(m_fields))
        connect(field.edit, &QLineEdit::editingFinished, this,
                [this, field] { guarded([&] { acceptField(field); }); });
}

void TfDefinicjaTestu::connectHandlers()
{
    connectGuarded(ui->tabelaZadan, &StringGrid::editFinished, this, &TfDefinicjaTestu::checkTaskEdits);
    connectGuarded(ui->tabelaStandardow, &StringGrid::editFinished, this,
                   &TfDefinicjaTestu::checkStandardEdits);
    connectGuarded(ui->tabelaWymagan, &StringGrid::editFinished, this,
                   &TfDefinicjaTestu::checkRequirementEdits);
    connect(ui->tabelaStaniny, &StringGrid::editFinished, this,
            [this] { guarded([this] { checkStanineEdits(ui->tabelaStaniny, &m_definition.stanines); }); });
    connect(ui->tabelaStaninyUczniow, &StringGrid::editFinished, this, [this] {
        guarded([this] { checkStanineEdits(ui->tabelaStaninyUczniow, &m_definition.pupilStanines); });
    });
    connect(ui->seLiczbaZadan, &QSpinBox::valueChanged, this,
            [this](int count) { guarded([&] { taskCountChanged(count); }); });
    connect(ui->seLiczbaStandardow, &QSpinBox::valueChanged, this,
            [this](int count) { guarded([&] { standardCountChanged(count); }); });
    connectGuarded(ui->bUzgodnij, &QPushButton::clicked, this, &TfDefinicjaTestu::bUzgodnijClick);
    connectGuarded(ui->bWczytaj, &QPushButton::clicked, this, &TfDefinicjaTestu::bWczytajClick);
    connectGuarded(ui->bZapiszJako, &QPushButton::clicked, this, &TfDefinicjaTestu::bZapiszJakoClick);
    connectGuarded(ui->bOK, &QPushButton::clicked, this, &TfDefinicjaTestu::bOKClick);
    connect(ui->bAnuluj, &QPushButton::clicked, this, &QDialog::reject);
}

TfDefinicjaTestu::~TfDefinicjaTestu()
{
    // No check may run on a grid while the window is being taken apart.
    for (StringGrid *grid : allGrids()) {
        disconnect(grid, nullptr, this, nullptr);
        grid->pasteHandler = nullptr;
    }
    for (const Field &field : std::as_const(m_fields))
        disconnect(field.edit, nullptr, this, nullptr);
    disconnect(ui->seLiczbaZadan, nullptr, this, nullptr);
    disconnect(ui->seLiczbaStandardow, nullptr, this, nullptr);
}

void TfDefinicjaTestu::setDefinition(const QByteArray &windows1250Bytes)
{
    m_definition = readTestDefinitionFile(windows1250Bytes);
    m_spareTasks.clear();
    showDefinition();
}

QByteArray TfDefinicjaTestu::definitionBytes() const
{
    // What the window saves is the school's own test, no longer the example it may have begun as.
    TestDefinitionFile own = m_definition;
    dropExampleNote(&own);
    return testDefinitionFileBytes(own);
}

void TfDefinicjaTestu::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    for (const Field &field : std::as_const(m_fields))
        field.edit->setReadOnly(readOnly);
    ui->seLiczbaZadan->setReadOnly(readOnly);
    ui->seLiczbaStandardow->setReadOnly(readOnly);
    for (StringGrid *grid : allGrids())
        grid->setEditingEnabled(!readOnly);
    ui->bUzgodnij->setEnabled(!readOnly);
    ui->bWczytaj->setEnabled(!readOnly);
    ui->bOK->setVisible(!readOnly);
    ui->bAnuluj->setText(readOnly ? QStringLiteral("Zamknij") : QStringLiteral("Anuluj"));
    ui->bAnuluj->setAccessibleName(ui->bAnuluj->text());
    // Why nothing can be changed, where the teacher looks first.
    setWindowTitle(readOnly
                       ? QStringLiteral("Definicja testu – tylko do odczytu: szkoła ma już wpisane wyniki")
                       : QStringLiteral("Definicja testu"));
}

void TfDefinicjaTestu::showDefinition()
{
    for (const Field &field : std::as_const(m_fields))
        field.edit->setText(*field.value);
    showTasksAndStandards();
    showRequirements();
    for (int k = 0; k < 9; ++k) {
        ui->tabelaStaniny->setCell(k + 1, 1, m_definition.stanines[k]);
        ui->tabelaStaninyUczniow->setCell(k + 1, 1, m_definition.pupilStanines[k]);
    }
    ui->tabelaStaniny->clearUndo();
    ui->tabelaStaninyUczniow->clearUndo();
    showSums();
}

void TfDefinicjaTestu::showTasksAndStandards()
{
    {
        const QSignalBlocker blocker(ui->seLiczbaZadan);
        ui->seLiczbaZadan->setValue(int(m_definition.tasks.size()));
    }
    {
        const QSignalBlocker blocker(ui->seLiczbaStandardow);
        ui->seLiczbaStandardow->setValue(m_definition.standardCount);
    }
    showTasks();
    ui->tabelaStandardow->setRowCount(m_definition.standardCount + 1);
    for (int k = 0; k < m_definition.standardCount; ++k) {
        const DefinitionStandard &standard = m_definition.standards[k];
        ui->tabelaStandardow->setCell(0, k + 1, QString::number(k + 1));
        ui->tabelaStandardow->setCell(1, k + 1, standard.abbreviation);
        ui->tabelaStandardow->setCell(2, k + 1, standard.description);
        // Long descriptions are read whole from the tooltip.
        ui->tabelaStandardow->item(k + 1, 2)->setToolTip(standard.description);
        ui->tabelaStandardow->setCell(3, k + 1, standard.points);
    }
    ui->tabelaStandardow->clearUndo();
}

void TfDefinicjaTestu::showTasks()
{
    StringGrid *grid = ui->tabelaZadan;
    grid->setRowCount(int(m_definition.tasks.size()) + 1);
    for (int t = 0; t < m_definition.tasks.size(); ++t) {
        DefinitionTask &task = m_definition.tasks[t];
        grid->setCell(0, t + 1, QString::number(t + 1));
        for (int c = 0; c < taskColumns; ++c)
            grid->setCell(c + 1, t + 1, taskCell(task, TaskColumn(c)));
    }
    // An undo step would put back cells of rows that have moved or gone.
    grid->clearUndo();
}

void TfDefinicjaTestu::showSums()
{
    const SumsCheck check = checkSums(m_definition);
    QString text = check.summary.toHtmlEscaped();
    if (check.mismatches.isEmpty())
        text += QStringLiteral("<br>Maksymalne liczby punktów zgadzają się z sumami.");
    for (const QString &mismatch : check.mismatches)
        text += QStringLiteral("<br><span style=\"color:#c00000\">") + mismatch.toHtmlEscaped() +
                QStringLiteral("</span>");
    ui->lbSumy->setText(text);
}

void TfDefinicjaTestu::acceptField(const Field &field)
{
    if (m_readOnly || field.edit->text() == *field.value)
        return;
    QString problem;
    const QString accepted = field.accepted(field.edit->text(), &problem);
    if (!problem.isEmpty()) {
        // Put back first: the message box takes the focus, and the edit must not be refused twice.
        field.edit->setText(*field.value);
        showRefused({field.name + QStringLiteral(": ") + problem});
        return;
    }
    *field.value = accepted;
    field.edit->setText(accepted);
    showSums();
}

void TfDefinicjaTestu::checkTaskEdits()
{
    StringGrid *grid = ui->tabelaZadan;
    QStringList refused;
    for (int t = 0; t < m_definition.tasks.size() && t + 1 < grid->rowCount(); ++t) {
        for (int c = 0; c < taskColumns; ++c) {
            const auto column = TaskColumn(c);
            QString &value = taskCell(m_definition.tasks[t], column);
            const QString text = grid->cell(c + 1, t + 1);
            if (text == value)
                continue;
            QString problem;
            const QString accepted = column == TaskColumn::Requirements
                                         ? acceptedRequirementsCell(m_definition, text, &problem)
                                         : acceptedTaskCell(column, text, &problem);
            if (problem.isEmpty()) {
                value = accepted;
                fillDefaultAnswers(&m_definition.tasks[t], grid, t);
            } else
                refused.append(QStringLiteral("Zadanie %1, %2: ").arg(t + 1).arg(taskColumnName(column)) +
                               problem);
            grid->setCell(c + 1, t + 1, value);
        }
    }
    // A task put in a standard beyond the count brings that standard in.
    const int standards = m_definition.standardCount;
    fitStandardCount(&m_definition);
    if (standards != m_definition.standardCount)
        showTasksAndStandards();
    showSums();
    showRefused(refused);
}

void TfDefinicjaTestu::checkStandardEdits()
{
    StringGrid *grid = ui->tabelaStandardow;
    QStringList refused;
    for (int k = 0; k < m_definition.standardCount && k + 1 < grid->rowCount(); ++k) {
        for (int c = 0; c < standardColumns; ++c) {
            const auto column = StandardColumn(c);
            QString &value = standardCell(m_definition.standards[k], column);
            const QString text = grid->cell(c + 1, k + 1);
            if (text == value)
                continue;
            QString problem;
            const QString accepted = acceptedStandardCell(column, text, &problem);
            if (problem.isEmpty())
                value = accepted;
            else
                refused.append(
                    QStringLiteral("Standard %1, %2: ").arg(k + 1).arg(standardColumnName(column)) + problem);
            grid->setCell(c + 1, k + 1, value);
        }
        grid->item(k + 1, 2)->setToolTip(m_definition.standards[k].description);
    }
    showSums();
    showRefused(refused);
}

void TfDefinicjaTestu::checkStanineEdits(StringGrid *grid, std::array<QString, 9> *table)
{
    QStringList refused;
    for (int k = 0; k < 9; ++k) {
        const QString text = grid->cell(k + 1, 1);
        if (text == (*table)[k])
            continue;
        QString problem;
        const QString accepted = acceptedOptionalField(OptionalField::Stanine, text, &problem);
        if (problem.isEmpty())
            (*table)[k] = accepted;
        else
            refused.append(QStringLiteral("Stanin %1: ").arg(k + 1) + problem);
        grid->setCell(k + 1, 1, (*table)[k]);
    }
    showRefused(refused);
}

void TfDefinicjaTestu::taskCountChanged(int count)
{
    if (m_readOnly)
        return;
    if (count > TestDefinition::maxTaskCount) {
        count = TestDefinition::maxTaskCount;
        {
            const QSignalBlocker blocker(ui->seLiczbaZadan);
            ui->seLiczbaZadan->setValue(count);
        }
        messages::showMessage(
            QStringLiteral("Test może mieć najwyżej %1 zadań; liczbę zadań ustawiono na %1.").arg(count));
    }
    ui->tabelaZadan->commitOpenEditor();
    QList<DefinitionTask> &tasks = m_definition.tasks;
    while (tasks.size() > count)
        m_spareTasks.prepend(tasks.takeLast());
    while (tasks.size() < count && !m_spareTasks.isEmpty())
        tasks.append(m_spareTasks.takeFirst());
    setTaskCount(&m_definition, count);
    showTasks();
    showSums();
}

StringGrid::PasteResult TfDefinicjaTestu::pasteIntoTasks(const QList<QStringList> &rows, int firstCol,
                                                         int firstRow)
{
    const TaskPaste paste =
        pasteTasks(&m_definition, rows, firstRow - 1, TaskColumn(qBound(0, firstCol - 1, taskColumns - 1)));
    if (paste.tasksAdded > 0)
        m_spareTasks.clear();
    showTasksAndStandards();
    showSums();
    QStringList notes = paste.refused;
    if (paste.rowsLeftOut > 0 || paste.columnsLeftOut > 0) {
        QString leftOut = leftOutMessage(paste.rowsLeftOut, paste.columnsLeftOut);
        if (paste.rowsLeftOut > 0)
            leftOut += QStringLiteral(" Test może mieć najwyżej %1 zadań.").arg(TestDefinition::maxTaskCount);
        notes.prepend(leftOut);
    }
    if (!notes.isEmpty())
        messages::showMessage(QStringLiteral("Nie wklejono wszystkiego:\n") + problemsMessage(notes));
    // Told here already, so the grid must not tell it again.
    return StringGrid::PasteResult{paste.cellsChanged, 0, 0};
}

void TfDefinicjaTestu::showRequirements()
{
    StringGrid *grid = ui->tabelaWymagan;
    const int count = int(m_definition.requirements.size());
    // One empty row beyond the list takes a new requirement, up to the limit.
    grid->setRowCount(qMin(count + 1, TestDefinition::maxRequirementCount) + 1);
    for (int r = 0; r + 1 < grid->rowCount(); ++r) {
        grid->setCell(0, r + 1, QString::number(r + 1));
        DefinitionRequirement empty;
        DefinitionRequirement &requirement = r < count ? m_definition.requirements[r] : empty;
        for (int c = 0; c < requirementColumnCount; ++c)
            grid->setCell(c + 1, r + 1, requirementCell(requirement, RequirementColumn(c)));
        grid->item(r + 1, int(RequirementColumn::Description) + 1)->setToolTip(requirement.description);
    }
    grid->clearUndo();
}

void TfDefinicjaTestu::checkRequirementEdits()
{
    StringGrid *grid = ui->tabelaWymagan;
    QStringList refused;
    for (int r = 0; r + 1 < grid->rowCount(); ++r) {
        for (int c = 0; c < requirementColumnCount; ++c) {
            const auto column = RequirementColumn(c);
            const QString text = grid->cell(c + 1, r + 1);
            const bool known = r < m_definition.requirements.size();
            if (text == (known ? requirementCell(m_definition.requirements[r], column) : QString()))
                continue;
            QString problem;
            const QString accepted = acceptedRequirementCell(column, text, &problem);
            // A code being cleared or not yet typed is taken: OK names a row that stays so.
            if (!problem.isEmpty() && !(column == RequirementColumn::Code && text.trimmed().isEmpty())) {
                refused.append(
                    QStringLiteral("Wymaganie %1, %2: ").arg(r + 1).arg(requirementColumnName(column)) +
                    problem);
                continue;
            }
            while (m_definition.requirements.size() <= r)
                m_definition.requirements.append(DefinitionRequirement());
            requirementCell(m_definition.requirements[r], column) = accepted;
        }
    }
    showRequirements();
    showRefused(refused);
}

void TfDefinicjaTestu::standardCountChanged(int count)
{
    if (m_readOnly)
        return;
    ui->tabelaStandardow->commitOpenEditor();
    m_definition.standardCount = qBound(1, count, TestDefinitionFile::maxStandards);
    showTasksAndStandards();
    showSums();
}

StringGrid::PasteResult TfDefinicjaTestu::pasteIntoRequirements(const QList<QStringList> &rows, int firstCol,
                                                                int firstRow)
{
    const RequirementPaste paste =
        pasteRequirements(&m_definition, rows, firstRow - 1,
                          RequirementColumn(qBound(0, firstCol - 1, requirementColumnCount - 1)));
    showRequirements();
    QStringList notes = paste.refused;
    if (paste.rowsLeftOut > 0 || paste.columnsLeftOut > 0) {
        QString leftOut = leftOutMessage(paste.rowsLeftOut, paste.columnsLeftOut);
        if (paste.rowsLeftOut > 0)
            leftOut += QStringLiteral(" Test może mieć najwyżej %1 wymagań.")
                           .arg(TestDefinition::maxRequirementCount);
        notes.prepend(leftOut);
    }
    if (!notes.isEmpty())
        messages::showMessage(QStringLiteral("Nie wklejono wszystkiego:\n") + problemsMessage(notes));
    return StringGrid::PasteResult{paste.cellsChanged, 0, 0};
}

void TfDefinicjaTestu::commitEdits()
{
    for (StringGrid *grid : allGrids())
        grid->commitOpenEditor();
    for (const Field &field : std::as_const(m_fields))
        acceptField(field);
}

bool TfDefinicjaTestu::isWhole()
{
    commitEdits();
    const QStringList problems = definitionProblems(m_definition);
    if (problems.isEmpty())
        return true;
    messages::showMessage(QStringLiteral("Definicji testu nie można jeszcze zapisać:\n") +
                          problemsMessage(problems));
    return false;
}

void TfDefinicjaTestu::bUzgodnijClick()
{
    if (m_readOnly)
        return;
    commitEdits();
    reconcileSums(&m_definition);
    showDefinition();
}

void TfDefinicjaTestu::bWczytajClick()
{
    if (m_readOnly)
        return;
    prepareUserTestsFolder();
    const QString path =
        ui::fileChooser(this, QStringLiteral("Wczytaj definicję testu"), userTestsFolder(), fileFilter);
    if (path.isEmpty())
        return;
    QString error;
    const std::optional<QByteArray> bytes = readTestFile(path, &error);
    if (!bytes) {
        messages::showFileError(error);
        return;
    }
    QStringList problems;
    m_definition = readTestDefinitionFile(*bytes, &problems);
    m_spareTasks.clear();
    showDefinition();
    problems.append(definitionProblems(m_definition));
    if (!problems.isEmpty())
        messages::showMessage(QStringLiteral("Wczytana definicja wymaga poprawek:\n") +
                              problemsMessage(problems));
}

void TfDefinicjaTestu::bZapiszJakoClick()
{
    if (!isWhole())
        return;
    prepareUserTestsFolder();
    const QString path =
        ui::saveFileChooser(this, QStringLiteral("Zapisz definicję testu"),
                            QDir(userTestsFolder()).filePath(fileNameFor(m_definition.name)), fileFilter);
    if (path.isEmpty())
        return;
    QString error;
    if (!writeTestFile(path, definitionBytes(), &error))
        messages::showFileError(error);
}

void TfDefinicjaTestu::bOKClick()
{
    if (m_readOnly || !isWhole())
        return;
    accept();
}
