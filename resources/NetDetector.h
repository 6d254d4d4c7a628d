#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QNetworkReply;

// The connection test: asks the three connection-test addresses (SiteEndpoints::NetTest1..3) in turn
// whether they answer. Any HTTP answer counts, whatever its status; the first one ends the walk and the
// remaining addresses are not asked. Each address gets a short time-out, and nothing ever waits on the
// calling thread: the result arrives later through `finished`.
class NetDetector : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultTimeoutMs = 3000;

    explicit NetDetector(QObject* parent = nullptr);

    int timeoutMs() const { return m_timeout.interval(); }
    void setTimeoutMs(int ms) { m_timeout.setInterval(ms); }
    bool isRunning() const { return m_index >= 0; }

    // Starts a walk over the addresses as they stand now; a call while a walk runs does nothing, and
    // that walk's result answers both.
    void start();

Q_SIGNALS:
    void finished(bool detected);

private:
    void probe(int index);
    void probeEnded(QNetworkReply* reply, bool answered);

    QNetworkAccessManager m_network;
    QList<QUrl> m_addresses;
    int m_index = -1;
    QPointer<QNetworkReply> m_reply;
    QTimer m_timeout;
};
