#include "Downloader.h"

#include "TimeSource.h"

#include <QHash>
#include <QHostAddress>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkInformation>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QStringDecoder>
#include <QThreadStorage>
#include <QUrl>
#include <array>
#include <utility>

namespace {

Q_LOGGING_CATEGORY(lcDownload, "orv.download")

// How long a proxy answer is kept: the network can change without the system saying so.
constexpr qint64 proxyAnswerLifetimeMs = 5 * 60 * 1000;
// How much of a body the network layer holds for us at a time, so that a huge answer waits in the
// socket instead of in memory until it is cut off.
constexpr qint64 readChunkBytes = 256 * 1024;

// Loopback addresses never go through a proxy; everything else follows the system's proxy settings.
// The system is asked once per scheme and host: its answer can take a proxy-script lookup, and the
// downloads start on the heartbeat's thread. The answers are forgotten when the network changes, and
// are kept a few minutes at most.
class DownloadProxyFactory : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        const QString host = query.peerHostName();
        if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
            QHostAddress(host).isLoopback())
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        const QString key = query.protocolTag() + QLatin1Char(' ') + host.toLower();
        const qint64 now = TimeSource::current().monotonicMs();
        auto known = m_known.find(key);
        if (known == m_known.end() || now < known->askedMs || now - known->askedMs >= proxyAnswerLifetimeMs)
            known = m_known.insert(key, {systemProxyForQuery(query), now});
        return known->proxies;
    }

    void forget() { m_known.clear(); }

private:
    struct Answer
    {
        QList<QNetworkProxy> proxies;
        qint64 askedMs = 0;
    };
    QHash<QString, Answer> m_known;
};

// Forgets the proxy answers whenever the system reports that the network came or went or changed its
// medium (wired, wireless, mobile).
void followNetworkChanges(QNetworkAccessManager* nam, DownloadProxyFactory* proxies)
{
    if (!QNetworkInformation::instance() &&
        !QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        qCWarning(lcDownload) << "no network information backend; proxy answers are kept"
                              << proxyAnswerLifetimeMs / 60000 << "minutes at most";
        return;
    }
    const QNetworkInformation* information = QNetworkInformation::instance();
    QObject::connect(information, &QNetworkInformation::reachabilityChanged, nam,
                     [proxies] { proxies->forget(); });
    QObject::connect(information, &QNetworkInformation::transportMediumChanged, nam,
                     [proxies] { proxies->forget(); });
}

// One manager per thread, deleted with its thread (for the main thread, with the application object).
QNetworkAccessManager& manager()
{
    static QThreadStorage<QNetworkAccessManager*> managers;
    if (!managers.hasLocalData()) {
        auto* nam = new QNetworkAccessManager;
        auto* proxies = new DownloadProxyFactory;
        nam->setProxyFactory(proxies);
        nam->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
        followNetworkChanges(nam, proxies);
        managers.setLocalData(nam);
    }
    return *managers.localData();
}

// The characters that Windows-1252 puts at 0x80..0x9F, where Latin-1 has control codes; 0 where it has
// none.
constexpr std::array<char16_t, 32> cp1252High{0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                              0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                              0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                              0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QString fromWindows1252(const QByteArray& bytes)
{
    QString text = QString::fromLatin1(bytes);
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80 && u <= 0x9F && cp1252High[u - 0x80] != 0)
            c = QChar(cp1252High[u - 0x80]);
    }
    return text;
}

QByteArray charsetOf(const QByteArray& contentType)
{
    for (const QByteArray& part : contentType.split(';')) {
        const QByteArray p = part.trimmed();
        if (p.toLower().startsWith("charset="))
            return p.mid(8).trimmed().replace('"', QByteArray()).replace('\'', QByteArray());
    }
    return {};
}

// The declared character set when it is a Unicode one; otherwise valid UTF-8 is taken as UTF-8 and
// anything else as Windows-1252, which keeps byte 0xA0 a non-breaking space.
QString decodeBody(const QByteArray& body, const QByteArray& contentType)
{
    const QByteArray charset = charsetOf(contentType);
    if (!charset.isEmpty()) {
        const auto encoding = QStringConverter::encodingForName(charset.constData());
        if (encoding && *encoding != QStringConverter::Latin1 && *encoding != QStringConverter::System) {
            QStringDecoder decoder(*encoding);
            return decoder.decode(body);
        }
    } else {
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString text = utf8.decode(body);
        if (!utf8.hasError())
            return text;
    }
    return fromWindows1252(body);
}

QString oneLine(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text.simplified();
}

} // namespace

Downloader::Downloader(QObject* parent) : QObject(parent)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &Downloader::timedOut);
}

Downloader::~Downloader()
{
    release();
}

void Downloader::DownloadURL(const QString& url)
{
    release();
    const quint64 request = ++m_request;
    const QUrl address(url.trimmed(), QUrl::TolerantMode);
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || address.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        // Reported from the event loop like every other outcome, never from inside this call.
        const QString message = QStringLiteral("Invalid web address: ") + oneLine(url);
        QTimer::singleShot(0, this, [this, request, message] {
            if (request == m_request)
                Q_EMIT ErrOccured(message);
        });
        return;
    }

    QNetworkRequest get(address);
    get.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    get.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    get.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    get.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    get.setAttribute(QNetworkRequest::AuthenticationReuseAttribute, QNetworkRequest::Manual);
    get.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    m_reply = manager().get(get);
    m_reply->setReadBufferSize(readChunkBytes);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &Downloader::checkDeclaredSize);
    connect(m_reply, &QNetworkReply::readyRead, this, &Downloader::takeArrived);
    connect(m_reply, &QNetworkReply::finished, this, &Downloader::finished);
    m_deadline.start(m_timeoutMs);
}

void Downloader::finished()
{
    if (!takeArrived())
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    m_deadline.stop();
    reply->deleteLater();
    const QByteArray body = std::exchange(m_body, QByteArray());
    if (reply->error() != QNetworkReply::NoError) {
        Q_EMIT ErrOccured(oneLine(reply->errorString()));
        return;
    }
    m_data = decodeBody(body, reply->header(QNetworkRequest::ContentTypeHeader).toByteArray());
    Q_EMIT Complete(m_data);
}

bool Downloader::takeArrived()
{
    if (!m_reply)
        return false;
    m_body += m_reply->readAll();
    if (m_body.size() <= MaxBodyBytes)
        return true;
    failTooLarge();
    return false;
}

void Downloader::checkDeclaredSize()
{
    if (!m_reply)
        return;
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > MaxBodyBytes)
        failTooLarge();
}

void Downloader::failTooLarge()
{
    const QString address = m_reply->url().toString();
    release();
    Q_EMIT ErrOccured(QStringLiteral("The answer from %1 is larger than %2 MB; the download was cut off.")
                          .arg(address)
                          .arg(MaxBodyBytes / (1024 * 1024)));
}

void Downloader::timedOut()
{
    if (!m_reply)
        return;
    const QString address = m_reply->request().url().toString();
    release();
    Q_EMIT ErrOccured(
        QStringLiteral("No answer within %1 seconds from %2").arg(m_timeoutMs / 1000.0).arg(address));
}

void Downloader::release()
{
    m_deadline.stop();
    m_body = QByteArray();
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    // Disconnect first: abort() reports the end synchronously.
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}
