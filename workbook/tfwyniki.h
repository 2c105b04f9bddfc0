// The results workbook: the setup page, one page per class and the school page, with two grids
// shared by all pages and rebuilt from the school directory's files whenever the page changes.
#pragma once

#include "analysis/testdefinition.h"
#include "charts/chartcatalogue.h"
#include "school/schoolfolder.h"

#include <QDialog>
#include <QList>
#include <QRect>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QPainter;
class QTabWidget;
class StringGrid;

namespace Ui {
class TfWyniki;
}

class TfWyniki : public QDialog
{
    Q_OBJECT

public:
    explicit TfWyniki(QWidget *parent = nullptr);
    ~TfWyniki() override;

    // The test the pages are laid out for: the school's own once a school is set up or opened,
    // before that the one chosen for a new school.
    TestDefinition test;

    QString schoolDirectory;
    qint32 classCount = 0;
    qint32 currentPage = 0;
    QList<qint32> pupilCounts;
    QStringList classLabels;
    qint32 badPupilCount = 0;

    Ui::TfWyniki *form() const { return ui.get(); }
    StringGrid *tabela1() const;
    StringGrid *tabela2() const;
    int pageCount() const;

    // Setup page
    void eLiczbaKlasChange();
    void bAkceptujClick();
    void bKatalogClick();
    void eNazwaKataloguChange();
    void sbPomocClick();
    void bWykresyClick();
    // What the chart window draws: the page in view as it stands; throws off the class and
    // school pages.
    charts::ChartData chartData() const;

    // A saved school: its folder chosen, then opened with its own test, without writing anything.
    void sbOtworzSzkoleClick();
    // Opens the school in folder as acceptance would set it up, and shows its first class; false
    // (with the reason said) when it is no school or its files do not fit any test it can take.
    bool openSchoolAt(const QString &folder);
    // The test a new school gets: the choice "Test:" of the setup page.
    void cbTestChange();
    void bDefinicjaClick();
    void sbPorownanieTestowClick();
    // The recent schools as the setup page lists them; an item activated opens its school.
    void fillRecentSchools();
    // Where the test in use is kept: the school's own Setup.ini, or before a school, the chosen file.
    QString testIniPath() const;
    // Why nothing may be written on the page in view (a work file that does not fit the test);
    // empty when all is well.
    const QString &pageBlocked() const { return m_blocked; }

    // Analysis of the class in view, or of the whole school on the school page.
    void sbAnalizaClick();

    // A class's results from a CSV file, through a preview.
    void sbImportujClick();

    // Open and Save
    void sbOtworzClick();
    void sbZapiszClick();
    bool writeReport(const QString &path);
    // The page's report: the test, the two captions and the two grids as they stand.
    ReportContent reportContent() const;
    // The sheets as a spreadsheet file, whole or not at all; a failure is shown.
    bool writeSpreadsheet(const QString &path, const QList<Sheet> &sheets);

    // Compute
    void bObliczClick();
    void validateScores(qint32 pupilCount);
    // The class page's task and standard statistics, from its two grids.
    void writeClassStatistics(const QString &taskPath, const QString &standardPath);

    // Navigation
    void bDalejClick();
    void bWsteczClick();
    void pcWynikiChange();
    void updatePageControls();
    void resetGrid(StringGrid *grid, int columns, int rows, int width);
    void layoutGridHeaders(int mode);
    void writeSchoolStatistics(qint32 valueCount, qint32 classCount, StringGrid *grid, const QString &path);

    void tabela1DrawCell(QPainter *painter, int col, int row, const QRect &rect);
    void tabela2DrawCell(QPainter *painter, int col, int row, const QRect &rect);

    qint32 cellAsInteger(StringGrid *grid, int col, int row) const;

    // The school folder as the workbook knows it: its place, its classes and their pupils.
    SchoolFolder school() const;
    // The grids to and from the school folder's files; the writers report a failure and return
    // false. Szkola.ini from and into the class list of the setup page.
    bool writeSchoolFile();
    void readSchoolFile();
    bool writeGridFile(StringGrid *grid, const QString &path);
    // True when the file was there and read; the grid is unchanged otherwise.
    bool readGridFile(StringGrid *grid, const QString &path);
    // A statistics file into two rows of a grid from its cell (firstCol, firstRow); a missing or
    // damaged one leaves them as they are.
    void readStatisticsAt(StringGrid *grid, int firstCol, int firstRow, const QString &path);
    // Shows what the school folder could not write ("Nie mogę zapisać pliku!", or why it refused a
    // path); true when it was written.
    bool written(WriteStatus status, const QString &path) const;
    void showReadFailure(ReadStatus status, const QString &path) const;

    // Typed points not yet written to the class's answers file.
    bool scoresModified() const { return m_scoresModified; }
    void markScoresSaved() { m_scoresModified = false; }
    // Before a class page is left: asks whether to save unsaved points. False means stay.
    bool confirmLeavingPage();

    // Where the school's files lie; the directory of class i (counted from 0) and the school's own
    // subdirectory.
    SchoolPaths paths() const;
    QString classDirectory(int classIndex) const;
    QString schoolSubdirectory() const;

    // Every cell's text, row by row.
    static QList<QStringList> contentsOf(const StringGrid *grid);

private:
    // The school folder's pages laid out for its classes and its test; nothing is written.
    void setUpSchool(const QString &folder, const QStringList &labels, const QList<qint32> &counts,
                     const TestDefinition &schoolTest);
    // Akceptuj into a folder that holds a school's files: only Szkola.ini is written (and the test's
    // copy when the school had none and its files fit).
    void replaceSchoolDescription(const QString &folder, const QStringList &labels,
                                  const QList<qint32> &counts);
    // The test of a school without its own Setup.ini: the chosen one, when every file fits it; its
    // copy is written into the school. False, with the reason said, otherwise.
    bool adoptChosenTest(const SchoolFolder &folder, TestDefinition *schoolTest);
    // The test a new school gets (the chosen one), and what its copy in the school holds: the
    // chosen file's bytes, or the definition written out when it came from no file.
    TestDefinition newSchoolTest() const;
    // The file at path becomes the test of the next new school.
    void chooseTest(const QString &path);
    QByteArray newSchoolTestBytes() const;
    void showTestAndSchool();
    // The program's Setup.ini and the user's own tests, in the choice "Test:".
    void fillTestChoice();
    // A page whose file does not fit the test is left empty and locked; says why, once.
    void blockPage(const QStringList &reasons);
    void goToPage(int index);
    void buildClassPage(int page);
    void buildSetupPage();
    void buildSchoolPage();
    void showSummary(bool visible);
    // The caption above the upper grid grows with its text, like a self-sizing static text.
    void setStatic1(const QString &caption);
    bool isSchoolPage(int index) const { return index != 0 && index == pageCount() - 1; }
    bool isClassPage(int index) const { return index != 0 && index != pageCount() - 1; }

    std::unique_ptr<Ui::TfWyniki> ui;
    // Closing the window (its close box or Escape) asks about unsaved points first.
    void reject() override;

    bool m_changingPage = false;
    QString m_blocked;
    // While one click writes several files, the names of those not written, said once at its end.
    mutable std::optional<QStringList> m_notWritten;
    // Gathers, while it lives, the files a click could not write, and then says them in one message.
    class WriteFailures
    {
    public:
        explicit WriteFailures(TfWyniki *owner);
        ~WriteFailures();
        WriteFailures(const WriteFailures &) = delete;
        WriteFailures &operator=(const WriteFailures &) = delete;

    private:
        TfWyniki *m_owner;
    };
    // The test chosen for a new school, and the file it came from ("" for the built-in one).
    TestDefinition m_chosenTest;
    QString m_chosenTestPath;
    QByteArray m_chosenBytes;
    bool m_scoresModified = false;
};

extern TfWyniki *fWyniki;
class TfImport;
extern TfImport *fImport;
