#include "FakeSite.h"

#include "TimeSource.h"

#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 307:
        return "Temporary Redirect";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

const char garbageBytes[] = "\x01\x7f garbage \xff\xfe no status line\r\n\r\n";

QMap<QString, QString> parseCookies(const QByteArray& header)
{
    QMap<QString, QString> cookies;
    for (const QByteArray& pair : header.split(';')) {
        const qsizetype eq = pair.indexOf('=');
        if (eq > 0)
            cookies.insert(QString::fromLatin1(pair.left(eq).trimmed()),
                           QString::fromLatin1(pair.mid(eq + 1).trimmed()));
    }
    return cookies;
}

QMap<QString, QString> parseForm(const QByteArray& body)
{
    QMap<QString, QString> form;
    QByteArray spaced = body;
    spaced.replace('+', ' ');
    for (const auto& [name, value] : QUrlQuery(QString::fromLatin1(spaced)).queryItems(QUrl::FullyDecoded))
        form.insert(name, value);
    return form;
}

} // namespace

// One accepted connection: reads requests one at a time and answers each before reading the next.
class FakeSite::Connection : public QObject
{
public:
    Connection(FakeSite& site, Role role, QTcpSocket* socket)
        : QObject(&site), m_site(site), m_role(role), m_socket(socket)
    {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, &Connection::readRequests);
        connect(socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    }

    bool isPending() const { return m_pending; }

    void answer(const Response& response)
    {
        if (response.kind == Response::Hang) {
            m_site.m_hanging.append(this);
            return;
        }
        if (response.delayMs > 0) {
            Response now = response;
            now.delayMs = 0;
            QTimer::singleShot(response.delayMs, this, [this, now] { answer(now); });
            return;
        }
        switch (response.kind) {
        case Response::Drop:
            m_socket->disconnectFromHost();
            return;
        case Response::Garbage:
            m_socket->write(garbageBytes, sizeof garbageBytes - 1);
            m_socket->disconnectFromHost();
            return;
        default:
            break;
        }
        if (response.kind == Response::Stream) {
            startStream(response);
            return;
        }
        QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                          reasonPhrase(response.status) + "\r\nContent-Type: " + response.contentType +
                          "\r\nContent-Length: " + QByteArray::number(response.body.size()) + "\r\n";
        for (const QByteArray& cookie : response.setCookies)
            head += "Set-Cookie: " + cookie + "\r\n";
        for (const auto& [name, value] : response.headers)
            head += name + ": " + value + "\r\n";
        head += m_keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
        m_socket->write(head);
        m_socket->write(response.body);
        m_pending = false;
        if (m_keepAlive)
            readRequests();
        else
            m_socket->disconnectFromHost();
    }

private:
    // Writes the head, then the body a piece at a time whenever the socket has room, so that neither side
    // holds the whole of it; the connection closes at the end.
    void startStream(const Response& response)
    {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                          reasonPhrase(response.status) + "\r\nContent-Type: " + response.contentType +
                          "\r\n";
        head += response.chunked ? QByteArray("Transfer-Encoding: chunked\r\n")
                                 : "Content-Length: " + QByteArray::number(response.streamBytes) + "\r\n";
        m_socket->write(head + "Connection: close\r\n\r\n");
        m_streamLeft = response.streamBytes;
        m_streamChunked = response.chunked;
        connect(m_socket, &QTcpSocket::bytesWritten, this, &Connection::pumpStream);
        pumpStream();
    }

    void pumpStream()
    {
        static const QByteArray piece = QByteArray("<p>") + QByteArray(64 * 1024 - 7, 'x') + "</p>\n";
        while (m_streamLeft > 0 && m_socket->bytesToWrite() < 1024 * 1024) {
            const QByteArray part = piece.left(qMin<qint64>(piece.size(), m_streamLeft));
            if (m_streamChunked)
                m_socket->write(QByteArray::number(part.size(), 16) + "\r\n" + part + "\r\n");
            else
                m_socket->write(part);
            m_streamLeft -= part.size();
            m_site.m_streamedBytes += part.size();
        }
        if (m_streamLeft > 0 || m_streamDone)
            return;
        m_streamDone = true;
        if (m_streamChunked)
            m_socket->write("0\r\n\r\n");
        m_socket->disconnectFromHost();
    }

    void readRequests()
    {
        if (m_pending)
            return;
        m_buffer += m_socket->readAll();
        const qsizetype headEnd = m_buffer.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        const QList<QByteArray> lines = m_buffer.left(headEnd).split('\n');
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');

        Request request;
        request.role = m_role;
        request.method = requestLine.value(0);
        request.target = QString::fromLatin1(requestLine.value(1));
        const qsizetype mark = request.target.indexOf(QLatin1Char('?'));
        request.path = mark < 0 ? request.target : request.target.left(mark);
        if (mark >= 0)
            request.query = QUrlQuery(request.target.mid(mark + 1));
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                       lines[i].mid(colon + 1).trimmed());
        }
        const qsizetype length = request.header("content-length").toLongLong();
        if (m_buffer.size() < headEnd + 4 + length)
            return;
        request.body = m_buffer.mid(headEnd + 4, length);
        m_buffer.remove(0, headEnd + 4 + length);
        request.cookies = parseCookies(request.header("cookie"));
        if (request.header("content-type").startsWith("application/x-www-form-urlencoded"))
            request.form = parseForm(request.body);
        request.receivedMs = QDateTime::currentMSecsSinceEpoch();
        request.receivedLocal = TimeSource::current().localNow();
        const QByteArray connectionHeader = request.header("connection").toLower();
        m_keepAlive = requestLine.value(2) == "HTTP/1.1" ? connectionHeader != "close"
                                                         : connectionHeader == "keep-alive";

        m_pending = true;
        m_site.m_requests.append(request);
        QPointer<Connection> self(this);
        Q_EMIT m_site.requestReceived(request);
        const Response response = m_site.respond(request);
        if (self)
            answer(response);
    }

    FakeSite& m_site;
    Role m_role;
    QTcpSocket* m_socket;
    QByteArray m_buffer;
    bool m_pending = false;
    bool m_keepAlive = true;
    qint64 m_streamLeft = 0;
    bool m_streamChunked = false;
    bool m_streamDone = false;
};

FakeSite::Response FakeSite::Response::page(const QByteArray& html, int status)
{
    Response response;
    response.status = status;
    response.body = html;
    return response;
}

FakeSite::Response FakeSite::Response::error(int status)
{
    const QByteArray text = QByteArray::number(status) + ' ' + reasonPhrase(status);
    return page("<html><head><title>" + text + "</title></head><body>" + text + "</body></html>", status);
}

FakeSite::Response FakeSite::Response::redirect(const QString& location, int status)
{
    return page(QByteArray(), status).withHeader("Location", location.toUtf8());
}

FakeSite::Response FakeSite::Response::drop()
{
    Response response;
    response.kind = Drop;
    return response;
}

FakeSite::Response FakeSite::Response::garbage()
{
    Response response;
    response.kind = Garbage;
    return response;
}

FakeSite::Response FakeSite::Response::hang()
{
    Response response;
    response.kind = Hang;
    return response;
}

FakeSite::Response FakeSite::Response::stream(qint64 bytes, bool chunked)
{
    Response response;
    response.kind = Stream;
    response.streamBytes = bytes;
    response.chunked = chunked;
    return response;
}

FakeSite::Response FakeSite::Response::delayed(int ms) const
{
    Response response = *this;
    response.delayMs = ms;
    return response;
}

FakeSite::Response FakeSite::Response::withCookie(const QByteArray& setCookie) const
{
    Response response = *this;
    response.setCookies.append(setCookie);
    return response;
}

FakeSite::Response FakeSite::Response::withHeader(const QByteArray& name, const QByteArray& value) const
{
    Response response = *this;
    response.headers.append({name, value});
    return response;
}

FakeSite::FakeSite(QObject* parent) : QObject(parent) {}

FakeSite::~FakeSite()
{
    for (const auto& [name, value] : std::as_const(m_savedEnvironment)) {
        if (value)
            qputenv(name.constData(), *value);
        else
            qunsetenv(name.constData());
    }
}

bool FakeSite::listen(const QList<Role>& roles)
{
    for (Role role : roles) {
        if (m_listeners.contains(role))
            continue;
        auto* server = new QTcpServer(this);
        if (!server->listen(QHostAddress::LocalHost, 0)) {
            qWarning("FakeSite: cannot listen: %s", qPrintable(server->errorString()));
            return false;
        }
        connect(server, &QTcpServer::newConnection, this, [this, role, server] { accept(role, server); });
        m_listeners.insert(role,
                           {server, QUrl(QStringLiteral("http://127.0.0.1:%1").arg(server->serverPort()))});
    }
    return true;
}

bool FakeSite::listenAt(Role role, const QHostAddress& address, quint16 port)
{
    if (m_listeners.contains(role))
        return false;
    auto* server = new QTcpServer(this);
    if (!server->listen(address, port)) {
        qWarning("FakeSite: cannot listen on %s: %s", qPrintable(address.toString()),
                 qPrintable(server->errorString()));
        delete server;
        return false;
    }
    connect(server, &QTcpServer::newConnection, this, [this, role, server] { accept(role, server); });
    QUrl base;
    base.setScheme(QStringLiteral("http"));
    base.setHost(address.toString());
    base.setPort(server->serverPort());
    m_listeners.insert(role, {server, base});
    return true;
}

QUrl FakeSite::baseUrl(Role role) const
{
    return m_listeners.value(role).base;
}

void FakeSite::exportEnvironment()
{
    for (auto it = m_listeners.cbegin(); it != m_listeners.cend(); ++it) {
        const QByteArray name = SiteEndpoints::environmentVariable(it.key()).toLatin1();
        std::optional<QByteArray> previous;
        if (qEnvironmentVariableIsSet(name.constData()))
            previous = qgetenv(name.constData());
        m_savedEnvironment.append({name, previous});
        qputenv(name.constData(), it->base.toString().toLatin1());
    }
}

void FakeSite::setHandler(Role role, const QString& target, Handler handler)
{
    m_handlers[role].insert(target, std::move(handler));
}

void FakeSite::setDefaultHandler(Role role, Handler handler)
{
    if (handler)
        m_defaults.insert(role, std::move(handler));
    else
        m_defaults.remove(role);
}

void FakeSite::setItemPage(const QString& item, const Response& response)
{
    m_itemPages.insert(item, response);
}

QByteArray FakeSite::fixture(const QString& name)
{
    QFile file(QStringLiteral(ORV_FIXTURES "/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("FakeSite: cannot read fixture %s", qPrintable(file.fileName()));
        return {};
    }
    return file.readAll();
}

QList<FakeSite::Request> FakeSite::requests(Role role) const
{
    QList<Request> found;
    for (const Request& request : m_requests) {
        if (request.role == role)
            found.append(request);
    }
    return found;
}

int FakeSite::pendingCount() const
{
    int count = 0;
    for (const QPointer<Connection>& connection : m_connections) {
        if (connection && connection->isPending())
            ++count;
    }
    return count;
}

int FakeSite::hangingCount() const
{
    int count = 0;
    for (const QPointer<Connection>& connection : m_hanging) {
        if (connection)
            ++count;
    }
    return count;
}

bool FakeSite::release(const Response& response)
{
    while (!m_hanging.isEmpty()) {
        const QPointer<Connection> connection = m_hanging.takeFirst();
        if (connection) {
            connection->answer(response);
            return true;
        }
    }
    return false;
}

void FakeSite::accept(Role role, QTcpServer* server)
{
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        m_connections.removeAll(nullptr);
        m_connections.append(new Connection(*this, role, socket));
    }
}

FakeSite::Response FakeSite::respond(const Request& request) const
{
    const QHash<QString, Handler> handlers = m_handlers.value(request.role);
    if (const auto exact = handlers.constFind(request.target); exact != handlers.cend())
        return (*exact)(request);
    if (const auto byPath = handlers.constFind(request.path); byPath != handlers.cend())
        return (*byPath)(request);
    if (const auto fallback = m_defaults.constFind(request.role); fallback != m_defaults.cend())
        return (*fallback)(request);
    if (request.role == SiteEndpoints::ItemPage)
        return itemPage(request);
    return Response::error(404);
}

FakeSite::Response FakeSite::itemPage(const Request& request) const
{
    if (request.path != QLatin1String("/ws/eBayISAPI.dll") ||
        !request.query.hasQueryItem(QStringLiteral("ViewItem")))
        return Response::error(404);
    return m_itemPages.value(request.query.queryItemValue(QStringLiteral("item")), Response::error(404));
}
