#pragma once

#include "BusSnapshotRecord.h"
#include "RemoteAuctionRecord.h"
#include "RemoteEnums.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

namespace Remote {

// How the client's replicas reach the main program: on the session bus (BusBackend) or, in widget
// tests, an in-process fake. The replicas (Remote::App and the collections under it) keep the data;
// a backend only fetches snapshots, carries commands and hands on what the program reports.
//
// What it hands on, by object and name, with its arguments:
//   App         StateChange(int), StatusChange(QString), ErrorMessage(QString)
//   Auctions    AuctionChanged(QVariantMap record, qulonglong serial), Updated()
//   Categorys   Updated(QVariantList records)
//   Settings    Updated(QVariantMap settings)
//   Clock       Updated(QVariantMap clock), StatusChange(QString), StateChanged(int)
//   BidManager  StateChange(int), StatusChange(QString)
//   Updaters    UpdaterChanged(int state, QString item), StateChanged(int), StatusChange(QString)
//   NetManager  StatusChange(QString)
// Serials grow with every report of the program; a record older than what a replica holds is stale.
class Backend : public QObject
{
    Q_OBJECT
public:
    explicit Backend(QObject* parent = nullptr);
    ~Backend() override;

    BindState bindState() const { return m_bindState; }

    // Binds to the main program, starting it hidden when it is not running, without waiting: `bound`
    // or `lost` tells the outcome. Does nothing while binding or bound.
    virtual void bind() = 0;
    // A command of one of the program's objects ("Auctions", "Remove", {item}); waits for the answer
    // without running an event loop. A refusal of the model throws Error with the model's number and
    // description; while unbound it throws Error::NotRunning and starts binding again.
    virtual QVariant call(const QString& object, const QString& method, const QVariantList& args = {}) = 0;
    // Asks for the whole auction list again without waiting; `auctionsFetched` answers.
    virtual void fetchAuctions() = 0;
    // Holds the program open (it refuses to shut down) while held and bound; the hold is taken again
    // after a new binding.
    virtual void setHold(bool held) = 0;
    virtual bool isHeld() const = 0;

Q_SIGNALS:
    // Bound: the whole first snapshot.
    void bound(const Bus::SnapshotRecord& snapshot);
    // Binding failed, or the program ended while bound; `reason` says which, for the user.
    void lost(const QString& reason);
    void received(const QString& object, const QString& name, const QVariantList& args);
    void auctionsFetched(const QList<Remote::AuctionRecord>& records, qulonglong serial);
    // The program did not give the list asked for by fetchAuctions.
    void auctionsFetchFailed();
    // The program took the hold (true), or it ended with the binding (false).
    void holdChanged(bool held);

protected:
    // Stores the state and announces a change.
    void setBindState(BindState state);

private:
    BindState m_bindState = Unbound;
};

} // namespace Remote
