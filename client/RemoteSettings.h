#pragma once

#include "BusSettingsRecord.h"

#include <QObject>
#include <QVariantMap>

namespace Remote {

class Backend;

// The settings that a client reads (confirmations, first-view flags, the time-left colours) in a local
// replica, and the few it writes. Colours are numbers in blue-green-red order, as the program keeps them.
class Settings : public QObject
{
    Q_OBJECT
public:
    explicit Settings(Backend& backend, QObject* parent = nullptr);

    bool ConfirmBid() const { return m_record.ConfirmBid; }
    bool ConfirmDel() const { return m_record.ConfirmDel; }
    bool ViewedAuctionAdded() const { return m_record.ViewedAuctionAdded; }
    bool ViewedLookingAtAuction() const { return m_record.ViewedLookingAtAuction; }
    qint32 ColorActive() const { return m_record.ColorActive; }
    qint32 ColorCaution() const { return m_record.ColorCaution; }
    qint32 ColorComplete() const { return m_record.ColorComplete; }
    qint32 ColorWarning() const { return m_record.ColorWarning; }

    // Written in the program (and in this replica at once).
    void setViewedAuctionAdded(bool value);
    void setViewedLookingAtAuction(bool value);
    // The main program's settings dialog.
    void View();

    // The replica's side: takes the reported fields and raises Updated.
    void reset(const QVariantMap& fields);
    void reset(const Bus::SettingsRecord& record);

Q_SIGNALS:
    void Updated();

private:
    void write(const QString& field, bool value, bool Bus::SettingsRecord::*flag);

    Backend& m_backend;
    Bus::SettingsRecord m_record;
};

} // namespace Remote
