#include "cBrowser.h"

#include "BandLog.h"
#include "ItemLinks.h"
#include "RemoteAuctions.h"
#include "RemoteUpdaters.h"
#include "SiteEndpoints.h"

namespace {

// The same document: the address without its fragment.
bool sameDocument(const QUrl& a, const QUrl& b)
{
    return a.adjusted(QUrl::RemoveFragment) == b.adjusted(QUrl::RemoveFragment);
}

} // namespace

cBrowser::cBrowser(QObject* parent) : QObject(parent)
{
    m_readTimeout.setSingleShot(true);
    m_readTimeout.setInterval(PageReadTimeoutMs);
    connect(&m_readTimeout, &QTimer::timeout, this, [this] {
        qCWarning(lcBand) << "the shown page was not read in time";
        finish(Remote::Error(Remote::Error::Refused, notFoundText()));
    });
}

cBrowser::~cBrowser() = default;

QString cBrowser::notFoundText()
{
    return QStringLiteral("The Auction was not Found or is not Available.");
}

QString cBrowser::noCategoryText()
{
    return QStringLiteral("Cannot Add Auction.  Select the category to add it to first.");
}

void cBrowser::setViewingAuction(bool value)
{
    if (value == m_viewing)
        return;
    m_viewing = value;
    Q_EMIT Viewing(value);
}

void cBrowser::setIE(IBrowserHost* browser)
{
    if (m_ie)
        disconnect(m_ie, nullptr, this, nullptr);
    m_ie = browser;
    if (!browser)
        return;
    // Frames and the top page alike: the frame flag is not looked at.
    connect(browser, &IBrowserHost::navigateComplete, this,
            [this](const QUrl& url, bool) { IE_Navigated(url); });
    connect(browser, &IBrowserHost::documentComplete, this,
            [this](const QUrl& url, bool) { IE_Navigated(url); });
    // The page shown before the band was shown counts too.
    IE_Navigated(browser->url());
}

void cBrowser::IE_Navigated(const QUrl& url)
{
    const QString address = url.toString();
    if (ItemLinks::isItemPage(address))
        setViewingAuction(true);
    else if (!(m_viewing && IsAdOrBlank(address)))
        setViewingAuction(false);
}

void cBrowser::Navigate(const QString& sURL)
{
    if (m_ie)
        m_ie->navigate(QUrl(sURL, QUrl::TolerantMode));
    else
        qCWarning(lcBand) << "no browser to open" << sURL;
}

bool cBrowser::IsAdOrBlank(const QString& sURL)
{
    const QString promotion = SiteEndpoints::base(SiteEndpoints::Promotion).host();
    const QString advert = SiteEndpoints::base(SiteEndpoints::Advert).host();
    return (!promotion.isEmpty() && sURL.contains(promotion, Qt::CaseInsensitive)) ||
           (!advert.isEmpty() && sURL.contains(advert, Qt::CaseInsensitive)) ||
           sURL.contains(QLatin1String("blank"), Qt::CaseInsensitive);
}

bool cBrowser::IsSiteDomain(const QUrl& url)
{
    // The host itself, never the text of the whole address: a foreign page that mentions the domain in
    // its path or query is not the site's page.
    const QString domain = SiteEndpoints::base(SiteEndpoints::SiteDomain).host().toLower();
    const QString scheme = url.scheme().toLower();
    if (domain.isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return false;
    const QString host = url.host().toLower();
    return host == domain || host.endsWith(QLatin1Char('.') + domain);
}

void cBrowser::AddAuction(Remote::Auctions& auctions, const std::optional<Remote::CategoryRecord>& category,
                          Remote::Updaters& updaters, QObject* context, AddHandler done)
{
    auto fail = [&done](const Remote::Error& error) { done(error); };
    if (m_pending) {
        qCWarning(lcBand) << "an auction is being added already";
        return;
    }
    const QUrl address = m_ie ? m_ie->url() : QUrl();
    const QString text = address.toString();
    // Only an item page with a valid item number: a page that merely kept the viewing flag (an advert,
    // a blank frame) has no item of its own.
    const QString item = ItemLinks::itemFromDrop(text);
    if (item.isEmpty())
        return fail(Remote::Error(Remote::Error::Refused, notFoundText()));
    if (auctions.Exists(item)) {
        const QString existing = auctions.Item(item) ? auctions.Item(item)->Category : QString();
        return fail(Remote::Error(Remote::Error::Refused, QStringLiteral("Cannot Add Auction.  Item ") +
                                                              item +
                                                              QStringLiteral(" already exists in category ") +
                                                              existing + QStringLiteral(".")));
    }
    if (!category)
        return fail(Remote::Error(Remote::Error::Refused, noCategoryText()));

    if (!IsSiteDomain(address)) {
        try {
            auctions.Add(item, category->Name);
        } catch (const Remote::Error& error) {
            return fail(error);
        }
        try {
            auctions.SetDescription(item, QStringLiteral("Downloading New Auction..."));
            updaters.DownloadItem(item);
        } catch (const Remote::Error& error) {
            takeBack(&auctions, item);
            return fail(error);
        }
        done(std::nullopt);
        return;
    }

    // The page is read before the auction is added, so that a page that never answers leaves nothing
    // behind.
    m_pending = Pending{&auctions, &updaters, context, std::move(done), item, category->Name, address};
    const quint64 serial = ++m_serial;
    m_readTimeout.start();
    m_ie->grabShownPage(this,
                        [this, serial](const IBrowserHost::ShownPage& page) { pageRead(serial, page); });
}

void cBrowser::pageRead(quint64 serial, const IBrowserHost::ShownPage& page)
{
    if (!m_pending || serial != m_serial)
        return;
    m_readTimeout.stop();
    // Nobody waits for the outcome any more (the band was hidden): nothing is added.
    if (!m_pending->context) {
        m_pending.reset();
        return;
    }
    Remote::Auctions* auctions = m_pending->auctions;
    Remote::Updaters* updaters = m_pending->updaters;
    const QString item = m_pending->item;
    if (!auctions || !updaters)
        return finish(Remote::Error(Remote::Error::NotRunning, Remote::Error::notRunningText()));
    // The page read must be the one that was judged: the browser may have moved on meanwhile.
    const QString text = QStringLiteral("<TITLE>") + page.title + QStringLiteral("</TITLE>") +
                         QStringLiteral("<BODY>") + page.body + QStringLiteral("</BODY>");
    if (!page.ok || !sameDocument(page.address, m_pending->address) || text.size() > MaxPageChars) {
        qCWarning(lcBand) << "the shown page could not be taken:" << page.ok << page.address << text.size();
        return finish(Remote::Error(Remote::Error::Refused, notFoundText()));
    }
    try {
        auctions->Add(item, m_pending->category);
    } catch (const Remote::Error& error) {
        return finish(error);
    }
    try {
        updaters->Parse(item, text);
    } catch (const Remote::Error& error) {
        takeBack(auctions, item);
        // The reader's refusal of a page that is no item page reads as the user's text; anything else
        // keeps its own.
        return finish(error.number() == Remote::Error::Refused
                          ? Remote::Error(Remote::Error::Refused, notFoundText())
                          : error);
    }
    finish(std::nullopt);
}

void cBrowser::finish(const std::optional<Remote::Error>& failure)
{
    m_readTimeout.stop();
    if (!m_pending)
        return;
    Pending pending = std::move(*m_pending);
    m_pending.reset();
    if (pending.context && pending.done)
        pending.done(failure);
}

void cBrowser::takeBack(Remote::Auctions* auctions, const QString& item)
{
    if (!auctions)
        return;
    try {
        auctions->Remove(item);
    } catch (const Remote::Error& error) {
        qCWarning(lcBand) << "could not remove the auction" << item << "again:" << error.description();
    }
}
