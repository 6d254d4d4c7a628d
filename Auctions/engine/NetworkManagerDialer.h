#pragma once

#include "Dialer.h"

#include <QDBusConnection>
#include <QList>
#include <QTimer>
#include <functional>
#include <utility>

class QDBusError;
class QDBusObjectPath;

// The dial-up control on NetworkManager: its connection profiles are the entries, a dial activates the
// profile of that name, and the activated and deactivated states of the activation give OnConnect and
// OnDisconnect. Every call is asynchronous. Without NetworkManager on the bus the entry list is empty
// and a dial reports an error.
class NetworkManagerDialer : public Dialer
{
    Q_OBJECT
public:
    static constexpr int DefaultTimeoutMs = 60'000;

    // The codes of OnError.
    enum ErrorCode
    {
        NotAvailable = 1,     // NetworkManager does not answer
        NoSuchEntry = 2,      // no profile has the entry's name
        ActivationFailed = 3, // NetworkManager refused or gave up the activation
    };

    // Talks to NetworkManager on `bus`: the system bus in the program, a private one in tests.
    explicit NetworkManagerDialer(const QDBusConnection& bus, QObject* parent = nullptr);
    ~NetworkManagerDialer() override;

    int ConnectionState() const override { return m_state; }
    void setEntryName(const QString& name) override { m_entryName = name; }
    void Dial() override;
    // As NetworkManager last listed them: at creation, whenever a profile comes or goes, and at each dial.
    QStringList entries() const override;
    // Starts NetworkManager's connection editor on a new profile.
    bool CreateEntry() override;

    // How long a dial may take before OnTimeout; applies from the next Dial on.
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

private:
    // A profile's object path and its name.
    using Entry = std::pair<QString, QString>;
    using Listed = std::function<void(const QList<Entry>& entries, const QDBusError& error)>;

    // Lists the profiles into the entry list (EntriesChanged when its names change), then hands the list
    // (or the error) to `done`.
    void refreshEntries(const Listed& done = {});
    void nameProfiles(quint64 listing, const QList<QDBusObjectPath>& paths, const Listed& done);
    void activate(quint64 attempt, const QString& profilePath, const QString& name);
    // Listens to the activation at `activePath` and reads its state as it stands.
    void follow(quint64 attempt, const QString& activePath);
    void unfollow();
    void setEntries(const QList<Entry>& entries);
    void activeState(uint state);
    void fail(int code, const QString& description);
    void timedOut();

private Q_SLOTS:
    void activeStateChanged(uint state, uint reason);
    void profilesChanged();

private:
    QDBusConnection m_bus;
    QList<Entry> m_entries;
    quint64 m_listing = 0;
    int m_state = NoConnection;
    QString m_entryName;
    QString m_dialledName;
    // Each Dial is one attempt; what arrives for an earlier one is ignored.
    quint64 m_attempt = 0;
    QString m_activePath;
    QTimer m_timeout;
    int m_timeoutMs = DefaultTimeoutMs;
};
