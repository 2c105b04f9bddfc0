// The test definition window: the tasks, the standards and the analysis settings of one test, read
// from and written to a file of Setup.ini's layout, every value checked as it is typed or pasted.
#pragma once

#include "analysis/testdefinitionfile.h"
#include "ui/stringgrid.h"

#include <QByteArray>
#include <QDialog>

#include <functional>
#include <memory>

class QLineEdit;

namespace Ui {
class TfDefinicjaTestu;
}

class TfDefinicjaTestu : public QDialog
{
    Q_OBJECT

public:
    explicit TfDefinicjaTestu(QWidget *parent = nullptr);
    ~TfDefinicjaTestu() override;

    // Shows the definition of the file's bytes (Windows-1250, Setup.ini's layout).
    void setDefinition(const QByteArray &windows1250Bytes);
    // The whole definition as the file's bytes; after OK, one that definitionProblems accepts.
    QByteArray definitionBytes() const;
    // Everything shown, nothing editable: only "Zapisz jako…" and "Zamknij" work.
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }

    const TestDefinitionFile &definition() const { return m_definition; }
    Ui::TfDefinicjaTestu *form() const { return ui.get(); }

    void bWczytajClick();
    void bZapiszJakoClick();
    void bOKClick();
    void bUzgodnijClick();

private:
    // The five grids with their columns and headings; the edits with their checks; the buttons.
    void setUpGrowth();
    void setUpGrids();
    void setUpFields();
    void connectHandlers();
    // A line edit and the value of the definition it shows.
    struct Field {
        QLineEdit *edit;
        QString *value;
        QString name;
        std::function<QString(const QString &, QString *)> accepted;
    };
    void showDefinition();
    void showTasks();
    // The counts, the tasks and the standards; the line edits keep what is being typed in them.
    void showTasksAndStandards();
    void showSums();
    void acceptField(const Field &field);
    void checkTaskEdits();
    void checkStandardEdits();
    void checkStanineEdits(StringGrid *grid, std::array<QString, 9> *table);
    void showRequirements();
    void checkRequirementEdits();
    void taskCountChanged(int count);
    void standardCountChanged(int count);
    StringGrid::PasteResult pasteIntoTasks(const QList<QStringList> &rows, int firstCol, int firstRow);
    StringGrid::PasteResult pasteIntoRequirements(const QList<QStringList> &rows, int firstCol, int firstRow);
    QList<StringGrid *> allGrids() const;
    // Open editors and line edits into the definition, as focus leaving them would.
    void commitEdits();
    // Refuses, with the reasons, a definition that cannot be written.
    bool isWhole();

    std::unique_ptr<Ui::TfDefinicjaTestu> ui;
    TestDefinitionFile m_definition;
    // Tasks taken away by lowering the count, given back when it rises again.
    QList<DefinitionTask> m_spareTasks;
    QList<Field> m_fields;
    bool m_readOnly = false;
};
