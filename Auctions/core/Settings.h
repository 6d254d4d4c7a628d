#pragma once

#include "IXMLPersist.h"

#include <QObject>
#include <QString>

class DialogHost;

// Every user setting of the system as a public field, stored in the "Settings" element. Before loading
// every field is zero, empty or false; loading gives each missing field its default. Readers take the
// fields when they need them, so a change takes effect at its next use.
class Settings : public QObject, public IXMLPersist
{
    Q_OBJECT
public:
    explicit Settings(QObject* parent = nullptr);

    // The settings dialog opens through `dialogs`.
    void Init(DialogHost& dialogs);

    bool AlwaysOnTop = false;
    qint32 HotBids = 0;
    qint32 ColorActive = 0;
    qint32 ColorCaution = 0;
    qint32 ColorComplete = 0;
    qint32 ColorWarning = 0;
    qint32 TimeLeftRefresh = 0;
    qint32 DefaultSnipeTime = 0;
    qint32 WindowTop = 0;
    qint32 WindowLeft = 0;
    qint32 WindowWidth = 0;
    qint32 WindowHeight = 0;
    bool ForceIE = false;
    qint32 RedMinutes = 0;
    qint32 MaxAucUpdates = 0;
    QString Username;
    QString Password;
    qint32 LocalTimeZone = 0;
    bool SyncClockRed = false;
    bool ConnectOnRed = false;
    QString PhoneEntry;
    qint32 CheckNetSeconds = 0;
    qint32 PrepareSeconds = 0;
    qint32 AutoSyncDays = 0;
    qint32 CheckForUpdates = 0;
    bool ConfirmMove = false;
    bool ConfirmBid = false;
    bool ConfirmDel = false;
    bool MinOnClose = false;
    bool ViewedWelcome = false;
    bool ViewedBidCreated = false;
    bool ViewedAuctionAdded = false;
    bool ViewedLookingAtAuction = false;
    qint32 AuctionListBackColor = 0;

    // Raises Updated; the settings dialog calls it after writing the fields.
    void raiseUpdated();
    // Opens the settings dialog on these settings.
    void View();

    // The PC's standard offset from UTC in whole hours, halves to the even hour (Kolkata 6).
    static qint32 defaultLocalTimeZone();

    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;

Q_SIGNALS:
    void Updated();

private:
    DialogHost* m_dialogs = nullptr;
};
