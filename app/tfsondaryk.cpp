#include "app/tfsondaryk.h"

#include "app/instanceguard.h"
#include "ui/fixedwindow.h"
#include "ui/guarded.h"
#include "ui/helpviewer.h"
#include "ui/messages.h"
#include "ui_tfsondaryk.h"
#include "workbook/tfwyniki.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QShortcut>

TfSondaryk *fSondaryk = nullptr;

TfSondaryk::TfSondaryk(QWidget *parent)
    : QWidget(parent, fixedWindowFlags), ui(std::make_unique<Ui::TfSondaryk>()),
      // Taken from the current directory at start, not from where the program lies.
      m_helpFilePath(QDir::currentPath() + QStringLiteral("/Pomoc/Pomoc.html"))
{
    ui->setupUi(this);
    setFixedSize(241, 218);
    move(361, 237);
    setAttribute(Qt::WA_QuitOnClose);
    QFont footer = ui->StaticText1->font();
    ui->StaticText1->setFont(footer);
    connect(ui->bPomoc, &QPushButton::clicked, this, [this] { guarded([this] { bPomocClick(); }); });
    connect(ui->bWyniki, &QPushButton::clicked, this, [this] { guarded([this] { bWynikiClick(); }); });
    connect(ui->bKoniec, &QPushButton::clicked, this, [this] { guarded([this] { bKoniecClick(); }); });
    // F1 asks for help here as in the workbook.
    auto *help = new QShortcut(QKeySequence::HelpContents, ui->bPomoc);
    connect(help, &QShortcut::activated, ui->bPomoc, &QPushButton::click);
}

TfSondaryk::~TfSondaryk() = default;

bool TfSondaryk::FormCreate()
{
    m_guard = std::make_unique<InstanceGuard>(instanceGuardName());
    if (m_guard->anotherInstanceRuns()) {
        messages::showMessage(QStringLiteral("Ten program jest już uruchomiony!"));
        return false;
    }
    return true;
}

QString startHelpPath(const QString &currentDirectoryHelp, const QString &programDirectory)
{
    if (QFileInfo(currentDirectoryHelp).isFile())
        return currentDirectoryHelp;
    const QString beside = programDirectory + QStringLiteral("/Pomoc/Pomoc.html");
    return QFileInfo(beside).isFile() ? beside : currentDirectoryHelp;
}

void TfSondaryk::bPomocClick()
{
    // Started from a terminal elsewhere, the help still lies beside the program.
    showHelpTopic(this, startHelpPath(m_helpFilePath, QCoreApplication::applicationDirPath()),
                  QStringLiteral("IDH_MAIN"));
}

int runSondaryk(QApplication &application)
{
    int exitCode = 0;
    guarded([&] {
        fSondaryk = new TfSondaryk;
        if (!fSondaryk->FormCreate())
            return;
        fSondaryk->show();
        exitCode = application.exec();
    });
    delete fSondaryk;
    fSondaryk = nullptr;
    return exitCode;
}

void TfSondaryk::bWynikiClick()
{
    // Each press starts from a fresh workbook; the one closed before is no longer needed.
    delete fWyniki;
    fWyniki = nullptr;
    fWyniki = new TfWyniki(this);
    fWyniki->exec();
}

void TfSondaryk::bKoniecClick()
{
    close();
}
