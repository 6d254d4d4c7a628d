#pragma once

#include "RemoteEnums.h"

#include <QObject>
#include <QStringList>

namespace Remote {

class Backend;

// The main program's download queue, and its item-page reader for a page that a client already shows.
class Updaters : public QObject
{
    Q_OBJECT
public:
    explicit Updaters(Backend& backend, QObject* parent = nullptr);

    sfBusyState State() const { return m_state; }
    // A new batch of the one auction, or of the given ones in their order (a running batch is cancelled).
    void DownloadItem(const QString& sItem);
    void DownloadItems(const QStringList& items);
    void Cancel();
    // The program's Updater.Parse: fills the auction from the page text ("<TITLE>...</TITLE><BODY>...
    // </BODY>"); a page that is no item page is refused with error 11.
    void Parse(const QString& sItem, const QString& sPage);

    // The replica's side.
    void takeState(int state);
    void takeStatus(const QString& text);
    void takeUpdater(int state, const QString& item);

Q_SIGNALS:
    // The download of one auction changed state (an sfRunState).
    void UpdaterChanged(int State, const QString& item);
    void StateChanged(int State);
    void StatusChange(const QString& sStatus);

private:
    Backend& m_backend;
    sfBusyState m_state = sfNotBusy;
};

} // namespace Remote
