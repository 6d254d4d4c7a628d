#include "SiteEndpoints.h"

#include <array>

namespace {

struct Entry
{
    const char* variable;
    const char* defaultBase;
};

constexpr std::array<Entry, SiteEndpoints::EndpointCount> entries{{
    {"AUCTIONORV_SIGNIN_URL", "https://signin.ebay.com"},
    {"AUCTIONORV_BID_URL", "http://offer.ebay.com"},
    {"AUCTIONORV_ITEM_URL", "http://cgi.ebay.com"},
    {"AUCTIONORV_SITE_URL", "http://ebay.com"},
    {"AUCTIONORV_PROMOTION_URL", "http://pages.ebay.com"},
    {"AUCTIONORV_ADVERT_URL", "http://doubleclick.net"},
    {"AUCTIONORV_TIME_URL", "http://tycho.usno.navy.mil"},
    {"AUCTIONORV_DAYTIME_URL", "tcp://time.nist.gov:13"},
    {"AUCTIONORV_MAKER_URL", "http://www.auctionorv.org"},
    {"AUCTIONORV_NETTEST1_URL", "http://www.wikipedia.org"},
    {"AUCTIONORV_NETTEST2_URL", "http://www.debian.org"},
    {"AUCTIONORV_NETTEST3_URL", "http://www.ebay.com"},
}};

} // namespace

QString SiteEndpoints::environmentVariable(Endpoint endpoint)
{
    return QString::fromLatin1(entries.at(endpoint).variable);
}

QUrl SiteEndpoints::defaultBase(Endpoint endpoint)
{
    return QUrl(QString::fromLatin1(entries.at(endpoint).defaultBase));
}

QUrl SiteEndpoints::base(Endpoint endpoint)
{
    const QString value = qEnvironmentVariable(entries.at(endpoint).variable).trimmed();
    if (!value.isEmpty()) {
        const QUrl override(value, QUrl::StrictMode);
        if (override.isValid() && !override.scheme().isEmpty() && !override.host().isEmpty())
            return override;
    }
    return defaultBase(endpoint);
}

QUrl SiteEndpoints::url(Endpoint endpoint, const QString& pathAndQuery)
{
    QString text = base(endpoint).toString(QUrl::StripTrailingSlash);
    // A base given as "http://host/" keeps its root "/"; the path brings its own.
    while (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    return QUrl(text + pathAndQuery, QUrl::TolerantMode);
}

int SiteEndpoints::port(const QUrl& address)
{
    const QString scheme = address.scheme().toLower();
    return address.port(scheme == QLatin1String("https") ? 443 : scheme == QLatin1String("http") ? 80 : -1);
}

bool SiteEndpoints::isAt(Endpoint endpoint, const QUrl& address, bool schemeToo)
{
    const QUrl there = base(endpoint);
    return address.isValid() && !address.host().isEmpty() &&
           (!schemeToo || address.scheme().compare(there.scheme(), Qt::CaseInsensitive) == 0) &&
           address.host().compare(there.host(), Qt::CaseInsensitive) == 0 && port(address) == port(there);
}
