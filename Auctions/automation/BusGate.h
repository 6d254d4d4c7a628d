#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QVariantList>
#include <exception>
#include <functional>

class QDBusContext;

// Calls that reach the program before it has loaded wait here, and are answered once it has: the bus
// objects are in place before the program's name is claimed, so that a call that comes with the name (a
// second start, a client that starts the program through the bus) finds its object, not an error.
class BusGate : public QObject
{
    Q_OBJECT
public:
    explicit BusGate(QObject* parent = nullptr);

    bool isOpen() const { return m_open; }
    // While the gate is closed: holds the call that `context` is delivering (its reply is delayed) and
    // returns true; `answer` runs when the gate opens and gives the reply's arguments. While it is open,
    // or for a call that did not come over the bus: returns false, and the caller answers at once.
    bool hold(QDBusContext& context, std::function<QVariantList()> answer);
    // Answers the calls held so far, in the order they came; later calls are answered at once. An answer
    // that throws gives an error reply.
    void open();

    // The error reply to `call` that carries the error's number and description. An error that is not the
    // model's keeps its text under number 0; running out of memory is the model's error 7.
    static QDBusMessage errorReply(const QDBusMessage& call, const std::exception& error);

private:
    struct Held
    {
        QDBusConnection bus;
        QDBusMessage call;
        std::function<QVariantList()> answer;
    };

    bool m_open = false;
    QList<Held> m_held;
};
