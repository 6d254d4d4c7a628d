#pragma once

#include "Auction.h"
#include "OrvEnums.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class Downloader;
class UpdatersEvents;

// Fetches one auction's item page and reads the auction's details out of it: description, end and start
// time, price and currency, quantity, bids, seller and high bidder. Parse reads the page by a fixed
// sequence of label searches after the title's item mark; a label that is missing or a step that cannot
// read leaves its field as it was. One Updater serves one request.
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
    // Fills `auction` from the item page `sHTML`. Refuses a page that is no item page with error 11
    // and leaves the auction untouched; otherwise returns true.
    bool Parse(::Auction& auction, const QString& sHTML);

    // The page-reading steps. Positions are 1-based, 0 meaning "not found", as the steps count them.
    // The first of `vntArray` (in its order) that occurs at or after lStart (from the start when it is 0)
    // and before `lEnd`: its position goes to lStart.
    static bool fnFirstPos(const QString& sBody, qsizetype& lStart, qsizetype lEnd,
                           const QStringList& vntArray);
    // The text just before the first closing tag at or after lStart, after the last ">" before it.
    static QString fnMidData(const QString& sBody, qsizetype& lStart);
    // The text from one past the start of `sStart` (at or after lStart) up to `Send`.
    static QString fnMidText(const QString& sBody, qsizetype& lStart, const QString& sStart,
                             const QString& Send);
    // A page's date text as a date, read in United States English; the zero date when it does not read.
    static QDateTime fnGetDateFormat(const QString& vInDate);
    // The leftmost positive number in a money or count text, commas removed (from `sNumber` too); 0 when
    // there is none.
    static double fnNumber(QString& sNumber);

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
