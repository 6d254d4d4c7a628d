#include "ClockUpdater2.h"

#include "DateTimes.h"
#include "ItemPage.h"
#include "SiteEndpoints.h"
#include "TextForms.h"

#include <QTcpSocket>
#include <QUrl>

namespace {

constexpr int daytimePort = 13;
// Larger fields name no time of this era; they are refused before any date arithmetic.
constexpr qint64 largestField = 1'000'000;

// One field of the line by the leading-number rule of the item pages, rounded to a whole number; -1 when
// it is out of range.
int wholeField(QString text)
{
    const qint64 value = TextForms::roundHalfEven(ItemPage::fnNumber(text));
    return value > largestField ? -1 : static_cast<int>(value);
}

} // namespace

ClockUpdater2::ClockUpdater2(QObject* parent) : ClockUpdater(parent)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        const QString address =
            m_socket ? QStringLiteral("%1:%2").arg(m_socket->peerName()).arg(m_socket->peerPort())
                     : QString();
        fetchFailed(
            QStringLiteral("No answer within %1 seconds from %2").arg(m_timeoutMs / 1000.0).arg(address));
    });
}

ClockUpdater2::~ClockUpdater2()
{
    releaseFetch();
}

void ClockUpdater2::startFetch()
{
    const QUrl service = SiteEndpoints::base(SiteEndpoints::Daytime);
    m_received.clear();
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::readyRead, this, [this] { m_received += m_socket->readAll(); });
    // The service closes the connection once the line is sent: that is the end of the reading.
    connect(m_socket, &QTcpSocket::disconnected, this, [this] {
        m_received += m_socket->readAll();
        fetchComplete(QString::fromLatin1(m_received));
    });
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error != QAbstractSocket::RemoteHostClosedError)
            fetchFailed(m_socket->errorString());
    });
    m_socket->connectToHost(service.host(), static_cast<quint16>(service.port(daytimePort)));
    m_deadline.start(m_timeoutMs);
}

void ClockUpdater2::releaseFetch()
{
    m_deadline.stop();
    if (!m_socket)
        return;
    QTcpSocket* socket = m_socket;
    m_socket = nullptr;
    // Disconnect first: abort() reports the end at once.
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

bool ClockUpdater2::parse(const QString& data)
{
    return ParseDaytime(data);
}

bool ClockUpdater2::ParseDaytime(const QString& line)
{
    const QStringList fields = line.split(QLatin1Char(' '));
    if (fields.size() < 3)
        throw parseError();
    const QStringList date = fields.at(1).split(QLatin1Char('-'));
    const QStringList time = fields.at(2).split(QLatin1Char(':'));
    if (date.size() < 3 || time.size() < 3)
        throw parseError();

    int parts[6] = {};
    for (int i = 0; i < 3; ++i) {
        parts[i] = wholeField(date.at(i));
        parts[3 + i] = wholeField(time.at(i));
    }
    for (int part : parts) {
        if (part < 0)
            throw parseError();
    }
    auto [year, month, dayOfMonth, hours, minutes, secs] = parts;
    if (year < 30)
        year += 2000;
    else if (year < 100)
        year += 1900;
    if (year > 9999)
        throw parseError();
    // Months and days beyond their range carry over, as a date built from its parts does.
    const QDate day = QDate(year, 1, 1).addMonths(month - 1).addDays(dayOfMonth - 1);
    const qint64 seconds = 3600LL * hours + 60LL * minutes + secs;
    const QDateTime value = DateTimes::naive(day).addSecs(seconds);
    if (!day.isValid() || DateTimes::isZero(value))
        throw parseError();
    setTime(value);
    return true;
}
