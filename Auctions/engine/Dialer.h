#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The dial-up control: names the entries that can be dialled, dials one, and reports the outcome by
// signal. It lives as long as the application, whoever happens to be listening.
class Dialer : public QObject
{
    Q_OBJECT
public:
    // Connection states: no connection yet, a dial under way, connected, and disconnected again.
    static constexpr int NoConnection = -1;
    static constexpr int Dialling = 0;
    static constexpr int Connected = 8192;
    static constexpr int Disconnected = 8193;

    using QObject::QObject;

    virtual int ConnectionState() const = 0;
    // The entry that Dial dials.
    virtual void setEntryName(const QString& name) = 0;
    // Returns at once; the outcome comes by OnConnect, OnError or OnTimeout.
    virtual void Dial() = 0;
    // The names of the entries that can be dialled.
    virtual QStringList entries() const = 0;
    // Opens the system's own editor for a new entry; false when there is none. The entry shows in
    // entries() once the user has saved it.
    virtual bool CreateEntry() { return false; }

Q_SIGNALS:
    void OnConnect();
    void OnDisconnect();
    void OnTimeout();
    void OnError(int code, const QString& description);
    // The list of entries has changed.
    void EntriesChanged();
};
