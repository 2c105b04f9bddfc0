// The preview of a class's results imported from a CSV file: how the file's columns map onto the
// code, the attendance mark and the tasks, what Compute would refuse, and nothing reaches the
// grid until the teacher confirms.
#pragma once

#include "analysis/testdefinition.h"
#include "files/csvimport.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TfImport;
}

class TfImport : public QDialog
{
    Q_OBJECT

public:
    TfImport(const QString &path, const CsvTable &table, const TestDefinition &test, qint32 classSize,
             QWidget *parent = nullptr);
    ~TfImport() override;

    Ui::TfImport *form() const { return ui.get(); }
    const ImportLayout &layout() const { return m_layout; }
    // The pupils as the layout in view reads them.
    const ImportResult &result() const { return m_result; }

    void bImportujClick();

private:
    void refresh();

    std::unique_ptr<Ui::TfImport> ui;
    CsvTable m_table;
    TestDefinition m_test;
    qint32 m_classSize;
    ImportLayout m_layout;
    ImportResult m_result;
};
