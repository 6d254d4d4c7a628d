#pragma once

#include <QString>
#include <exception>

// The one error type of the system: a number, the place that raised it and a text for the user.
class OrvError : public std::exception
{
public:
    // The numbers in use. Refusals of the model and the engine (a duplicate auction, the last category).
    static constexpr qint32 Refused = 11;
    // An argument that the call cannot take: a key that the collection does not hold, a name that is no
    // XML name, a text position before the text.
    static constexpr qint32 InvalidArgument = 5;
    // A number too large for its field.
    static constexpr qint32 Overflow = 6;
    static constexpr qint32 OutOfMemory = 7;
    // A file that could not be written.
    static constexpr qint32 FileAccess = 75;
    // A call that needs an object (a current element) that is not there.
    static constexpr qint32 ObjectNotSet = 91;

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
