#include "RemoteClock.h"

#include "RemoteBackend.h"

namespace Remote {

Clock::Clock(Backend& backend, QObject* parent)
    : QObject(parent), m_backend(backend), m_utcNow([] { return QDateTime::currentDateTimeUtc(); })
{
}

QDateTime Clock::Time() const
{
    const QDateTime utc = m_utcNow();
    const bool changed = m_record.NextChange.isValid() && utc >= m_record.NextChange;
    const qint64 offset = changed ? m_record.NextUtcOffset : m_record.UtcOffset;
    const QDateTime site = utc.addSecs(offset);
    return QDateTime(site.date(), site.time(), Qt::UTC);
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
    reset(Bus::ClockRecord::fromMap(fields));
}

void Clock::reset(const Bus::ClockRecord& record)
{
    m_record = record;
    m_state = sfRunState(record.State);
    m_status = record.Status;
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
