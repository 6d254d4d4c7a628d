#pragma once

#include "RemoteEnums.h"

#include <QObject>
#include <QString>
#include <memory>

namespace Remote {

class App;
class Backend;

// A client's link to the main program (the band's and the debug tool's application object). Creating
// it binds to the running program or starts it hidden, and holds the program open (every shut-down
// question is refused) for as long as the link lives; dropping it ends the hold. When the program ends
// while bound, the link says so (Lost, isBound false) and the replicas empty; the next command binds
// again. The band keeps its browser watcher beside the link.
class cApp : public QObject
{
    Q_OBJECT
public:
    // Bound on the session bus.
    explicit cApp(QObject* parent = nullptr);
    // Bound through `backend` (a test's fake), which the link owns.
    explicit cApp(std::unique_ptr<Backend> backend, QObject* parent = nullptr);
    ~cApp() override;

    // The main program's application object; empty replicas while unbound.
    Remote::App& App() const { return *m_app; }
    Remote::Backend& backend() const { return *m_backend; }
    bool isBound() const;
    BindState bindState() const;

    // The link's own state and status. Setting the same state does nothing; otherwise the state's text
    // becomes the status (AppCreated "Application Created", AppLoaded "Application Loaded.", AppStarted
    // "Application Started.", AppShuttingDown "Application Shutting Down..."; others leave it), then the
    // state is stored and StateChange raised.
    AppState State() const { return m_state; }
    void setState(AppState value);
    QString Status() const { return m_status; }
    // Raises StatusChange every time, also with the same text.
    void setStatus(const QString& text);

    // Binds again when unbound (also done by any command while unbound).
    void rebind();

    // The texts of a lost binding.
    static QString notReachedText();
    static QString endedText();

Q_SIGNALS:
    void StateChange(int State);
    void StatusChange(const QString& sStatus);
    // Bound to the program, its replicas filled.
    void Bound();
    // The program could not be reached or ended; `reason` is one of the texts above.
    void Lost(const QString& reason);

private:
    std::unique_ptr<Backend> m_backend;
    Remote::App* m_app;
    AppState m_state = AppNoState;
    QString m_status;
};

} // namespace Remote
