#pragma once

#include "Auction.h"
#include "BrowserWindow.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <functional>

class Auctions;
class BidSendersEvents;
class Settings;

// One bid attempt: in its own hidden browser window it signs in to the user's account, opens the bid page
// of the auction, holds at the site's review step until told to send, submits the review form and reads
// the answer. The outcome goes into the auction, the answer page into "Sent Snipes/<item>.html", and the
// state file is saved. The site's pages are told apart only by fixed text markers in the text a reader of
// the page sees.
//
// An attempt belongs to the one auction record it started for. Once that record is deleted, replaced in
// its collection, or changed (its state, maximum bid or quantity no longer what the attempt left), the
// attempt is superseded: until its bid is submitted it ends without submitting and without touching the
// record. Each step (a page exchange, and the hold at the review step) has an absolute deadline from its
// start.
class BidSender : public QObject
{
    Q_OBJECT
public:
    enum SenderState
    {
        Idle = 0,
        SignInRequested = 1,
        SignInSubmitted = 2,
        BidPageRequested = 3,
        Holding = 4, // at the review step: the bid is prepared
        BidSubmitted = 5,
        Succeeded = 6,
        Failed = 7
    };
    Q_ENUM(SenderState)

    // Rounds of "You Have Signed Out" that send the window back to the sign-in page before the attempt
    // gives up, so that a site answering nothing else cannot hold it forever.
    static constexpr int MaxSignedOutRounds = 3;
    // Unavailable pages met on one page kind before the attempt gives up (the earlier ones are reloaded).
    static constexpr int MaxUnavailablePages = 3;
    // Time-out of a step beyond the settings' PrepareSeconds, the browser's inactivity limit.
    static constexpr int StepSecondsBeyondPrepare = 60;

    // `save` writes the state file once the outcome is recorded.
    BidSender(BrowserWindow::Factory browsers, const Settings& settings, std::function<void()> save,
              QObject* parent = nullptr);
    ~BidSender() override;

    AuctionPtr Auction;
    QPointer<BidSendersEvents> Events;

    qint32 State() const { return m_state; }
    void setState(qint32 value);

    void Cancel();
    void Prepare(bool bSendNow);
    void Send();

    // The collection whose current record this attempt's auction must stay; without one, only deletion
    // supersedes it.
    void setRecords(Auctions* records);
    // Each step's deadline in milliseconds; 0 (the default) means PrepareSeconds + 60 s, read when the step
    // starts.
    void setStepDeadline(int ms) { m_stepDeadlineMs = ms; }
    // The auction is no longer the record, or no longer in the state, this attempt left it in, and the bid
    // has not been submitted.
    bool superseded() const;
    // Ends a superseded attempt without submitting and without touching its auction; true when it ended.
    bool endIfSuperseded();
    // The program ends after its last save: the attempt takes no further step and records nothing, so
    // that nothing reaches the site that the saved file does not know of.
    void halt();

    static QUrl signInUrl();
    // Refuses (error 11) an item number that is not letters and digits only.
    static QUrl bidUrl(const ::Auction& auction);
    // "Sent Snipes/<item>.html" in the data folder; refuses an item number as bidUrl does.
    static QString pageFilePath(const QString& item);

private:
    void mFrm_DocumentComplete();
    void mFrm_TimedOut();
    void mFrm_SubmitRefused();
    void stepDeadline_Timer();
    bool recordCurrent() const;
    void setSnipeState(AucSnipeStates state);
    void runHandler(void (BidSender::*handler)(), const QString& systemError);
    void HandleSignInPage();
    void signInPageUnavailable();
    void bidPageUnavailable();
    void HandleSignInResult();
    void HandleBidPage();
    void HandleConfirmPage();
    void FinishSuccess();
    void FinishFailure(const QString& message);
    void finish(bool success, const QString& comment);
    // Writes the site's last page to pageFilePath, and logs when it cannot.
    void keepSentPage(const QString& page) const;
    void finishSuperseded();
    QString timedOutText() const;
    bool cancelledByWinLimit() const;
    BrowserWindow& window() const;
    QString VisibleText() const;
    QString PageText() const;
    QString PageBody() const;
    QString PageTitle() const;

    BrowserWindow::Factory m_browsers;
    const Settings& m_settings;
    std::function<void()> m_save;
    qint32 m_state = Idle;
    bool bSendNow = false;
    QPointer<BrowserWindow> mFrm;
    int m_signInReloads = 0;
    int m_bidPageReloads = 0;
    int m_signedOutRounds = 0;
    QPointer<Auctions> m_records;
    AucSnipeStates m_setState = OR2Watching; // what the attempt last made of its auction's snipe state
    double m_startBid = 0;                   // the maximum bid and quantity it started with
    qint32 m_startQuantity = 0;
    bool m_finishing = false; // its outcome is being written
    bool m_halted = false;
    int m_stepDeadlineMs = 0;
    QTimer m_stepDeadline;
};
