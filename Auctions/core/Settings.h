#pragma once

#include "IXMLPersist.h"

#include <QObject>
#include <QString>

class DialogHost;

// Every user setting of the system as a public field, stored in the "Settings" element.
class Settings : public QObject, public IXMLPersist
{
    Q_OBJECT
public:
    explicit Settings(QObject* parent = nullptr);

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

    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;

Q_SIGNALS:
    void Updated();
};
