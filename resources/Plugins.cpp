#include "Plugins.h"

#include "OrvError.h"

Plugins::Plugins(QObject* parent) : QObject(parent) {}

qsizetype Plugins::indexOf(const QString& key) const
{
    for (qsizetype i = 0; i < m_keys.size(); ++i) {
        if (m_keys.at(i).compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::shared_ptr<IPlugin> Plugins::Item(const QString& sKey) const
{
    const qsizetype at = indexOf(sKey);
    if (at < 0)
        throw OrvError(OrvError::InvalidArgument, QStringLiteral("Plugins::Item"),
                       QStringLiteral("Invalid procedure call or argument"));
    return m_items.at(at);
}

void Plugins::Remove(const QString& sKey)
{
    const qsizetype at = indexOf(sKey);
    if (at < 0)
        throw OrvError(OrvError::InvalidArgument, QStringLiteral("Plugins::Remove"),
                       QStringLiteral("Invalid procedure call or argument"));
    m_items.removeAt(at);
    m_keys.removeAt(at);
    Q_EMIT Updated();
}

void Plugins::Add(std::shared_ptr<IPlugin> Plugin)
{
    const QString key = Plugin ? Plugin->Key() : QString();
    if (!Plugin)
        throw OrvError(OrvError::InvalidArgument, QStringLiteral("Plugins::Add"),
                       QStringLiteral("No component given"));
    if (indexOf(key) >= 0)
        throw OrvError(ErrDuplicateKey, QStringLiteral("Plugins::Add"),
                       QStringLiteral("This key is already associated with an element of this collection"));
    m_items.append(std::move(Plugin));
    m_keys.append(key);
    Q_EMIT Updated();
}

void Plugins::Start(const QString& sCallingFile)
{
    // A copy, so that a component changing the list cannot upset the walk.
    const auto items = m_items;
    for (const auto& plugin : items) {
        QString callingFile = sCallingFile;
        plugin->Begin(callingFile);
    }
}

void Plugins::Terminate()
{
    const auto items = m_items;
    for (const auto& plugin : items)
        plugin->ShutDown();
}
