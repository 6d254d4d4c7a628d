#pragma once

#include "RemoteAuctionRecord.h"
#include "RemoteBackend.h"
#include "RemoteCategoryRecord.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QStringList>
#include <memory>

namespace Remote {
class Clock;
}

// The main program as a test sets it up, in process and without a bus: categories, auctions,
// settings and the clock; changes reported when the test says; every command recorded as a readable
// line (Auctions.Remove("123")); a command made to fail with a given number and text. Binding is
// immediate unless the program is made unreachable.
//
// The commands that change the model do so here too, as the program would: Auctions.Add (refusing a
// duplicate with the program's text), Remove, SetCategory, SetDescription; Categorys.Remove (refusing the
// last category); Settings.SetFlag. Each change is reported like the program reports it. Every other
// command is only recorded.
class FakeBackend : public Remote::Backend
{
    Q_OBJECT
public:
    explicit FakeBackend(QObject* parent = nullptr);
    ~FakeBackend() override;

    // Set-up; after binding, each also reports the change.
    void addCategory(const QString& name, bool limited = false, qint32 maxWins = 1);
    void setCategories(const QList<Remote::CategoryRecord>& categories);
    // Adds or replaces the auction (by item number, letter case ignored).
    void putAuction(const Remote::AuctionRecord& auction);
    // Takes the auction out; the report carries it with Deleted set.
    void removeAuction(const QString& item);
    // Replaces the whole list: reported as Auctions.Updated, and the list then fetched.
    void replaceAuctions(const QList<Remote::AuctionRecord>& auctions);
    // Puts the auctions of category `from` (by its exact name) into `to` without reporting them, as the
    // program's category editor and remover move them; only the change of the categories is reported.
    void moveQuietly(const QString& from, const QString& to);
    // Whether fetching the auctions fails (auctionsFetchFailed) instead of answering.
    void setFetchFails(bool fails) { m_fetchFails = fails; }
    void setSetting(const QString& field, const QVariant& value);
    // What App.DataFolder answers.
    void setDataFolder(const QString& folder) { m_dataFolder = folder; }
    QVariantMap settings() const { return m_settings; }
    QList<Remote::AuctionRecord> auctions() const { return m_auctions; }
    QList<Remote::CategoryRecord> categories() const { return m_categories; }

    // The site clock: `clock` reads the fake's time from now on, and the site time is `siteNow` until
    // moved on.
    void pinClock(Remote::Clock& clock);
    void setSiteTime(const QDateTime& siteNow);
    void advanceSiteTime(qint64 seconds);
    QDateTime siteTime() const { return *m_siteNow; }

    // Hands on a report of the program as it stands ("BidManager", "StateChange", {4}).
    void report(const QString& object, const QString& name, const QVariantList& args = {});

    // Whether binding finds the program; a bind while unreachable is lost with the link's text.
    void setReachable(bool reachable) { m_reachable = reachable; }
    // The program ends while bound.
    void endProgram();
    int bindCount() const { return m_bindCount; }

    // The commands called so far, one line each: Object.Method("text", 5, true, ["a", "b"]).
    QStringList calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }
    // Makes every later call of `command` ("Auctions.Add") fail with this number and text.
    void failCommand(const QString& command, qint32 number, const QString& description);
    void clearFailures() { m_failures.clear(); }

    void bind() override;
    QVariant call(const QString& object, const QString& method, const QVariantList& args = {}) override;
    void fetchAuctions() override;
    void setHold(bool held) override;
    bool isHeld() const override { return m_held; }

    // How the fake writes one argument in a recorded line.
    static QString argumentText(const QVariant& value);

private:
    QVariantMap snapshot() const;
    QVariantMap clockReport() const;
    QVariantList categoryList() const;
    qsizetype indexOf(const QString& item) const;
    // Reports the record as changed and answers with it, as the program does.
    QVariantMap reportAuction(const Remote::AuctionRecord& auction);
    QVariant perform(const QString& object, const QString& method, const QVariantList& args);
    bool isBound() const { return bindState() == Remote::Bound; }

    QList<Remote::CategoryRecord> m_categories;
    QList<Remote::AuctionRecord> m_auctions;
    QVariantMap m_settings;
    QString m_dataFolder;
    std::shared_ptr<QDateTime> m_siteNow;
    qulonglong m_serial = 0;
    bool m_reachable = true;
    bool m_fetchFails = false;
    bool m_held = false;
    int m_bindCount = 0;
    QStringList m_calls;
    QHash<QString, std::pair<qint32, QString>> m_failures;
};
