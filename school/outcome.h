// What an operation of the school session has to tell the teacher, for the window to say.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <exception>

// One thing to tell the teacher, in the order the operation met it.
struct Notice {
    enum class Kind { Message, FileError };
    Kind kind = Kind::Message;
    QString text;
    bool operator==(const Notice &) const = default;
};

// What an operation did: ok when it did all it set out to do, and what it has to say.
struct Outcome {
    bool ok = true;
    QList<Notice> notices;
    // An error that ended the operation after what notices say; the window shows it last.
    std::exception_ptr error;
    // Nothing was written: another computer (or window) saved these results since they were read.
    // The question to ask the teacher, who then loads them or keeps this page's.
    QString savedElsewhere;

    void message(const QString &text) { notices.append({Notice::Kind::Message, text}); }
    void fileError(const QString &text) { notices.append({Notice::Kind::FileError, text}); }
    // Notices of a step, after this one's own.
    void append(const Outcome &step) { notices += step.notices; }
};

// "Nie mogę zapisać pliku!", and when more files than one were not written, which of them.
QString cannotWriteText(const QStringList &names);
