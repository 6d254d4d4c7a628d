#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QNetworkReply;

// Fetches one web address in the background and reports the body or a failure by signal. One object per
// request: DownloadURL returns at once, and exactly one of Complete or ErrOccured follows, always later
// from the event loop. Deleting the object (or calling DownloadURL again) ends all signals of the
// request under way. A request is a plain GET: no cache, no cookies, no credentials; redirects are
// followed, and a request that takes longer than the time-out, or whose body grows beyond
// MaxBodyBytes, fails.
class Downloader : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultTimeoutMs = 60'000;
    // No page the program reads comes near this; an endless answer is cut off here.
    static constexpr qint64 MaxBodyBytes = 8 * 1024 * 1024;

    explicit Downloader(QObject* parent = nullptr);
    ~Downloader() override;

    void DownloadURL(const QString& url);
    // The body of the last completed fetch.
    const QString& Data() const { return m_data; }

    // From the start of a fetch to its end; applies from the next DownloadURL on.
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

Q_SIGNALS:
    void Complete(const QString& data);
    void ErrOccured(const QString& message);

private:
    void finished();
    void timedOut();
    void release();
    // Takes what has arrived into the body; false (and the request failed) once it is too large.
    bool takeArrived();
    void checkDeclaredSize();
    void failTooLarge();

    QNetworkReply* m_reply = nullptr;
    QTimer m_deadline;
    QByteArray m_body;
    QString m_data;
    int m_timeoutMs = DefaultTimeoutMs;
    quint64 m_request = 0;
};
