#include "RemoteUpdaters.h"

#include "RemoteBackend.h"

namespace Remote {

Updaters::Updaters(Backend& backend, QObject* parent) : QObject(parent), m_backend(backend) {}

void Updaters::DownloadItem(const QString& sItem)
{
    m_backend.call(QStringLiteral("Updaters"), QStringLiteral("DownloadItem"), {sItem});
}

void Updaters::DownloadItems(const QStringList& items)
{
    m_backend.call(QStringLiteral("Updaters"), QStringLiteral("DownloadItems"), {items});
}

void Updaters::Cancel()
{
    m_backend.call(QStringLiteral("Updaters"), QStringLiteral("Cancel"));
}

void Updaters::Parse(const QString& sItem, const QString& sPage)
{
    m_backend.call(QStringLiteral("Updater"), QStringLiteral("Parse"), {sItem, sPage});
}

void Updaters::takeState(int state)
{
    m_state = sfBusyState(state);
    Q_EMIT StateChanged(state);
}

void Updaters::takeStatus(const QString& text)
{
    Q_EMIT StatusChange(text);
}

void Updaters::takeUpdater(int state, const QString& item)
{
    Q_EMIT UpdaterChanged(state, item);
}

} // namespace Remote
