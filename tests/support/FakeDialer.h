#pragma once

#include "Dialer.h"

// A dial-up control that records each dial and reports whatever a test tells it; a dial leaves it in the
// dialling state until the test reports the outcome.
class FakeDialer : public Dialer
{
public:
    int ConnectionState() const override { return state; }
    void setEntryName(const QString& name) override { entryName = name; }
    void Dial() override
    {
        dialled << entryName;
        state = Dialling;
    }
    QStringList entries() const override { return entryList; }
    bool CreateEntry() override
    {
        ++createRequests;
        return true;
    }

    void reportConnected()
    {
        state = Connected;
        Q_EMIT OnConnect();
    }
    void reportDisconnected()
    {
        state = Disconnected;
        Q_EMIT OnDisconnect();
    }
    void reportTimeout()
    {
        state = Disconnected;
        Q_EMIT OnTimeout();
    }
    // A new list of entries, as after the user saved one in the system's editor.
    void listEntries(const QStringList& names)
    {
        entryList = names;
        Q_EMIT EntriesChanged();
    }
    void reportError(int code, const QString& description)
    {
        state = Disconnected;
        Q_EMIT OnError(code, description);
    }

    int state = NoConnection;
    QString entryName;
    QStringList dialled; // the entry name of each dial, in order
    QStringList entryList;
    int createRequests = 0;
};
