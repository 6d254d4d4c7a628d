#pragma once

#include <QObject>
#include <QString>

// The running instance's mailbox for a second start: the text it receives, "Show" asking for the main
// window. Exported on the session bus at OrvBus::handOverPath.
class HandOverReceiver : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.auctionorv.ORVAuctions.HandOver")
public:
    explicit HandOverReceiver(QObject* parent = nullptr);

public Q_SLOTS:
    // Takes the text at once and answers true; what it asks for happens later, outside the call.
    bool SetText(const QString& text);

Q_SIGNALS:
    void textChanged(const QString& text);
};
