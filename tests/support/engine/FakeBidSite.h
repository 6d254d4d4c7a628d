#pragma once

#include "FakeSite.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

// The site's sign-in and bid exchange on a FakeSite, with the sign-in and bid hosts on ports of their own:
//
//   sign-in host  GET  /ws/eBayISAPI.dll?SignIn      the sign-in page, form "SignInForm" (userid, pass and a
//                                                     hidden keepMeSignInOption)
//                 POST /ws/eBayISAPI.dll?...         the sign-in result: "My eBay" and a session cookie when
//                                                     userid and pass match Username and Password, else the
//                                                     "not valid" page
//   bid host      GET  /ws/eBayISAPI.dll?MfcISAPICommand=MakeBid&...
//                                                     with the session cookie, the review page with form
//                                                     "PlaceBid" carrying the bid in hidden inputs; without
//                                                     it, a page asking to sign in
//                 POST /ws/eBayISAPI.dll              the confirmation (setConfirmation; the high-bidder page
//                                                     by default)
//
// Any step can answer otherwise for its next requests (queue), e.g. two unavailable pages, then the real
// one. Every request is recorded by the underlying FakeSite with its time.
class FakeBidSite : public QObject
{
    Q_OBJECT
public:
    enum Step
    {
        SignInPage,
        SignInResult,
        BidPage,
        Confirmation,
        OtherRequest
    };
    Q_ENUM(Step)

    explicit FakeBidSite(QObject* parent = nullptr);

    // Listens on the sign-in and bid ports and points the system's endpoints at them.
    bool start();
    FakeSite& site() { return m_site; }

    QString Username = QStringLiteral("bob");
    QString Password = QStringLiteral("s3cret");

    // The next request of `step` gets `response` instead of the ordinary page; queued answers go in order.
    void queue(Step step, const FakeSite::Response& response);
    void setConfirmation(const FakeSite::Response& response) { m_confirmation = response; }

    static Step stepOf(const FakeSite::Request& request);
    QList<FakeSite::Request> requests(Step step) const;

    // A page with the given title and body.
    static FakeSite::Response page(const QString& title, const QString& body);
    // The site's own pages for each outcome.
    static FakeSite::Response signedOutPage();
    static FakeSite::Response userIdInvalidPage();
    static FakeSite::Response unavailablePage();
    static FakeSite::Response bidTooLowPage();
    static FakeSite::Response correctionPage();
    static FakeSite::Response auctionEndedPage();
    static FakeSite::Response highBidderPage();
    static FakeSite::Response outbidPage();
    static FakeSite::Response reserveNotMetPage();

private:
    FakeSite::Response answer(const FakeSite::Request& request);
    FakeSite::Response ordinary(Step step, const FakeSite::Request& request) const;

    FakeSite m_site;
    QHash<Step, QList<FakeSite::Response>> m_queued;
    FakeSite::Response m_confirmation;
    QString m_session = QStringLiteral("s-4711");
};
