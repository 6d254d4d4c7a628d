#include "BusSnapshotRecord.h"

#include "BusFields.h"

#include <QVariantList>

namespace Bus {

namespace {

qint32 stateOf(const QVariantMap& map, const QString& object)
{
    qint32 state = 0;
    Fields(map.value(object).toMap()).number(SnapshotKey::State, state);
    return state;
}

} // namespace

QVariantMap SnapshotRecord::toMap() const
{
    QVariantList categorys;
    categorys.reserve(Categorys.size());
    for (const CategoryRecord& category : Categorys)
        categorys << category.toMap();
    return {
        {SnapshotKey::App, QVariantMap{{SnapshotKey::State, AppState}, {SnapshotKey::Status, AppStatus}}},
        {SnapshotKey::Auctions, Auctions},
        {SnapshotKey::Serial, Serial},
        {SnapshotKey::Categorys, categorys},
        {SnapshotKey::Settings, Settings.toMap()},
        {SnapshotKey::Clock, Clock.toMap()},
        {SnapshotKey::BidManager, QVariantMap{{SnapshotKey::State, BidManagerState}}},
        {SnapshotKey::Updaters, QVariantMap{{SnapshotKey::State, UpdatersState}}},
    };
}

SnapshotRecord SnapshotRecord::fromMap(const QVariantMap& map)
{
    SnapshotRecord record;
    const QVariantMap app = map.value(SnapshotKey::App).toMap();
    record.AppState = stateOf(map, SnapshotKey::App);
    Fields(app).text(SnapshotKey::Status, record.AppStatus);
    if (const QVariant auctions = map.value(SnapshotKey::Auctions);
        auctions.userType() == QMetaType::QByteArray)
        record.Auctions = auctions.toByteArray();
    Fields(map).number(SnapshotKey::Serial, record.Serial);
    for (const QVariant& category : map.value(SnapshotKey::Categorys).toList())
        record.Categorys << CategoryRecord::fromMap(category.toMap());
    record.Settings = SettingsRecord::fromMap(map.value(SnapshotKey::Settings).toMap());
    record.Clock = ClockRecord::fromMap(map.value(SnapshotKey::Clock).toMap());
    record.BidManagerState = stateOf(map, SnapshotKey::BidManager);
    record.UpdatersState = stateOf(map, SnapshotKey::Updaters);
    return record;
}

} // namespace Bus
