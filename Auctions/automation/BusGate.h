#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QVariantList>
#include <exception>
#include <functional>
#include <optional>

class QDBusContext;

// Every call of a client waits here and is answered on a later turn of the event loop, one call per turn
// and the clients in turn: however many calls arrive together, the heartbeat and the other clients come
// between two answers of one client. The bus objects are in place before the program's name is claimed,
// so that a call that comes with the name (a second start, a client that starts the program through the
// bus) finds its object; the calls that come before the program has loaded are answered once it has. A
// call whose client has left the bus by the time its turn comes is dropped unanswered.
class BusGate : public QObject
{
    Q_OBJECT
public:
    explicit BusGate(QObject* parent = nullptr);

    bool isOpen() const { return m_open; }
    // For a call that came over the bus from another connection: holds the call that `context` is delivering
    // (its reply is delayed) and returns true; `answer` runs on its turn and gives the reply's arguments. For
    // a call that did not come over the bus, or one of the program to itself: returns false, and the caller
    // answers at once.
    // When `ready` is given, each turn of the call first runs it: a bounded piece of the work the answer
    // needs, true once the answer can be given in this turn; until then the call waits behind the others.
    bool hold(QDBusContext& context, std::function<QVariantList()> answer, std::function<bool()> ready = {});
    // From now on the held calls are answered one per turn, each client's in the order they came and the
    // clients in turn. An answer that throws gives an error reply.
    void open();
    // Calls waiting for their turn.
    qsizetype heldCount() const { return m_held.size(); }

    // The error reply to `call` that carries the error's number and description. An error that is not the
    // model's keeps its text under number 0; running out of memory is the model's error 7.
    static QDBusMessage errorReply(const QDBusMessage& call, const std::exception& error);

private:
    struct Held
    {
        QDBusConnection bus;
        QDBusMessage call;
        std::function<QVariantList()> answer;
        std::function<bool()> ready;
        bool watched = false;
    };

    void answerNext();
    void watch(const QDBusConnection& bus, const QString& client);
    void dropCallsOf(const QString& client);
    void dropCallsIfGone(const QString& client);

    bool m_open = false;
    // In the order they came; m_rotation holds each client with calls here once, the next to answer first.
    QList<Held> m_held;
    QStringList m_rotation;
    QTimer m_turn;
    // Clients with calls waiting behind others, watched so that their calls go when they leave.
    std::optional<QDBusServiceWatcher> m_watcher;
    QHash<QString, int> m_watched;
};
