#include "RemoteSettings.h"

#include "RemoteBackend.h"

namespace Remote {

Settings::Settings(Backend& backend, QObject* parent) : QObject(parent), m_backend(backend) {}

void Settings::setViewedAuctionAdded(bool value)
{
    write(Bus::SettingsKey::ViewedAuctionAdded, value, &Bus::SettingsRecord::ViewedAuctionAdded);
}

void Settings::setViewedLookingAtAuction(bool value)
{
    write(Bus::SettingsKey::ViewedLookingAtAuction, value, &Bus::SettingsRecord::ViewedLookingAtAuction);
}

void Settings::View()
{
    m_backend.call(QStringLiteral("Settings"), QStringLiteral("View"));
}

void Settings::reset(const QVariantMap& fields)
{
    reset(Bus::SettingsRecord::fromMap(fields));
}

void Settings::reset(const Bus::SettingsRecord& record)
{
    m_record = record;
    Q_EMIT Updated();
}

void Settings::write(const QString& field, bool value, bool Bus::SettingsRecord::*flag)
{
    m_backend.call(QStringLiteral("Settings"), QStringLiteral("SetFlag"), {field, value});
    m_record.*flag = value;
}

} // namespace Remote
