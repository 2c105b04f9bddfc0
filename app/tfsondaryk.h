// The start window: Help, Results and End.
#pragma once

#include <QWidget>
#include <memory>

class InstanceGuard;

namespace Ui {
class TfSondaryk;
}

class TfSondaryk : public QWidget
{
    Q_OBJECT

public:
    explicit TfSondaryk(QWidget *parent = nullptr);
    ~TfSondaryk() override;

    // Runs the single-instance guard; false when another copy already runs (it has been said).
    bool FormCreate();

    QString helpFilePath() const { return m_helpFilePath; }

    void bPomocClick();
    void bWynikiClick();
    void bKoniecClick();

private:
    std::unique_ptr<Ui::TfSondaryk> ui;
    std::unique_ptr<InstanceGuard> m_guard;
    QString m_helpFilePath;
};

extern TfSondaryk *fSondaryk;

class QApplication;

// The help file the start window's Pomoc shows: the one under the current directory at start, as
// ever, or else the one in the program's own folder; the first when neither exists.
QString startHelpPath(const QString &currentDirectoryHelp, const QString &programDirectory);

// The program: the start window with its single-instance guard, then the event loop. Returns the
// loop's exit code, or 0 when another copy already runs.
int runSondaryk(QApplication &application);
