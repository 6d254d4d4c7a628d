#include "RemoteClock.h"

#include "RemoteAuctionRecord.h"
#include "RemoteBackend.h"

namespace Remote {

Clock::Clock(Backend& backend, QObject* parent)
    : QObject(parent), m_backend(backend), m_utcNow([] { return QDateTime::currentDateTimeUtc(); })
{
}

QDateTime Clock::Time() const
{
    const QDateTime utc = m_utcNow();
    const QDateTime nextChange =
        QDateTime::fromString(m_fields.value(QStringLiteral("NextChange")).toString(), Qt::ISODate);
    const bool changed = nextChange.isValid() && utc >= nextChange;
    const qint64 offset =
        m_fields.value(changed ? QStringLiteral("NextUtcOffset") : QStringLiteral("UtcOffset")).toLongLong();
    const QDateTime site = utc.addSecs(offset);
    return QDateTime(site.date(), site.time(), Qt::UTC);
}

QDateTime Clock::LastUpdated() const
{
    return AuctionRecord::dateFromValue(m_fields.value(QStringLiteral("LastUpdated")));
}

void Clock::show()
{
    m_backend.call(QStringLiteral("Clock"), QStringLiteral("show"));
}

void Clock::Download()
{
    m_backend.call(QStringLiteral("Clock"), QStringLiteral("Download"));
}

void Clock::setUtcSource(std::function<QDateTime()> utcNow)
{
    m_utcNow = std::move(utcNow);
}

void Clock::reset(const QVariantMap& fields)
{
    m_fields = fields;
    m_state = sfRunState(fields.value(QStringLiteral("State")).toInt());
    m_status = fields.value(QStringLiteral("Status")).toString();
    Q_EMIT Updated();
}

void Clock::takeStatus(const QString& text)
{
    m_status = text;
    Q_EMIT StatusChange(text);
}

void Clock::takeState(int state)
{
    m_state = sfRunState(state);
    Q_EMIT StateChanged(state);
}

} // namespace Remote
