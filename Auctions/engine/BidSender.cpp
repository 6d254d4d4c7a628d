#include "BidSender.h"

#include "Auctions.h"
#include "BidSendersEvents.h"
#include "DataFolder.h"
#include "EngineLog.h"
#include "OrvError.h"
#include "OwnerOnlyFile.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "SignInPage.h"
#include "SiteEndpoints.h"
#include "TextForms.h"

#include <QDir>
#include <QLoggingCategory>
#include <algorithm>
#include <limits>

namespace {

Q_LOGGING_CATEGORY(lcBidSender, "orv.engine.bidsender")

const QString errorSource = QStringLiteral("BidSender");

namespace Marker {
const QString SignedOut = QStringLiteral("You Have Signed Out");
const QString SignInForm = QStringLiteral("eBay User ID");
const QString UserIdInvalid = QStringLiteral("User ID is not valid");
const QString Unavailable = QStringLiteral("The page might be temporarily unavailable.");
const QString SignInInvalid = QStringLiteral("Your sign in information is not valid");
const QString SignedIn = QStringLiteral("My eBay");
const QString BidTooLow = QStringLiteral("Your bid must be at least");
const QString Correction = QStringLiteral("The following must be corrected");
const QString Review = QStringLiteral("Review and Confirm Bid");
const QString Ended = QStringLiteral("Auction ended");
const QString HighBidder = QStringLiteral("You are the current high bidder");
const QString Outbid = QStringLiteral("You have been outbid");
const QString ReserveNotMet = QStringLiteral("reserve price has not been met");
} // namespace Marker

namespace Text {
const QString SignInPageError = QStringLiteral("System Error Accessing Signin Page.");
const QString LoginRejected = QStringLiteral("Login information rejected.");
const QString NoConnection = QStringLiteral("Could not connect to the internet.");
const QString SignInPageUnexpected = QStringLiteral("Unexpected Response Accessing Signin Page.");
const QString SignInResultError = QStringLiteral("System Error Signing into eBay.");
const QString SignInIncorrect = QStringLiteral("Signin Information Incorrect");
const QString SignInResultUnexpected = QStringLiteral("Unexpected Response Confirming Signin.");
const QString BidPageError = QStringLiteral("System Error Sending Bid.");
const QString BidTooLow = QStringLiteral("Bid was not high enough.");
const QString Correction = QStringLiteral("eBay requested unknown bid correction.");
const QString Ended = QStringLiteral("Auction ended before bid was received.");
const QString BidPageUnexpected = QStringLiteral("Unexpected Response Sending Bid.");
const QString ConfirmError = QStringLiteral("System Error Confirming Bid.");
const QString Success = QStringLiteral("Bid successfully sent and confirmed.");
const QString Outbid = QStringLiteral("Another bidder had a higher bid in reserve.");
const QString ReserveNotMet = QStringLiteral("The reserve for this auction was not met.");
const QString ConfirmUnexpected = QStringLiteral("Unexpected Response Confirming Bid.");
const QString Cancelled = QStringLiteral("Bid cancelled by user.");
const QString TimedOut = QStringLiteral("Connection to eBay timed out.");
const QString TimedOutAfterSubmit = QStringLiteral(
    "Connection to eBay timed out after the bid was submitted; the bid may have reached eBay.");
const QString PageTooLarge = QStringLiteral("A page of more than 8 MB was cut off.");
const QString AnswerTooLarge =
    QStringLiteral("The answer to the bid was cut off at 8 MB; the bid may have reached eBay.");
} // namespace Text

const QString reviewForm = QStringLiteral("PlaceBid");

bool contains(const QString& page, const QString& marker)
{
    return page.contains(marker, Qt::CaseInsensitive);
}

QString notAnItemText(const QString& item)
{
    return QStringLiteral("\"%1\" is not an item number.").arg(item);
}

// Item numbers become a file name and part of an address: letters and digits only.
const QString& checkedItem(const QString& item)
{
    if (!Auctions::isValidItemNumber(item))
        throw OrvError::refused(errorSource, notAnItemText(item));
    return item;
}

// The site is busy: an HTTP 5xx answer is taken as the site's "temporarily unavailable" page.
bool busyAnswer(const BrowserWindow::HtmlDocument& document)
{
    return document.httpStatus >= 500 && document.httpStatus <= 599;
}

} // namespace

BidSender::BidSender(BrowserWindow::Factory browsers, const Settings& settings, std::function<void()> save,
                     QObject* parent)
    : QObject(parent), m_browsers(std::move(browsers)), m_settings(settings), m_save(std::move(save))
{
    m_stepDeadline.setSingleShot(true);
    connect(&m_stepDeadline, &QTimer::timeout, this, &BidSender::stepDeadline_Timer);
}

BidSender::~BidSender()
{
    if (mFrm) {
        mFrm->disconnect(this);
        mFrm->Quit();
    }
}

QUrl BidSender::signInUrl()
{
    return SiteEndpoints::url(SiteEndpoints::SignIn, QStringLiteral("/ws/eBayISAPI.dll?SignIn"));
}

QUrl BidSender::bidUrl(const ::Auction& auction)
{
    return SiteEndpoints::url(SiteEndpoints::Bid,
                              QStringLiteral("/ws/eBayISAPI.dll?MfcISAPICommand=MakeBid&item=") +
                                  checkedItem(auction.Item) + QStringLiteral("&fb=1&maxbid=") +
                                  TextForms::addressDecimal(auction.SnipeBid) + QStringLiteral("&quant=") +
                                  QString::number(auction.SnipeQuantity));
}

QString BidSender::pageFilePath(const QString& item)
{
    return QDir(DataFolder::sentSnipesFolder()).filePath(checkedItem(item) + QStringLiteral(".html"));
}

void BidSender::setState(qint32 value)
{
    if (value == m_state)
        return;
    m_state = value;
    // Each step has its own deadline, counted from its start; reloads and rounds inside it do not restart it.
    if (value >= SignInRequested && value <= BidSubmitted) {
        const qint64 stepMs = m_stepDeadlineMs > 0
                                  ? m_stepDeadlineMs
                                  : (qint64(m_settings.PrepareSeconds) + StepSecondsBeyondPrepare) * 1000;
        m_stepDeadline.start(int(std::clamp<qint64>(stepMs, 1, std::numeric_limits<int>::max())));
    } else {
        m_stepDeadline.stop();
    }
    if (Events)
        Events->raiseStateChanged(value, this);
}

void BidSender::setRecords(Auctions* records)
{
    m_records = records;
}

void BidSender::setSnipeState(AucSnipeStates state)
{
    m_setState = state;
    Auction->SnipeState = state;
}

bool BidSender::recordCurrent() const
{
    if (!Auction || Auction->Deleted)
        return false;
    if (m_records) {
        AuctionPtr current;
        resumeNext(lcBid, [&] { current = m_records->Item(Auction->Item); });
        if (current != Auction)
            return false;
    }
    return Auction->SnipeState == m_setState && Auction->SnipeBid == m_startBid &&
           Auction->SnipeQuantity == m_startQuantity;
}

bool BidSender::superseded() const
{
    // A submitted bid may stand at the site: its answer is recorded whatever became of the record.
    if (m_state == Idle || m_state >= BidSubmitted || m_finishing || cancelledByWinLimit())
        return false;
    return !recordCurrent();
}

bool BidSender::endIfSuperseded()
{
    if (!superseded())
        return false;
    finishSuperseded();
    return true;
}

BrowserWindow& BidSender::window() const
{
    if (!mFrm)
        throw OrvError(OrvError::Refused, errorSource, QStringLiteral("The bid has no browser window."));
    return *mFrm;
}

bool BidSender::cancelledByWinLimit() const
{
    return Auction && Auction->SnipeState == OR2BidCancelled;
}

void BidSender::Prepare(bool sendNow)
{
    resumeNext(lcBid, [&] {
        mFrm = m_browsers();
        connect(mFrm, &BrowserWindow::DocumentComplete, this, &BidSender::mFrm_DocumentComplete);
        connect(mFrm, &BrowserWindow::TimedOut, this, &BidSender::mFrm_TimedOut);
        connect(mFrm, &BrowserWindow::SubmitRefused, this, &BidSender::mFrm_SubmitRefused);
    });
    bSendNow = sendNow;
    resumeNext(lcBid, [&] {
        m_startBid = Auction->SnipeBid;
        m_startQuantity = Auction->SnipeQuantity;
        setSnipeState(OR2BidPreparing);
    });
    resumeNext(lcBid, [&] { Auction->Changed(); });
    resumeNext(lcBid, [&] { setState(SignInRequested); });
    // The item number goes into the bid page's address: one that cannot is refused before signing in.
    if (Auction && !Auctions::isValidItemNumber(Auction->Item)) {
        FinishFailure(notAnItemText(Auction->Item));
        return;
    }
    resumeNext(lcBid, [&] { window().Navigate(signInUrl()); });
}

void BidSender::Send()
{
    // Once submitted, never again: a second request would be a second bid.
    if (m_halted || m_state >= BidSubmitted)
        return;
    if (cancelledByWinLimit()) {
        FinishFailure(QString());
        return;
    }
    // Not at the review step yet: submit as soon as it comes.
    if (m_state < Holding) {
        bSendNow = true;
        return;
    }
    // Only the record it started for, as it left it, with the amount the review page holds.
    if (endIfSuperseded())
        return;
    resumeNext(lcBid, [&] { setSnipeState(OR2BidSending); });
    resumeNext(lcBid, [&] { Auction->Changed(); });
    resumeNext(lcBid, [&] { setState(BidSubmitted); });
    // A missing form is skipped: the attempt then waits for its time-out.
    resumeNext(lcBid, [&] { window().SubmitForm(reviewForm); });
}

void BidSender::halt()
{
    m_halted = true;
    m_stepDeadline.stop();
    if (mFrm)
        mFrm->disconnect(this);
}

void BidSender::Cancel()
{
    // A submitted bid may already stand at the site: wait for its answer and record that.
    if (m_state == BidSubmitted || m_state >= Succeeded)
        return;
    FinishFailure(Text::Cancelled);
}

QString BidSender::timedOutText() const
{
    return m_state == BidSubmitted ? Text::TimedOutAfterSubmit : Text::TimedOut;
}

void BidSender::mFrm_TimedOut()
{
    if (m_state < Succeeded)
        FinishFailure(timedOutText());
}

void BidSender::mFrm_SubmitRefused()
{
    // The sign-in form was turned to another host after it was filled in: nothing was sent.
    if (m_state == SignInSubmitted)
        FinishFailure(Text::SignInPageUnexpected);
}

void BidSender::stepDeadline_Timer()
{
    if (m_state >= SignInRequested && m_state < Succeeded) {
        qCWarning(lcBidSender) << "bid step" << m_state << "passed its deadline";
        FinishFailure(timedOutText());
    }
}

void BidSender::mFrm_DocumentComplete()
{
    switch (m_state) {
    case SignInRequested:
    case SignInSubmitted:
    case BidPageRequested:
    case BidSubmitted:
        // A win limit cancelled this auction meanwhile: go no further.
        if (cancelledByWinLimit()) {
            FinishFailure(QString());
            return;
        }
        // Its record was deleted, replaced or changed meanwhile: the heartbeat prepares it afresh.
        if (endIfSuperseded())
            return;
        break;
    default:
        return;
    }
    // A page cut off for its size is no answer of the site's.
    if (mFrm && mFrm->Document().oversized) {
        FinishFailure(m_state == BidSubmitted ? Text::AnswerTooLarge : Text::PageTooLarge);
        return;
    }
    switch (m_state) {
    case SignInRequested:
        runHandler(&BidSender::HandleSignInPage, Text::SignInPageError);
        break;
    case SignInSubmitted:
        runHandler(&BidSender::HandleSignInResult, Text::SignInResultError);
        break;
    case BidPageRequested:
        runHandler(&BidSender::HandleBidPage, Text::BidPageError);
        break;
    case BidSubmitted:
        runHandler(&BidSender::HandleConfirmPage, Text::ConfirmError);
        break;
    default:
        break;
    }
}

void BidSender::runHandler(void (BidSender::*handler)(), const QString& systemError)
{
    if (!resumeNext(lcBid, [&] { (this->*handler)(); }) && m_state < Succeeded)
        FinishFailure(systemError);
}

void BidSender::HandleSignInPage()
{
    // The password goes to the sign-in host only: a sign-in page shown anywhere else is no sign-in page.
    if (!SignInPage::isOnSignInHost(window())) {
        FinishFailure(Text::SignInPageUnexpected);
        return;
    }
    const QString page = VisibleText();
    if (busyAnswer(window().Document())) {
        signInPageUnavailable();
    } else if (contains(page, Marker::SignedOut)) {
        if (++m_signedOutRounds > MaxSignedOutRounds) {
            FinishFailure(Text::SignInPageUnexpected);
        } else {
            setState(SignInRequested);
            window().Navigate(signInUrl());
        }
    } else if (contains(page, Marker::SignInForm)) {
        BrowserWindow& browser = window();
        // A form that posts anywhere else is no sign-in form: nothing is filled in.
        if (SignInPage::formPostsElsewhere(browser)) {
            FinishFailure(Text::SignInPageUnexpected);
            return;
        }
        SignInPage::fill(browser, m_settings.Username, m_settings.Password);
        setState(SignInSubmitted);
        SignInPage::submit(browser);
    } else if (contains(page, Marker::UserIdInvalid)) {
        FinishFailure(Text::LoginRejected);
    } else if (contains(page, Marker::Unavailable)) {
        signInPageUnavailable();
    } else {
        FinishFailure(Text::SignInPageUnexpected);
    }
}

void BidSender::signInPageUnavailable()
{
    if (++m_signInReloads < MaxUnavailablePages)
        window().RefreshBrowser();
    else
        FinishFailure(Text::NoConnection);
}

void BidSender::bidPageUnavailable()
{
    if (++m_bidPageReloads < MaxUnavailablePages)
        window().RefreshBrowser();
    else
        FinishFailure(Text::NoConnection);
}

void BidSender::HandleSignInResult()
{
    const QString page = VisibleText();
    if (contains(page, Marker::SignInInvalid)) {
        FinishFailure(Text::SignInIncorrect);
    } else if (contains(page, Marker::SignedIn)) {
        setState(BidPageRequested);
        window().Navigate(bidUrl(*Auction));
    } else {
        FinishFailure(Text::SignInResultUnexpected);
    }
}

void BidSender::HandleBidPage()
{
    // Only the bid host's pages count here; whatever else completes meanwhile is passed over.
    if (!SiteEndpoints::isAt(SiteEndpoints::Bid, QUrl(window().LocationURL()), false))
        return;
    const QString page = VisibleText();
    if (busyAnswer(window().Document())) {
        bidPageUnavailable();
    } else if (contains(page, Marker::BidTooLow)) {
        FinishFailure(Text::BidTooLow);
    } else if (contains(page, Marker::Correction)) {
        FinishFailure(Text::Correction);
    } else if (contains(page, Marker::Review)) {
        setSnipeState(OR2BidPrepared);
        Auction->Changed();
        setState(Holding);
        if (bSendNow)
            Send();
    } else if (contains(page, Marker::Ended)) {
        FinishFailure(Text::Ended);
    } else if (contains(page, Marker::Unavailable)) {
        bidPageUnavailable();
    } else {
        FinishFailure(Text::BidPageUnexpected);
    }
}

void BidSender::HandleConfirmPage()
{
    // A page that shows a losing marker beside the winning one is no win.
    const QString page = VisibleText();
    if (contains(page, Marker::Outbid))
        FinishFailure(Text::Outbid);
    else if (contains(page, Marker::ReserveNotMet))
        FinishFailure(Text::ReserveNotMet);
    else if (contains(page, Marker::Ended))
        FinishFailure(Text::Ended);
    else if (contains(page, Marker::HighBidder))
        FinishSuccess();
    else
        FinishFailure(Text::ConfirmUnexpected);
}

void BidSender::FinishSuccess()
{
    finish(true, Text::Success);
}

void BidSender::FinishFailure(const QString& message)
{
    finish(false, message);
}

void BidSender::finish(bool success, const QString& comment)
{
    if (m_halted || m_state >= Succeeded)
        return;
    // Whatever ends it, an attempt whose record is someone else's now leaves that record alone.
    if (superseded()) {
        finishSuperseded();
        return;
    }
    m_finishing = true;
    m_stepDeadline.stop();
    // A win limit's cancellation stands: its auction keeps its state and comment, and nothing is won.
    const bool keepRecord = cancelledByWinLimit();
    if (keepRecord)
        success = false;
    QString page;
    resumeNext(lcBid, [&] { page = PageText(); });
    resumeNext(lcBid, [&] { keepSentPage(page); });
    if (!keepRecord) {
        resumeNext(lcBid, [&] { Auction->SysComments = comment; });
        resumeNext(lcBid, [&] { Auction->SnipeState = success ? OR2BidSuccess : OR2BidFailed; });
    }
    resumeNext(lcBid, [&] { Auction->Changed(); });
    resumeNext(lcBid, [&] {
        if (m_save)
            m_save();
    });
    resumeNext(lcBid, [&] { setState(success ? Succeeded : Failed); });
}

void BidSender::keepSentPage(const QString& page) const
{
    // The site's answer is the one record of what was sent: a page that is not kept is logged.
    const QString folder = DataFolder::sentSnipesFolder();
    if (!OwnerOnlyFile::makeFolder(folder))
        qCWarning(lcBid).noquote() << "Cannot create the folder" << folder;
    const QString path = pageFilePath(Auction->Item);
    const QString failure = OwnerOnlyFile::write(path, (page + QStringLiteral("\r\n")).toUtf8());
    if (!failure.isEmpty())
        qCWarning(lcBid).noquote() << "The page sent for item" << Auction->Item << "was not kept in" << path
                                   << "-" << failure;
}

void BidSender::finishSuperseded()
{
    if (m_state >= Succeeded)
        return;
    // The record is someone else's now: no outcome, no page file, nothing to save.
    m_stepDeadline.stop();
    setState(Failed);
}

QString BidSender::VisibleText() const
{
    return mFrm ? mFrm->Document().text : QString();
}

QString BidSender::PageTitle() const
{
    return mFrm ? mFrm->Document().title : QString();
}

QString BidSender::PageBody() const
{
    return mFrm ? mFrm->Document().body : QString();
}

QString BidSender::PageText() const
{
    return QStringLiteral("<TITLE>") + PageTitle() + QStringLiteral("</TITLE><BODY>") + PageBody() +
           QStringLiteral("</BODY>");
}
