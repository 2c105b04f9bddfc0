#include "workbook/tfimport.h"

#include "ui/fixedwindow.h"
#include "ui/guarded.h"
#include "ui_tfimport.h"
#include "workbook/tfwyniki.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>

#include <algorithm>

TfImport::TfImport(const QString &path, const CsvTable &table, const TestDefinition &test, qint32 classSize,
                   QWidget *parent)
    : QDialog(parent, fixedWindowFlags), ui(std::make_unique<Ui::TfImport>()), m_table(table), m_test(test),
      m_classSize(classSize)
{
    ui->setupUi(this);
    setFixedSize(660, 460);
    ui->stPlik->setText(QStringLiteral("Plik: ") + QDir::toNativeSeparators(path));
    const QString separator =
        table.separator == u'\t' ? QStringLiteral("tabulator") : QStringLiteral("„%1”").arg(table.separator);
    ui->stKodowanie->setText(QStringLiteral("Kodowanie: %1, separator: %2, wierszy w pliku: %3")
                                 .arg(encodingName(table.encoding), separator)
                                 .arg(table.rows.size()));
    qsizetype widest = 1;
    for (const QStringList &row : table.rows)
        widest = std::max(widest, row.size());
    m_layout = guessLayout(table, test.taskCount, test.taskKeys);
    ui->sePierwszyWiersz->setRange(1, int(std::max<qsizetype>(table.rows.size(), 1)));
    ui->sePierwszyWiersz->setValue(m_layout.firstDataRow + 1);
    // The guess may put the points past the widest row (a file of codes and marks alone); the
    // range must hold it, or the spin box would move the points onto the marks.
    ui->sePierwszaKolumna->setRange(1, int(std::max<qsizetype>(widest, m_layout.firstTaskColumn + 1)));
    ui->sePierwszaKolumna->setValue(m_layout.firstTaskColumn + 1);
    ui->tabelaPodglad->verticalHeader()->hide();
    ui->tabelaPodglad->verticalHeader()->setDefaultSectionSize(17);
    ui->tabelaPodglad->horizontalHeader()->setDefaultSectionSize(45);

    connect(ui->sePierwszyWiersz, &QSpinBox::valueChanged, this, [this] { guarded([this] { refresh(); }); });
    connect(ui->sePierwszaKolumna, &QSpinBox::valueChanged, this, [this] { guarded([this] { refresh(); }); });
    connect(ui->bImportuj, &QPushButton::clicked, this, [this] { guarded([this] { bImportujClick(); }); });
    connect(ui->bAnuluj, &QPushButton::clicked, this, &QDialog::reject);
    refresh();
    ui->sePierwszyWiersz->setFocus();
}

TfImport::~TfImport()
{
    if (fImport == this)
        fImport = nullptr;
}

void TfImport::refresh()
{
    m_layout.firstDataRow = ui->sePierwszyWiersz->value() - 1;
    m_layout.firstTaskColumn = ui->sePierwszaKolumna->value() - 1;
    m_result = applyLayout(m_table, m_layout, m_test.taskMaxPoints.mid(0, m_test.taskCount), m_test.taskKeys);

    QTableWidget *preview = ui->tabelaPodglad;
    QStringList headings{QStringLiteral("Wiersz"), QStringLiteral("Kod ucznia"), QStringLiteral("Ob.")};
    for (int t = 0; t < m_test.taskCount; ++t)
        headings.append(m_test.taskLabels.value(t));
    preview->clear();
    preview->setColumnCount(int(headings.size()));
    preview->setHorizontalHeaderLabels(headings);
    preview->setRowCount(int(m_result.pupils.size()));
    preview->setColumnWidth(1, 90);
    for (int p = 0; p < m_result.pupils.size(); ++p) {
        preview->setItem(p, 0, new QTableWidgetItem(QString::number(m_result.fileRows.value(p))));
        const QStringList &cells = m_result.pupils[p];
        for (int c = 0; c < cells.size(); ++c)
            preview->setItem(p, c + 1, new QTableWidgetItem(cells[c]));
    }
    // What Compute would refuse, marked where it is: the task's cell, or the pupil's row.
    ui->lbUwagi->clear();
    for (const ImportProblem &problem : std::as_const(m_result.problems)) {
        const int p = int(m_result.fileRows.indexOf(problem.fileRow));
        if (p >= 0) {
            const int first = problem.task > 0 ? problem.task + 2 : 0;
            const int last = problem.task > 0 ? first : preview->columnCount() - 1;
            for (int c = first; c <= last; ++c) {
                if (QTableWidgetItem *item = preview->item(p, c))
                    item->setBackground(QColor(0xf4, 0xa6, 0xa6));
            }
        }
        const QString where = problem.task > 0 ? QStringLiteral("Wiersz %1, %2: ")
                                                     .arg(problem.fileRow)
                                                     .arg(m_test.taskLabels.value(problem.task - 1))
                                               : QStringLiteral("Wiersz %1: ").arg(problem.fileRow);
        ui->lbUwagi->addItem(where + problem.text);
    }
    const QString tooMany = classSizeProblem(m_result.pupils.size(), m_classSize);
    if (!tooMany.isEmpty())
        ui->lbUwagi->insertItem(0, tooMany);
    if (m_result.pupils.isEmpty())
        ui->lbUwagi->insertItem(0, QStringLiteral("Od wybranego wiersza plik nie zawiera wyników uczniów."));
    ui->bImportuj->setEnabled(tooMany.isEmpty() && !m_result.pupils.isEmpty());
}

void TfImport::bImportujClick()
{
    if (ui->bImportuj->isEnabled())
        accept();
}
