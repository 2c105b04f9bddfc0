// Records every message box the program would show and answers it, so no test waits on a dialog.
#pragma once

#include "ui/messages.h"

#include <QList>
#include <QStringList>

class MessageRecorder
{
public:
    MessageRecorder()
    {
        m_previous = messages::setPresenter([this](const messages::Message &message) {
            shown.append(message);
            if (!answers.isEmpty())
                return answers.takeFirst();
            return message.buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Cancel;
        });
    }
    ~MessageRecorder() { messages::setPresenter(m_previous); }
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    QStringList texts() const
    {
        QStringList result;
        for (const auto &message : shown)
            result.append(message.text);
        return result;
    }
    void clear() { shown.clear(); }

    QList<messages::Message> shown;
    // The next answers to give, in order; OK (or Cancel) when none is left.
    QList<QMessageBox::StandardButton> answers;

private:
    messages::Presenter m_previous;
};
