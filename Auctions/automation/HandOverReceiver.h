#pragma once

#include <QDBusContext>
#include <QObject>
#include <QString>

class BusGate;

// The running instance's mailbox for a second start: the text it receives, "Show" asking for the main
// window. Exported on the session bus at OrvBus::handOverPath.
class HandOverReceiver : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.auctionorv.ORVAuctions.HandOver")
public:
    // Until `gate` opens, texts wait there; without a gate they are taken at once.
    explicit HandOverReceiver(BusGate* gate = nullptr, QObject* parent = nullptr);

    // The longest text the mailbox takes.
    static constexpr qsizetype MaxTextLength = 255;

public Q_SLOTS:
    // Takes the text and answers true; what it asks for happens later, outside the call.
    bool SetText(const QString& text);

Q_SIGNALS:
    void textChanged(const QString& text);

private:
    BusGate* m_gate;
};
