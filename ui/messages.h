// Every message box of the program goes through here, so that tests can read what was shown and
// answer it without a modal box ever waiting for a person.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace messages {

enum class Kind { Plain, FileError, Error, Question };

struct Message {
    Kind kind;
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons;
    // The words on Yes and No when the question names its own choices; empty for the usual ones.
    QString yesText = {};
    QString noText = {};
};

// Shows the message and returns the button pressed. Replaced by tests.
using Presenter = std::function<QMessageBox::StandardButton(const Message &)>;

// Installs a presenter and returns the previous one; an empty presenter restores the real boxes.
Presenter setPresenter(Presenter presenter);

QString programName();

// The program's own notices: a plain box with OK, captioned with the program's name.
void showMessage(const QString &text);
// A file that cannot be written or read: caption "File Error", OK and Cancel (the answer is unused).
void showFileError(const QString &text);
// "Nie mogę zapisać pliku!", and when more files than one were not written, which of them: one
// message for a whole operation, so that a full disk is said once.
QString cannotWriteMessage(const QStringList &names);
// The standard display of an error that ended an operation.
void showError(const QString &text);
// A question with Tak, Nie and Anuluj.
QMessageBox::StandardButton askYesNoCancel(const QString &text);
// A question whose choices have their own words, and Anuluj: Yes is the first choice, No the second;
// a choice without words is left out.
QMessageBox::StandardButton askChoice(const QString &text, const QString &yesText, const QString &noText);

} // namespace messages
