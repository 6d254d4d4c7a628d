#pragma once

#include <QString>

// Names of the main program on the session bus.
namespace OrvBus {

inline const QString serviceName = QStringLiteral("org.auctionorv.ORVAuctions");
// Owned, beside serviceName, by an instance that has not finished starting.
inline const QString startingName = QStringLiteral("org.auctionorv.ORVAuctions.Starting");
inline const QString handOverPath = QStringLiteral("/HandOver");
inline const QString handOverInterface = QStringLiteral("org.auctionorv.ORVAuctions.HandOver");
inline const QString appPath = QStringLiteral("/App");
inline const QString appInterface = QStringLiteral("org.auctionorv.ORVAuctions.App");
inline const QString unloaderPath = QStringLiteral("/Unloader");
inline const QString unloaderInterface = QStringLiteral("org.auctionorv.ORVAuctions.Unloader");

inline const QString auctionsPath = QStringLiteral("/Auctions");
inline const QString categorysPath = QStringLiteral("/Categorys");
inline const QString settingsPath = QStringLiteral("/Settings");
inline const QString clockPath = QStringLiteral("/Clock");
inline const QString bidManagerPath = QStringLiteral("/BidManager");
inline const QString updatersPath = QStringLiteral("/Updaters");
inline const QString netManagerPath = QStringLiteral("/NetManager");
inline const QString updaterPath = QStringLiteral("/Updater");
// Each object's interface is the service name followed by "." and the object's name.
inline QString interfaceOf(const QString& object)
{
    return serviceName + QLatin1Char('.') + object;
}

// The longest texts the program takes in a call: an item number (the item-number rule itself, letters
// and digits only, is ItemLinks::isValidItem), a category's or setting's name, a description or comment.
// A longer one is refused with errorRefused.
inline constexpr qsizetype maxItemLength = 32;
inline constexpr qsizetype maxNameLength = 255;
inline constexpr qsizetype maxTextLength = 64 * 1024;

// Error replies carry the model's description as their text and its number as a second argument (int32):
// refusals (number 11) under errorRefused, every other error under errorFailed; an error that is not the
// model's has number 0.
inline const QString errorRefused = QStringLiteral("org.auctionorv.ORVAuctions.Error.Refused");
inline const QString errorFailed = QStringLiteral("org.auctionorv.ORVAuctions.Error.Failed");

} // namespace OrvBus
