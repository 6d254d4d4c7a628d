#pragma once

#include "IBrowserHost.h"
#include "RemoteCategoryRecord.h"
#include "RemoteError.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <optional>

namespace Remote {
class Auctions;
class Updaters;
} // namespace Remote

// The band's browser watcher: whether the browser shows an auction's item page, navigation for the
// band, and adding the auction being viewed, either from the page already shown (on the site's own
// domain) or by queueing its download.
class cBrowser : public QObject
{
    Q_OBJECT
public:
    // The outcome of AddAuction: no error on success.
    using AddHandler = std::function<void(const std::optional<Remote::Error>& failure)>;

    // How long the shown page may take to be read before the addition fails.
    static constexpr int PageReadTimeoutMs = 15000;
    // The longest page text handed to the program's reader, which reads no more.
    static constexpr qsizetype MaxPageChars = 8 * 1024 * 1024;

    explicit cBrowser(QObject* parent = nullptr);
    ~cBrowser() override;

    bool ViewingAuction() const { return m_viewing; }
    void setViewingAuction(bool value);

    IBrowserHost* IE() const { return m_ie; }
    // Watches `browser` (none: stops watching) and judges the page it already shows at once.
    void setIE(IBrowserHost* browser);

    void Navigate(const QString& sURL);

    // Adds the auction shown in the browser to `auctions` in `category`: from the shown page when it is
    // on the site's own domain, otherwise by queueing a download. `done` runs once with the outcome, on
    // this thread, possibly before this returns; never when `context` is gone by then. An addition
    // already running refuses a second one.
    void AddAuction(Remote::Auctions& auctions, const std::optional<Remote::CategoryRecord>& category,
                    Remote::Updaters& updaters, QObject* context, AddHandler done);
    bool isAdding() const { return m_pending.has_value(); }
    // How long a shown page may take to be read (PageReadTimeoutMs unless set).
    void setPageReadTimeout(int ms) { m_readTimeout.setInterval(ms); }

    // The tests on an address, letter case ignored (the item page and its item: ItemLinks).
    static bool IsAdOrBlank(const QString& sURL);
    // Whether the address's host is the site's domain or a host under it.
    static bool IsSiteDomain(const QUrl& url);

    static QString notFoundText();
    static QString noCategoryText();

Q_SIGNALS:
    void Viewing(bool bViewing);

private:
    struct Pending
    {
        QPointer<Remote::Auctions> auctions;
        QPointer<Remote::Updaters> updaters;
        QPointer<QObject> context;
        AddHandler done;
        QString item;
        QString category;
        QUrl address;
    };

    void IE_Navigated(const QUrl& url);
    void pageRead(quint64 serial, const IBrowserHost::ShownPage& page);
    void finish(const std::optional<Remote::Error>& failure);
    // Removes the auction just added again after a failure; a failing removal is logged.
    static void takeBack(Remote::Auctions* auctions, const QString& item);

    QPointer<IBrowserHost> m_ie;
    bool m_viewing = false;
    std::optional<Pending> m_pending;
    quint64 m_serial = 0;
    QTimer m_readTimeout;
};
