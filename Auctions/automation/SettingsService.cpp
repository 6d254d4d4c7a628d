#include "SettingsService.h"

#include "Settings.h"
#include "SettingsAdaptor.h"
#include "cApp.h"

SettingsService::SettingsService(BusGate& gate, QObject* parent) : BusService(gate, parent)
{
    new SettingsAdaptor(this);
}

void SettingsService::attach(cApp& app)
{
    BusService::attach(app);
    connect(&app.Settings(), &Settings::Updated, this, &SettingsService::reportChange);
    connect(&app, &cApp::Ticked, this, &SettingsService::reportChange);
}

Bus::SettingsRecord SettingsService::fields() const
{
    const Settings& settings = app().Settings();
    return {.ConfirmBid = settings.ConfirmBid,
            .ConfirmDel = settings.ConfirmDel,
            .ViewedAuctionAdded = settings.ViewedAuctionAdded,
            .ViewedLookingAtAuction = settings.ViewedLookingAtAuction,
            .ColorActive = settings.ColorActive,
            .ColorCaution = settings.ColorCaution,
            .ColorComplete = settings.ColorComplete,
            .ColorWarning = settings.ColorWarning};
}

QVariantMap SettingsService::Get()
{
    return serve([this] { return tell().toMap(); });
}

Bus::SettingsRecord SettingsService::tell()
{
    // A change not yet reported goes to the clients told before; the first one is only told.
    if (!m_reported)
        m_reported = fields();
    else
        reportChange();
    return *m_reported;
}

void SettingsService::SetFlag(const QString& sName, bool bValue)
{
    serveChecked([sName] { checkLength(sName, MaxNameLength, QStringLiteral("The setting's name")); },
                 [this, sName, bValue] {
                     Settings& settings = app().Settings();
                     if (sName == Bus::SettingsKey::ViewedAuctionAdded)
                         settings.ViewedAuctionAdded = bValue;
                     else if (sName == Bus::SettingsKey::ViewedLookingAtAuction)
                         settings.ViewedLookingAtAuction = bValue;
                     else
                         throw OrvError(OrvError::InvalidArgument, QStringLiteral("Settings"),
                                        QStringLiteral("The setting ") + sName +
                                            QStringLiteral(" cannot be written here."));
                     reportChange();
                 });
}

void SettingsService::View()
{
    serve([this] { app().Settings().View(); });
}

void SettingsService::reportChange()
{
    const Bus::SettingsRecord now = fields();
    if (now == m_reported)
        return;
    m_reported = now;
    Q_EMIT Updated(now.toMap());
}
