#pragma once

#include <QString>

// The one folder that holds "auctions.xml" and "Sent Snipes": $AUCTIONORV_HOME when set, otherwise the
// per-user data folder. The main program, the bid sender and the debug tool all use it.
namespace DataFolder {

QString path();             // created when missing, made owner-only
QString stateFile();        // path()/auctions.xml
QString sentSnipesFolder(); // path()/Sent Snipes, not created here
QString lockFile();         // path()/auctions.xml.lock, held by the instance that uses the folder

} // namespace DataFolder
