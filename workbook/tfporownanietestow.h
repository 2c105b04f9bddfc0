// "Porównanie testów": school folders, each read with its own test, side by side: the school, each
// class and each pupil across the tests, the standards two tests share, saved as a spreadsheet and
// a PDF and printed.
#pragma once

#include "analysis/testcomparison.h"
#include "core/progress.h"

#include <QByteArray>
#include <QDialog>
#include <QUrl>

#include <memory>

class QPagedPaintDevice;
class QTextDocument;

namespace Ui {
class TfPorownanieTestow;
}

class TfPorownanieTestow : public QDialog
{
    Q_OBJECT

public:
    explicit TfPorownanieTestow(QWidget *parent = nullptr);
    ~TfPorownanieTestow() override;

    // Reads the folder with its own test and puts it among the others by its test's date; false,
    // with the reason under the list, when it cannot be read or is there already.
    bool addSchool(const QString &folder);
    // Several at once, the window laid out once; how many were added.
    int addSchools(const QStringList &folders);
    void bDodajClick();
    void bDodajOstatniaClick();
    void bUsunClick();
    void bZapiszClick();
    // Writes the two files into folder, or where the teacher chooses when that folder fails.
    void writeComparisonFiles(QString folder, const QByteArray &xlsx, const QByteArray &pdf);
    void bDrukujClick();

    const TestsComparison &comparison() const { return m_comparison; }
    QTextDocument *document() const;
    Ui::TfPorownanieTestow *form() const { return ui.get(); }

    // The two files "Zapisz" writes, made in memory.
    QByteArray spreadsheetBytes(QString *error) const;
    QByteArray pdfBytes(const ProgressReport &progress = {});

private:
    void showSchools();
    void classMatchChanged();
    void schoolsReordered();
    void refresh();
    // The charts the report shows: those with something to draw.
    QList<QUrl> chartImages() const;
    void drawCharts();
    bool printComparison(QPagedPaintDevice *printer, const ProgressReport &progress = {});

    class PupilsModel;

    std::unique_ptr<Ui::TfPorownanieTestow> ui;
    PupilsModel *m_pupils = nullptr;
    QList<SchoolAtTest> m_tests;
    ClassMatch m_match;
    TestsComparison m_comparison;
    QStringList m_leftOut;
    bool m_showing = false; // the list and the table are being filled, not changed by the teacher
};
