// The results workbook: the setup page, one page per class and the school page, with two grids
// shared by all pages. It shows what its school session holds, hands the teacher's edits back and
// says what the session's operations tell.
#pragma once

#include "charts/chartcatalogue.h"
#include "school/schoolsession.h"

#include <QByteArray>
#include <QDialog>
#include <QRect>
#include <memory>
#include <optional>

class QPainter;
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

    // The school, its test and its classes' sheets, below the window.
    SchoolSession &session() { return m_session; }
    const SchoolSession &session() const { return m_session; }
    // 0 the setup page, then the class pages, last the school page.
    int currentPage() const { return m_currentPage; }
    // The number of classes on the setup page (1 to 25).
    qint32 classCount() const { return m_typedClassCount; }

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

    // Analysis of the class in view, or of the whole school on the school page.
    void sbAnalizaClick();
    // A class's results from a CSV file, through a preview.
    void sbImportujClick();

    // Open and Save
    void sbOtworzClick();
    void sbZapiszClick();

    // Compute
    void bObliczClick();

    // Navigation
    void bDalejClick();
    void bWsteczClick();
    void pcWynikiChange();
    void updatePageControls();
    void resetGrid(StringGrid *grid, int columns, int rows, int width);
    void layoutGridHeaders(int mode);

    void tabela1DrawCell(QPainter *painter, int col, int row, const QRect &rect);
    void tabela2DrawCell(QPainter *painter, int col, int row, const QRect &rect);

    qint32 cellAsInteger(StringGrid *grid, int col, int row) const;

    // Typed points not yet written to the class's answers file.
    bool scoresModified() const;
    // Before a class page is left: asks whether to save unsaved points. False means stay.
    bool confirmLeavingPage();

    // Every cell's text, row by row.
    static GridRows contentsOf(const StringGrid *grid);

private:
    void setUpConnections();
    void setUpShortcuts();
    void layOutSetupPage();
    // The window for the school the session has just opened; nothing is written.
    void showOpenedSchool();
    // Says what an operation told, in order, and then the error that ended it, if any.
    void tell(const Outcome &outcome) const;
    // Another computer saved the page's files since they were read: the teacher loads them (the
    // page is built anew) or keeps this page's, and the step is made again. Nullopt when nothing
    // more is to be done.
    template <typename Result, typename Step> std::optional<Result> overOtherSaves(Step step);
    // Someone else is typing the class just loaded: read it only, or take it over.
    void askAboutTypingElsewhere(int classIndex);
    // Akceptuj into a folder that holds a school's files: open it or only replace its Szkola.ini.
    void acceptIntoExistingSchool(const QString &folder, const SchoolSetup &setup,
                                  const QList<qint32> &counts);
    // The class list as typed on the setup page.
    SchoolSetup typedSetup() const;
    void readSchoolFile();
    void showTestAndSchool();
    // The program's Setup.ini and the user's own tests, in the choice "Test:".
    void fillTestChoice();
    // A page whose file does not fit the test is left empty and locked; says why, once.
    void showPageBlock();
    void goToPage(int index);
    void buildClassPage(int page);
    void buildSetupPage();
    void buildSchoolPage();
    void showClassSheets(int classIndex);
    // The session's cells into a grid laid out for them.
    static void showRows(StringGrid *grid, const GridRows &rows);
    // The teacher's edits of the page in view handed to the session.
    void takeTypedScores();
    void showSummary(bool visible);
    // The caption above the upper grid grows with its text, like a self-sizing static text.
    void setStatic1(const QString &caption);
    void showLocation();
    bool isSchoolPage(int index) const { return index != 0 && index == pageCount() - 1; }
    bool isClassPage(int index) const { return index != 0 && index != pageCount() - 1; }
    int classInView() const { return m_currentPage - 1; }
    // Closing the window (its close box or Escape) asks about unsaved points first.
    void reject() override;

    std::unique_ptr<Ui::TfWyniki> ui;
    SchoolSession m_session;
    // The "Test:" choice: the test file chosen last, or a test defined in "Definicja testu" and not
    // saved to a file.
    QString m_chosenTest;
    std::optional<QByteArray> m_definedTest;
    int m_currentPage = 0;
    // The class count of the setup page's edit.
    qint32 m_typedClassCount = 0;
    bool m_changingPage = false;
    // Typed or pasted since the session last took the sheet.
    bool m_edited = false;
};

extern TfWyniki *fWyniki;
class TfImport;
extern TfImport *fImport;
