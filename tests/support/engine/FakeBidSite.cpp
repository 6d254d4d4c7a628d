#include "FakeBidSite.h"

namespace {

const QString isapiPath = QStringLiteral("/ws/eBayISAPI.dll");
const QString sessionCookie = QStringLiteral("session");

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

} // namespace

FakeBidSite::FakeBidSite(QObject* parent) : QObject(parent), m_confirmation(highBidderPage())
{
    const FakeSite::Handler handler = [this](const FakeSite::Request& request) { return answer(request); };
    m_site.setDefaultHandler(SiteEndpoints::SignIn, handler);
    m_site.setDefaultHandler(SiteEndpoints::Bid, handler);
}

bool FakeBidSite::start()
{
    if (!m_site.listen({SiteEndpoints::SignIn, SiteEndpoints::Bid}))
        return false;
    m_site.exportEnvironment();
    return true;
}

void FakeBidSite::queue(Step step, const FakeSite::Response& response)
{
    m_queued[step].append(response);
}

FakeBidSite::Step FakeBidSite::stepOf(const FakeSite::Request& request)
{
    if (request.path != isapiPath)
        return OtherRequest;
    const bool post = request.method == "POST";
    if (request.role == SiteEndpoints::SignIn) {
        if (post)
            return SignInResult;
        return request.query.hasQueryItem(QStringLiteral("SignIn")) ? SignInPage : OtherRequest;
    }
    if (request.role == SiteEndpoints::Bid) {
        if (post)
            return Confirmation;
        return request.query.queryItemValue(QStringLiteral("MfcISAPICommand")) == QLatin1String("MakeBid")
                   ? BidPage
                   : OtherRequest;
    }
    return OtherRequest;
}

QList<FakeSite::Request> FakeBidSite::requests(Step step) const
{
    QList<FakeSite::Request> found;
    for (const FakeSite::Request& request : m_site.requests()) {
        if (stepOf(request) == step)
            found.append(request);
    }
    return found;
}

FakeSite::Response FakeBidSite::answer(const FakeSite::Request& request)
{
    const Step step = stepOf(request);
    QList<FakeSite::Response>& queued = m_queued[step];
    if (!queued.isEmpty())
        return queued.takeFirst();
    return ordinary(step, request);
}

FakeSite::Response FakeBidSite::ordinary(Step step, const FakeSite::Request& request) const
{
    const bool signedIn = request.cookies.value(sessionCookie) == m_session;
    switch (step) {
    case SignInPage:
        return page(QStringLiteral("Sign In"),
                    QStringLiteral("<h1>Sign in</h1>"
                                   "<form name=\"SignInForm\" method=\"post\" "
                                   "action=\"/ws/eBayISAPI.dll?co_partnerId=2&amp;siteid=0\">"
                                   "<p>eBay User ID <input type=\"text\" name=\"userid\"></p>"
                                   "<p>Password <input type=\"password\" name=\"pass\"></p>"
                                   "<input type=\"hidden\" name=\"keepMeSignInOption\" value=\"\">"
                                   "<input type=\"submit\" value=\"Sign In\"></form>"));
    case SignInResult:
        if (request.form.value(QStringLiteral("userid")) != Username ||
            request.form.value(QStringLiteral("pass")) != Password)
            return page(QStringLiteral("Sign In"),
                        QStringLiteral("<p>Your sign in information is not valid. Please try again.</p>"));
        return page(QStringLiteral("My eBay"),
                    QStringLiteral("<h1>My eBay</h1><p>Hello, %1.</p>").arg(escaped(Username)))
            .withCookie((sessionCookie + QLatin1Char('=') + m_session + QStringLiteral("; Path=/")).toUtf8());
    case BidPage: {
        if (!signedIn)
            return page(QStringLiteral("Sign In"), QStringLiteral("<p>Please sign in to bid.</p>"));
        const QString item = escaped(request.query.queryItemValue(QStringLiteral("item")));
        const QString maxbid = escaped(request.query.queryItemValue(QStringLiteral("maxbid")));
        const QString quant = escaped(request.query.queryItemValue(QStringLiteral("quant")));
        return page(
            QStringLiteral("Review and Confirm Bid"),
            QStringLiteral("<h1>Review and Confirm Bid</h1><p>Item %1: your maximum bid is US $%2.</p>"
                           "<form name=\"PlaceBid\" method=\"post\" action=\"/ws/eBayISAPI.dll\">"
                           "<input type=\"hidden\" name=\"MfcISAPICommand\" value=\"AcceptBid\">"
                           "<input type=\"hidden\" name=\"item\" value=\"%1\">"
                           "<input type=\"hidden\" name=\"maxbid\" value=\"%2\">"
                           "<input type=\"hidden\" name=\"quant\" value=\"%3\">"
                           "<input type=\"submit\" value=\"Confirm Bid\"></form>")
                .arg(item, maxbid, quant));
    }
    case Confirmation:
        if (!signedIn)
            return page(QStringLiteral("Sign In"), QStringLiteral("<p>Please sign in to bid.</p>"));
        return m_confirmation;
    case OtherRequest:
        break;
    }
    return FakeSite::Response::error(404);
}

FakeSite::Response FakeBidSite::page(const QString& title, const QString& body)
{
    return FakeSite::Response::page(
        QStringLiteral("<html><head><title>%1</title></head><body>%2</body></html>")
            .arg(title, body)
            .toUtf8());
}

FakeSite::Response FakeBidSite::signedOutPage()
{
    return page(QStringLiteral("Signed Out"), QStringLiteral("<h1>You Have Signed Out</h1>"));
}

FakeSite::Response FakeBidSite::userIdInvalidPage()
{
    return page(QStringLiteral("Sign In"), QStringLiteral("<p>The User ID is not valid.</p>"));
}

FakeSite::Response FakeBidSite::unavailablePage()
{
    return page(QStringLiteral("Unavailable"),
                QStringLiteral("<p>The page might be temporarily unavailable.</p>"));
}

FakeSite::Response FakeBidSite::bidTooLowPage()
{
    return page(QStringLiteral("Place a Bid"), QStringLiteral("<p>Your bid must be at least US $30.00.</p>"));
}

FakeSite::Response FakeBidSite::correctionPage()
{
    return page(QStringLiteral("Place a Bid"),
                QStringLiteral("<p>The following must be corrected: quantity.</p>"));
}

FakeSite::Response FakeBidSite::auctionEndedPage()
{
    return page(QStringLiteral("Bidding Closed"), QStringLiteral("<p>Auction ended.</p>"));
}

FakeSite::Response FakeBidSite::highBidderPage()
{
    return page(QStringLiteral("Bid Confirmation"),
                QStringLiteral("<h1>You are the current high bidder</h1>"));
}

FakeSite::Response FakeBidSite::outbidPage()
{
    return page(QStringLiteral("Bid Confirmation"), QStringLiteral("<h1>You have been outbid</h1>"));
}

FakeSite::Response FakeBidSite::reserveNotMetPage()
{
    return page(QStringLiteral("Bid Confirmation"),
                QStringLiteral("<p>You are the high bidder, but the reserve price has not been met.</p>"));
}
