#include "ui/helpviewer.h"

#include "ui/messages.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

class HelpWindow : public QDialog
{
public:
    explicit HelpWindow(QWidget *owner) : QDialog(owner)
    {
        setObjectName(QStringLiteral("helpWindow"));
        setWindowTitle(QStringLiteral("Sondaryk - Pomoc"));
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowFlag(Qt::WindowMaximizeButtonHint);
        auto *layout = new QVBoxLayout(this);
        browser = new QTextBrowser(this);
        browser->setObjectName(QStringLiteral("helpBrowser"));
        browser->setOpenExternalLinks(false);
        browser->setAccessibleName(QStringLiteral("Treść pomocy"));
        layout->addWidget(browser);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
        QPushButton *close = buttons->button(QDialogButtonBox::Close);
        close->setAccessibleName(close->text().remove(QLatin1Char('&')));
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
        layout->addWidget(buttons);
        resize(640, 520);
    }
    QTextBrowser *browser = nullptr;
};

} // namespace

QString helpBesideProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Pomoc/Pomoc.html");
}

QWidget *showHelpTopic(QWidget *owner, const QString &helpFilePath, const QString &topic)
{
    const QFileInfo info(helpFilePath);
    if (!info.isFile() || !info.isReadable()) {
        messages::showMessage(QStringLiteral("Nie można otworzyć pliku pomocy:\n%1").arg(helpFilePath));
        return nullptr;
    }
    // One help window per owner: pressing Help again brings it forward at the topic.
    static QPointer<HelpWindow> window;
    if (!window || window->parentWidget() != owner)
        window = new HelpWindow(owner);
    QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    url.setFragment(topic);
    window->browser->setSource(url);
    window->browser->scrollToAnchor(topic);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
