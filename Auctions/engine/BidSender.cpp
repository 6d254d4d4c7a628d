#include "BidSender.h"

#include "Auctions.h"
#include "BidSendersEvents.h"
#include "DataFolder.h"
#include "EngineLog.h"
#include "OrvError.h"
#include "OwnerOnlyFile.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "SiteEndpoints.h"
#include "TextForms.h"

#include <QDir>
#include <algorithm>

namespace {

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
} // namespace Text

const QString signInForm = QStringLiteral("SignInForm");
const QString reviewForm = QStringLiteral("PlaceBid");

bool contains(const QString& page, const QString& marker)
{
    return page.contains(marker, Qt::CaseInsensitive);
}

// Item numbers become a file name and part of an address: letters and digits only.
const QString& checkedItem(const QString& item)
{
    if (!Auctions::isValidItemNumber(item))
        throw OrvError::refused(errorSource, QStringLiteral("\"%1\" is not an item number.").arg(item));
    return item;
}

} // namespace

BidSender::BidSender(BrowserWindow::Factory browsers, const Settings& settings, std::function<void()> save,
                     QObject* parent)
    : QObject(parent), m_browsers(std::move(browsers)), m_settings(settings), m_save(std::move(save))
{
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
                                  TextForms::decimal(auction.SnipeBid) + QStringLiteral("&quant=") +
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
    if (Events)
        Events->raiseStateChanged(value, this);
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
    });
    bSendNow = sendNow;
    resumeNext(lcBid, [&] { Auction->SnipeState = OR2BidPreparing; });
    resumeNext(lcBid, [&] { Auction->Changed(); });
    resumeNext(lcBid, [&] { setState(SignInRequested); });
    resumeNext(lcBid, [&] { window().Navigate(signInUrl()); });
}

void BidSender::Send()
{
    // Once submitted, never again: a second request would be a second bid.
    if (m_state >= BidSubmitted)
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
    resumeNext(lcBid, [&] { Auction->SnipeState = OR2BidSending; });
    resumeNext(lcBid, [&] { Auction->Changed(); });
    resumeNext(lcBid, [&] { setState(BidSubmitted); });
    // A missing form is skipped: the attempt then waits for its time-out.
    resumeNext(lcBid, [&] { window().SubmitForm(reviewForm); });
}

void BidSender::Cancel()
{
    // A submitted bid may already stand at the site: wait for its answer and record that.
    if (m_state == BidSubmitted || m_state >= Succeeded)
        return;
    FinishFailure(Text::Cancelled);
}

void BidSender::mFrm_TimedOut()
{
    if (m_state < Succeeded)
        FinishFailure(Text::TimedOut);
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
        break;
    default:
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
    const QString page = PageText();
    if (contains(page, Marker::SignedOut)) {
        if (++m_signedOutRounds > MaxSignedOutRounds) {
            FinishFailure(Text::SignInPageUnexpected);
        } else {
            setState(SignInRequested);
            window().Navigate(signInUrl());
        }
    } else if (contains(page, Marker::SignInForm)) {
        BrowserWindow& browser = window();
        browser.SetFormValue(signInForm, QStringLiteral("userid"), m_settings.Username);
        browser.SetFormValue(signInForm, QStringLiteral("pass"), m_settings.Password);
        browser.SetFormValue(signInForm, QStringLiteral("keepMeSignInOption"), QStringLiteral("1"));
        setState(SignInSubmitted);
        browser.SubmitForm(signInForm);
    } else if (contains(page, Marker::UserIdInvalid)) {
        FinishFailure(Text::LoginRejected);
    } else if (contains(page, Marker::Unavailable)) {
        if (++m_signInReloads < MaxUnavailablePages)
            window().RefreshBrowser();
        else
            FinishFailure(Text::NoConnection);
    } else {
        FinishFailure(Text::SignInPageUnexpected);
    }
}

void BidSender::HandleSignInResult()
{
    const QString page = PageText();
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
    const QUrl bidHost = SiteEndpoints::base(SiteEndpoints::Bid);
    if (!window().LocationURL().contains(bidHost.authority(), Qt::CaseInsensitive))
        return;
    const QString page = PageText();
    if (contains(page, Marker::BidTooLow)) {
        FinishFailure(Text::BidTooLow);
    } else if (contains(page, Marker::Correction)) {
        FinishFailure(Text::Correction);
    } else if (contains(page, Marker::Review)) {
        Auction->SnipeState = OR2BidPrepared;
        Auction->Changed();
        setState(Holding);
        if (bSendNow)
            Send();
    } else if (contains(page, Marker::Ended)) {
        FinishFailure(Text::Ended);
    } else if (contains(page, Marker::Unavailable)) {
        if (++m_bidPageReloads < MaxUnavailablePages)
            window().RefreshBrowser();
        else
            FinishFailure(Text::NoConnection);
    } else {
        FinishFailure(Text::BidPageUnexpected);
    }
}

void BidSender::HandleConfirmPage()
{
    const QString page = PageText();
    if (contains(page, Marker::HighBidder))
        FinishSuccess();
    else if (contains(page, Marker::Outbid))
        FinishFailure(Text::Outbid);
    else if (contains(page, Marker::ReserveNotMet))
        FinishFailure(Text::ReserveNotMet);
    else if (contains(page, Marker::Ended))
        FinishFailure(Text::Ended);
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
    if (m_state >= Succeeded)
        return;
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
