#include "BusSettingsRecord.h"

#include "BusFields.h"

namespace Bus {

QVariantMap SettingsRecord::toMap() const
{
    return {{SettingsKey::ConfirmBid, ConfirmBid},
            {SettingsKey::ConfirmDel, ConfirmDel},
            {SettingsKey::ViewedAuctionAdded, ViewedAuctionAdded},
            {SettingsKey::ViewedLookingAtAuction, ViewedLookingAtAuction},
            {SettingsKey::ColorActive, ColorActive},
            {SettingsKey::ColorCaution, ColorCaution},
            {SettingsKey::ColorComplete, ColorComplete},
            {SettingsKey::ColorWarning, ColorWarning}};
}

SettingsRecord SettingsRecord::fromMap(const QVariantMap& map)
{
    const Fields fields(map);
    SettingsRecord record;
    fields.flag(SettingsKey::ConfirmBid, record.ConfirmBid);
    fields.flag(SettingsKey::ConfirmDel, record.ConfirmDel);
    fields.flag(SettingsKey::ViewedAuctionAdded, record.ViewedAuctionAdded);
    fields.flag(SettingsKey::ViewedLookingAtAuction, record.ViewedLookingAtAuction);
    fields.number(SettingsKey::ColorActive, record.ColorActive);
    fields.number(SettingsKey::ColorCaution, record.ColorCaution);
    fields.number(SettingsKey::ColorComplete, record.ColorComplete);
    fields.number(SettingsKey::ColorWarning, record.ColorWarning);
    return record;
}

} // namespace Bus
