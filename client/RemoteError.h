#pragma once

#include <QString>
#include <exception>

namespace Remote {

// An error that a command of the main program raised, with the model's number and its exact
// description, or one of the client's own (the program not reachable).
class Error : public std::exception
{
public:
    // The model's refusals (a duplicate auction, the last category, a page that is no item page).
    static constexpr qint32 Refused = 11;
    // The main program is not running or did not answer; the client is binding again.
    static constexpr qint32 NotRunning = 462;
    // The text of NotRunning.
    static QString notRunningText();
    // The text of NotRunning when the program is there but its answer did not come in time.
    static QString noAnswerText();

    Error(qint32 number, QString description);

    qint32 number() const { return m_number; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    qint32 m_number;
    QString m_description;
    QByteArray m_what;
};

} // namespace Remote
