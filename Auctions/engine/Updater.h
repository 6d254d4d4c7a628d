#pragma once

#include "Auction.h"
#include "OrvEnums.h"

#include <QObject>
#include <QPointer>
#include <QString>

class Downloader;
class UpdatersEvents;

// Fetches one auction's item page and reads it into the auction (ItemPage reads the page). One Updater
// serves one request.
class Updater : public QObject
{
    Q_OBJECT
public:
    explicit Updater(QObject* parent = nullptr);
    ~Updater() override;

    AuctionPtr Auction;
    QPointer<UpdatersEvents> Events;

    sfRunState State() const { return m_state; }
    // Stores and announces a change only: StateChanged, then the relay's StateChanged.
    void setState(sfRunState value);
    const QString& ErrMessage() const { return m_errMessage; }

    // "Update Cancelled" and sfFailed; a page that still arrives is ignored.
    void Cancel();
    // sfRunning, then fetches the auction's item page.
    void Download();
    // ItemPage::Parse: fills `auction` from the item page `sHTML`, refusing (error 11) a page that is no
    // item page.
    bool Parse(::Auction& auction, const QString& sHTML);

    // The address of an item's page; empty for an item number that is not letters and digits only.
    static QString itemPageAddress(const QString& item);
    // The downloader of the request under way or cancelled; null before Download and once it ended.
    const Downloader* downloader() const { return mDler; }

Q_SIGNALS:
    void StateChanged(int State);

private:
    void downloadComplete();
    void downloadFailed(const QString& message);
    void releaseDownloader();

    sfRunState m_state = sfNotRunning;
    QString m_errMessage;
    Downloader* mDler = nullptr;
};
