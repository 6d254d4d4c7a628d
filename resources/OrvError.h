#pragma once

#include <QString>
#include <exception>

// The one error type of the system: a number, the place that raised it and a text for the user.
class OrvError : public std::exception
{
public:
    // Refusals of the model and the engine (a duplicate auction, the last category, ...).
    static constexpr qint32 Refused = 11;
    // A lookup of a key that the collection does not hold.
    static constexpr qint32 InvalidArgument = 5;

    OrvError(qint32 number, QString source, QString description);

    qint32 number() const { return m_number; }
    const QString& source() const { return m_source; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

    static OrvError refused(const QString& source, const QString& description)
    {
        return OrvError(Refused, source, description);
    }

private:
    qint32 m_number;
    QString m_source;
    QString m_description;
    QByteArray m_what;
};
