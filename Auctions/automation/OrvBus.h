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

} // namespace OrvBus
