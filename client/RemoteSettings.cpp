#include "RemoteSettings.h"

#include "RemoteBackend.h"

namespace Remote {

Settings::Settings(Backend& backend, QObject* parent) : QObject(parent), m_backend(backend) {}

void Settings::setViewedAuctionAdded(bool value)
{
    write(QStringLiteral("ViewedAuctionAdded"), value);
}

void Settings::setViewedLookingAtAuction(bool value)
{
    write(QStringLiteral("ViewedLookingAtAuction"), value);
}

void Settings::View()
{
    m_backend.call(QStringLiteral("Settings"), QStringLiteral("View"));
}

void Settings::reset(const QVariantMap& fields)
{
    m_fields = fields;
    Q_EMIT Updated();
}

void Settings::write(const QString& field, bool value)
{
    m_backend.call(QStringLiteral("Settings"), QStringLiteral("SetFlag"), {field, value});
    m_fields.insert(field, value);
}

} // namespace Remote
