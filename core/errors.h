// Errors that end the operation in progress; the window that started it shows the message.
#pragma once

#include <QString>
#include <stdexcept>

class SondarykError : public std::runtime_error
{
public:
    explicit SondarykError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

// A text that is no whole number where one is needed.
class ConvertError : public SondarykError
{
public:
    explicit ConvertError(const QString &text)
        : SondarykError(QStringLiteral("'%1' is not a valid integer value").arg(text))
    {}
};

// 0 / 0 and other operations without a result.
class InvalidFloatOperation : public SondarykError
{
public:
    InvalidFloatOperation() : SondarykError(QStringLiteral("Invalid floating point operation")) {}
};

// A non-zero number divided by zero.
class FloatDivisionByZero : public SondarykError
{
public:
    FloatDivisionByZero() : SondarykError(QStringLiteral("Floating point division by zero")) {}
};
