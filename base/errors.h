// The exception types that end a handler. Whatever a handler does not catch is
// shown by the general error box with what(), so every text here is meant for
// the user and carries the platform's or the engine's own message.
#pragma once

#include <exception>
#include <QByteArray>
#include <QString>

class AppError : public std::exception
{
  public:
    explicit AppError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8())
    {
    }
    const char *what() const noexcept override { return m_utf8.constData(); }
    const QString &message() const { return m_message; }
    // The name shown in messages that name an error's kind.
    virtual QString typeName() const { return QStringLiteral("AppError"); }

  private:
    QString m_message;
    QByteArray m_utf8;
};

// A failed database call. message() is the text for the user; engineText() the
// engine's own message, which some save messages quote after their own text.
class DbError : public AppError
{
  public:
    DbError(QString message, QString engineText, int code)
        : AppError(std::move(message)), m_engineText(std::move(engineText)), m_code(code)
    {
    }
    const QString &engineText() const { return m_engineText; }
    int code() const { return m_code; }
    QString typeName() const override { return QStringLiteral("DbError"); }

  private:
    QString m_engineText;
    int m_code;
};

// A text that should have been a number or a date.
class ConversionError : public AppError
{
  public:
    using AppError::AppError;
    QString typeName() const override { return QStringLiteral("ConversionError"); }
};

// A file that could not be read or written.
class IoError : public AppError
{
  public:
    using AppError::AppError;
    QString typeName() const override { return QStringLiteral("IoError"); }
};
