#pragma once

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

    bool ConfirmBid() const { return m_fields.value(QStringLiteral("ConfirmBid")).toBool(); }
    bool ConfirmDel() const { return m_fields.value(QStringLiteral("ConfirmDel")).toBool(); }
    bool ViewedAuctionAdded() const { return m_fields.value(QStringLiteral("ViewedAuctionAdded")).toBool(); }
    bool ViewedLookingAtAuction() const
    {
        return m_fields.value(QStringLiteral("ViewedLookingAtAuction")).toBool();
    }
    qint32 ColorActive() const { return m_fields.value(QStringLiteral("ColorActive")).toInt(); }
    qint32 ColorCaution() const { return m_fields.value(QStringLiteral("ColorCaution")).toInt(); }
    qint32 ColorComplete() const { return m_fields.value(QStringLiteral("ColorComplete")).toInt(); }
    qint32 ColorWarning() const { return m_fields.value(QStringLiteral("ColorWarning")).toInt(); }

    // Written in the program (and in this replica at once).
    void setViewedAuctionAdded(bool value);
    void setViewedLookingAtAuction(bool value);
    // The main program's settings dialog.
    void View();

    // The replica's side: takes the reported fields and raises Updated.
    void reset(const QVariantMap& fields);

Q_SIGNALS:
    void Updated();

private:
    void write(const QString& field, bool value);

    Backend& m_backend;
    QVariantMap m_fields;
};

} // namespace Remote
