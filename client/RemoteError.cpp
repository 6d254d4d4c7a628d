#include "RemoteError.h"

#include <utility>

namespace Remote {

QString Error::notRunningText()
{
    return QStringLiteral("Auction Orv is not running.  It is being started; please try again in a moment.");
}

QString Error::noAnswerText()
{
    return QStringLiteral("Auction Orv did not answer in time.  Please try again in a moment.");
}

Error::Error(qint32 number, QString description)
    : m_number(number), m_description(std::move(description)), m_what(m_description.toUtf8())
{
}

} // namespace Remote
