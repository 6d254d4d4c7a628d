#pragma once

#include "BusService.h"
#include "BusSettingsRecord.h"

#include <QVariantMap>
#include <optional>

// The settings that clients read, on the session bus. They are reported when the settings dialog saves,
// when a client writes one, and at the heartbeat after whichever window wrote one without telling.
class SettingsService : public BusService
{
    Q_OBJECT
public:
    explicit SettingsService(BusGate& gate, QObject* parent = nullptr);

    void attach(cApp& app) override;
    // The fields as a client is told them (in a reply or a snapshot); a later report comes only with a
    // change.
    Bus::SettingsRecord tell();

public Q_SLOTS:
    QVariantMap Get();
    void SetFlag(const QString& sName, bool bValue);
    void View();

Q_SIGNALS:
    void Updated(const QVariantMap& settings);

private:
    Bus::SettingsRecord fields() const;
    // Reports the fields when they differ from those last reported.
    void reportChange();

    std::optional<Bus::SettingsRecord> m_reported;
};
