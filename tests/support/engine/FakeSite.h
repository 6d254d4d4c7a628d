#pragma once

#include "SiteEndpoints.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QUrlQuery>
#include <functional>
#include <optional>

class QTcpServer;

// A loopback auction site for tests: a small HTTP/1.1 server inside the test process, on its event
// loop, with one listening port on 127.0.0.1 for each site role (item host, sign-in host, bid host,
// time host, maker host). A request is routed by its role and target (path and query) to a handler that
// the test sets; the item host serves item pages by item number. Every request is recorded.
//
//     FakeSite site;
//     QVERIFY(site.listen());
//     site.exportEnvironment();                       // the system now talks to the fake hosts
//     site.setItemPage("123", FakeSite::Response::page(FakeSite::fixture("item.html")));
//     site.setHandler(SiteEndpoints::SignIn, "/ws/eBayISAPI.dll?SignIn", [](const FakeSite::Request& r) {
//         return FakeSite::Response::page("<html>...</html>").withCookie("session=1; Path=/");
//     });
class FakeSite : public QObject
{
    Q_OBJECT
public:
    // A role is the endpoint whose host it stands in for.
    using Role = SiteEndpoints::Endpoint;

    struct Request
    {
        Role role = SiteEndpoints::ItemPage;
        QByteArray method;                    // "GET", "POST"
        QString target;                       // path and query as sent: "/ws/eBayISAPI.dll?ViewItem&item=1"
        QString path;                         // the target without its query
        QUrlQuery query;                      // the target's query
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QMap<QString, QString> cookies;       // from the Cookie header
        QByteArray body;
        QMap<QString, QString> form; // the fields of a form-encoded body
        qint64 receivedMs = 0;       // QDateTime::currentMSecsSinceEpoch() on arrival
        QDateTime receivedLocal;     // TimeSource::current().localNow() on arrival

        QByteArray header(const QByteArray& name) const { return headers.value(name.toLower()); }
    };

    struct Response
    {
        enum Kind
        {
            Answer,  // a normal HTTP response
            Drop,    // close the connection without an answer
            Garbage, // send bytes that are no HTTP response, then close
            Hang,    // never answer, until the test calls release()
            Stream   // a body of streamBytes bytes, made up as the connection takes it, never held whole
        };
        Kind kind = Answer;
        int status = 200;
        QByteArray contentType = "text/html; charset=utf-8";
        QByteArray body;
        QList<QByteArray> setCookies;                     // one Set-Cookie header each
        QList<std::pair<QByteArray, QByteArray>> headers; // further headers, e.g. Location
        int delayMs = 0;                                  // answer (or drop) this much later, by a timer
        qint64 streamBytes = 0;                           // Stream: the body's length
        bool chunked = false;                             // Stream: chunked, without a Content-Length

        static Response page(const QByteArray& html, int status = 200);
        static Response error(int status); // a short HTML page with that status
        static Response redirect(const QString& location, int status = 302);
        static Response drop();
        static Response garbage();
        static Response hang();
        // An HTML body of `bytes` bytes sent as fast as the client reads it; `chunked` leaves its length
        // unsaid.
        static Response stream(qint64 bytes, bool chunked);

        Response delayed(int ms) const;
        Response withCookie(const QByteArray& setCookie) const;
        Response withHeader(const QByteArray& name, const QByteArray& value) const;
    };

    using Handler = std::function<Response(const Request&)>;

    explicit FakeSite(QObject* parent = nullptr);
    ~FakeSite() override;

    // Listens on a fresh loopback port for each role; false when one of them cannot listen.
    bool listen(const QList<Role>& roles = {SiteEndpoints::ItemPage, SiteEndpoints::SignIn,
                                            SiteEndpoints::Bid, SiteEndpoints::TimePage,
                                            SiteEndpoints::Maker});
    // Listens for one role on another loopback address (127.0.0.2, ...), on `port` or a fresh one.
    bool listenAt(Role role, const QHostAddress& address, quint16 port = 0);
    // "http://127.0.0.1:<port>" of a listening role; empty for another.
    QUrl baseUrl(Role role) const;
    // Points each listening role's SiteEndpoints variable at its base URL; the previous values come back
    // when the site is destroyed.
    void exportEnvironment();

    // The handler for one target of a role: `target` is a path and query matched exactly, or a path
    // alone, which matches whatever the query. The exact target wins over the path.
    void setHandler(Role role, const QString& target, Handler handler);
    // What a role answers when no handler matches. Without one, the item host serves item pages (below)
    // and the other hosts answer 404. An empty handler restores that.
    void setDefaultHandler(Role role, Handler handler);
    // What the item host answers to "/ws/eBayISAPI.dll?ViewItem&item=<item>"; an unknown item gets 404.
    void setItemPage(const QString& item, const Response& response);
    // The bytes of tests/fixtures/<name>; empty (and a test warning) when it cannot be read.
    static QByteArray fixture(const QString& name);

    const QList<Request>& requests() const { return m_requests; }
    QList<Request> requests(Role role) const;
    void clearRequests() { m_requests.clear(); }
    // Requests received and not answered yet: delayed ones and hanging ones.
    int pendingCount() const;
    int hangingCount() const;
    // Answers the oldest hanging request with `response`; false when none is hanging.
    bool release(const Response& response);
    // Body bytes of Stream responses written to clients so far.
    qint64 streamedBytes() const { return m_streamedBytes; }

Q_SIGNALS:
    // A request has arrived and been recorded; its handler runs right after.
    void requestReceived(const FakeSite::Request& request);

private:
    class Connection;
    friend class Connection;

    void accept(Role role, QTcpServer* server);
    Response respond(const Request& request) const;
    Response itemPage(const Request& request) const;

    struct Listener
    {
        QTcpServer* server = nullptr;
        QUrl base;
    };
    QMap<Role, Listener> m_listeners;
    QMap<Role, QHash<QString, Handler>> m_handlers;
    QMap<Role, Handler> m_defaults;
    QHash<QString, Response> m_itemPages;
    QList<Request> m_requests;
    QList<QPointer<Connection>> m_connections;
    QList<QPointer<Connection>> m_hanging;
    QList<std::pair<QByteArray, std::optional<QByteArray>>> m_savedEnvironment;
    qint64 m_streamedBytes = 0;
};
