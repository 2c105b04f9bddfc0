#include "ui/messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QWidget>

namespace messages {
namespace {

Presenter &currentPresenter()
{
    static Presenter presenter;
    return presenter;
}

QMessageBox::StandardButton showBox(const Message &message)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (message.kind) {
    case Kind::Plain:
        icon = QMessageBox::NoIcon;
        break;
    case Kind::FileError:
        icon = QMessageBox::Warning;
        break;
    case Kind::Error:
        icon = QMessageBox::Critical;
        break;
    case Kind::Question:
        icon = QMessageBox::Question;
        break;
    }
    QMessageBox box(icon, message.caption, message.text, message.buttons, QApplication::activeWindow());
    if (message.buttons & QMessageBox::Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    if (!message.yesText.isEmpty() && box.button(QMessageBox::Yes))
        box.button(QMessageBox::Yes)->setText(message.yesText);
    if (!message.noText.isEmpty() && box.button(QMessageBox::No))
        box.button(QMessageBox::No)->setText(message.noText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton present(Kind kind, const QString &caption, const QString &text,
                                    QMessageBox::StandardButtons buttons, const QString &yesText = {},
                                    const QString &noText = {})
{
    const Message message{kind, caption, text, buttons, yesText, noText};
    if (currentPresenter())
        return currentPresenter()(message);
    return showBox(message);
}

} // namespace

Presenter setPresenter(Presenter presenter)
{
    Presenter previous = std::move(currentPresenter());
    currentPresenter() = std::move(presenter);
    return previous;
}

QString programName()
{
    return QStringLiteral("Sondaryk");
}

void showMessage(const QString &text)
{
    present(Kind::Plain, programName(), text, QMessageBox::Ok);
}

void showFileError(const QString &text)
{
    present(Kind::FileError, QStringLiteral("File Error"), text, QMessageBox::Ok | QMessageBox::Cancel);
}

QString cannotWriteMessage(const QStringList &names)
{
    const QString cannotWrite = QStringLiteral("Nie mogę zapisać pliku!");
    if (names.size() <= 1)
        return cannotWrite;
    return cannotWrite + QStringLiteral(" Nie zapisano: %1.").arg(names.join(QStringLiteral(", ")));
}

void showError(const QString &text)
{
    present(Kind::Error, programName(), text, QMessageBox::Ok);
}

QMessageBox::StandardButton askYesNoCancel(const QString &text)
{
    return present(Kind::Question, programName(), text,
                   QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

QMessageBox::StandardButton askChoice(const QString &text, const QString &yesText, const QString &noText)
{
    QMessageBox::StandardButtons buttons = QMessageBox::Cancel;
    if (!yesText.isEmpty())
        buttons |= QMessageBox::Yes;
    if (!noText.isEmpty())
        buttons |= QMessageBox::No;
    return present(Kind::Question, programName(), text, buttons, yesText, noText);
}

} // namespace messages
