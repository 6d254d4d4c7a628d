#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

// Every host the system talks to. Each has a compiled-in default and can be overridden by an
// environment variable holding a whole base address (scheme, host and port), which is how the tests
// point the system at loopback servers.
class SiteEndpoints
{
    Q_GADGET
public:
    enum Endpoint
    {
        SignIn,     // the site's sign-in host
        Bid,        // the site's bid host
        ItemPage,   // the site's item-page host
        SiteDomain, // the site's domain, for the band's own-site test
        Promotion,  // the site's promotion host (frames the band ignores)
        Advert,     // the advertising network's domain (frames the band ignores)
        TimePage,   // the public time page
        Daytime,    // the public daytime service (TCP port 13)
        Maker,      // the maker's web site (version check, download page)
        NetTest1,   // connection test: a large web portal
        NetTest2,   // connection test: a web-mail service
        NetTest3,   // connection test: the auction site's main host
        EndpointCount
    };
    Q_ENUM(Endpoint)

    // The base address in force: the override when its variable is set and valid, else the default.
    static QUrl base(Endpoint endpoint);
    // base() with `pathAndQuery` appended as it stands (no encoding), e.g.
    // "/ws/eBayISAPI.dll?ViewItem&item=1".
    static QUrl url(Endpoint endpoint, const QString& pathAndQuery);
    static QUrl defaultBase(Endpoint endpoint);
    static QString environmentVariable(Endpoint endpoint);

    // The port `address` reaches: its own, else its scheme's (80 for http, 443 for https, else -1).
    static int port(const QUrl& address);
    // Whether `address` is on the endpoint's host and port (letter case ignored), and its scheme too
    // unless `schemeToo` is false.
    static bool isAt(Endpoint endpoint, const QUrl& address, bool schemeToo = true);
};
