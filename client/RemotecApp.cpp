#include "RemotecApp.h"

#include "RemoteApp.h"
#include "RemoteBusBackend.h"

namespace Remote {

cApp::cApp(QObject* parent) : cApp(std::make_unique<BusBackend>(), parent) {}

cApp::cApp(std::unique_ptr<Backend> backend, QObject* parent)
    : QObject(parent), m_backend(std::move(backend)), m_app(new Remote::App(*m_backend, this))
{
    connect(m_backend.get(), &Backend::bound, this, [this] { Q_EMIT Bound(); });
    connect(m_backend.get(), &Backend::lost, this, &cApp::Lost);
    m_backend->setHold(true);
    m_backend->bind();
    setState(AppCreated);
}

cApp::~cApp()
{
    m_backend->setHold(false);
}

bool cApp::isBound() const
{
    return m_backend->bindState() == Remote::Bound;
}

BindState cApp::bindState() const
{
    return m_backend->bindState();
}

void cApp::setState(AppState value)
{
    if (value == m_state)
        return;
    switch (value) {
    case AppCreated:
        setStatus(QStringLiteral("Application Created"));
        break;
    case AppLoaded:
        setStatus(QStringLiteral("Application Loaded."));
        break;
    case AppStarted:
        setStatus(QStringLiteral("Application Started."));
        break;
    case AppShuttingDown:
        setStatus(QStringLiteral("Application Shutting Down..."));
        break;
    default:
        break;
    }
    m_state = value;
    Q_EMIT StateChange(value);
}

void cApp::setStatus(const QString& text)
{
    m_status = text;
    Q_EMIT StatusChange(text);
}

void cApp::rebind()
{
    m_backend->bind();
}

QString cApp::notReachedText()
{
    return QStringLiteral("Auction Orv could not be started.");
}

QString cApp::endedText()
{
    return QStringLiteral("Auction Orv has ended.");
}

} // namespace Remote
