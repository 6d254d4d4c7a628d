#include "NetDetector.h"

#include "SiteEndpoints.h"

#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

bool hasAnswer(const QNetworkReply* reply)
{
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
}

} // namespace

NetDetector::NetDetector(QObject* parent) : QObject(parent)
{
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(DefaultTimeoutMs);
    connect(&m_timeout, &QTimer::timeout, this, [this] { probeEnded(m_reply, false); });
}

void NetDetector::start()
{
    if (isRunning())
        return;
    m_addresses = {SiteEndpoints::base(SiteEndpoints::NetTest1), SiteEndpoints::base(SiteEndpoints::NetTest2),
                   SiteEndpoints::base(SiteEndpoints::NetTest3)};
    probe(0);
}

void NetDetector::probe(int index)
{
    if (index >= m_addresses.size()) {
        m_index = -1;
        Q_EMIT finished(false);
        return;
    }
    m_index = index;
    QNetworkRequest request(m_addresses.at(index));
    // Always from the server, nothing kept, and a redirect is an answer like any other.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Auction Orv"));
    QNetworkReply* reply = m_network.get(request);
    m_reply = reply;
    // The headers are enough: the test does not wait for the page.
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        if (hasAnswer(reply))
            probeEnded(reply, true);
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { probeEnded(reply, hasAnswer(reply)); });
    m_timeout.start();
}

void NetDetector::probeEnded(QNetworkReply* reply, bool answered)
{
    if (!reply || reply != m_reply)
        return;
    m_timeout.stop();
    m_reply = nullptr;
    disconnect(reply, nullptr, this, nullptr);
    // Deleted later rather than aborted: an abort from inside the reply's own signal makes the network
    // layer report it twice.
    reply->deleteLater();
    if (answered) {
        m_index = -1;
        Q_EMIT finished(true);
    } else {
        probe(m_index + 1);
    }
}
