// "Dane porównawcze": the published facilities of every task, standard and the whole test in the
// country, the province, the district and the municipality, typed or pasted into a grid and kept
// in the school folder's Porownanie.ini.
#pragma once

#include "analysis/comparison.h"
#include "analysis/testdefinition.h"
#include "school/schoolfolder.h"

#include <QDialog>
#include <QStringList>
#include <memory>

class StringGrid;

namespace Ui {
class TfPorownanie;
}

class TfPorownanie : public QDialog
{
    Q_OBJECT

public:
    // path: Porownanie.ini of the school folder, where it is written.
    TfPorownanie(const ComparisonFigures &figures, const TestDefinition &test, const QString &path,
                 const SchoolFolder &school, QWidget *parent = nullptr);
    ~TfPorownanie() override;

    Ui::TfPorownanie *form() const { return ui.get(); }
    StringGrid *grid() const;
    // The figures as the grid holds them now.
    ComparisonFigures figures() const;

    void bZapiszClick();

private:
    // Checks what was typed or pasted since the last look: a value that is no facility is refused
    // (the cell gets its last good text back) and said, in one message for the whole paste.
    void checkEdits();
    void showAllColumns();

    std::unique_ptr<Ui::TfPorownanie> ui;
    TestDefinition m_test;
    QString m_path;
    SchoolFolder m_school;
    QList<QStringList> m_accepted; // the cells' texts last found good, row by row
};

extern TfPorownanie *fPorownanie;
