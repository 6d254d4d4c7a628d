#pragma once

#include <QObject>

// The system's enumerations with their stored and exported numbers. Those read from the state file have a
// fixed underlying type, so that a stored number outside the list is still a valid value. Each is known to
// Qt's meta-object system by its names, so that test failures and log lines say OR2BidPrepared, not 3.
// The namespace exists only for that: its names are used unqualified everywhere.
namespace OrvEnums {
Q_NAMESPACE

enum AppState
{
    AppNoState = 0,
    AppCreated = 1,
    AppLoaded = 2,
    AppStarted = 3,
    AppHidden = 4,
    AppShuttingDown = 6
};
Q_ENUM_NS(AppState)

enum AucSnipeStates : qint32
{
    OR2Watching = 0,
    OR2BidSet = 1,
    OR2BidPreparing = 2,
    OR2BidPrepared = 3,
    OR2BidSending = 4,
    OR2BidFailed = 5,
    OR2BidSuccess = 6,
    OR2BidCancelled = 7
};
Q_ENUM_NS(AucSnipeStates)

enum AucTimeLeftLevel
{
    OR2Complete = 0,
    OR2Warning = 1,
    OR2Caution = 2,
    OR2Active = 3
};
Q_ENUM_NS(AucTimeLeftLevel)

enum eBidderState
{
    eBidderGreen = 0,
    eBidderYellow = 2,
    eBidderRed = 3,
    eBidderBidding = 4,
    eBidderPaused = 5
};
Q_ENUM_NS(eBidderState)

enum eVerState
{
    eVerCheckIdle = 0,
    eVerChecking = 1,
    eVerCheckErr = 2,
    eVerNeedsUpdate = 3,
    eVerNoNeededUpdate = 4
};
Q_ENUM_NS(eVerState)

enum eAcctLoginState
{
    eAcctLoginIdle = 0,
    eAcctLoginLoggingOut = 1,
    eAcctLoginLoggingIn = 2,
    eAcctLoginSuccess = 3,
    eAcctLoginFailed = 4
};
Q_ENUM_NS(eAcctLoginState)

enum ViewInfoType
{
    eViewInfoWelcome = 0,
    eViewInfoAuctionAdd = 1,
    eViewInfoBidCreated = 2,
    eViewInfoLookingAtAuction = 3
};
Q_ENUM_NS(ViewInfoType)

enum AppColumnAligments : qint32
{
    OR2ColumnLeft = 0,
    OR2ColumnRight = 1,
    OR2ColumnCenter = 2
};
Q_ENUM_NS(AppColumnAligments)

enum AppSortOrder : qint32
{
    OR2Ascending = 0,
    OR2Descending = 1
};
Q_ENUM_NS(AppSortOrder)

enum sfRunState
{
    sfNotRunning = 0,
    sfRunning = 1,
    sfComplete = 2,
    sfFailed = 3
};
Q_ENUM_NS(sfRunState)

enum sfBusyState
{
    sfNotBusy = 0,
    sfBusy = 1
};
Q_ENUM_NS(sfBusyState)

} // namespace OrvEnums

using namespace OrvEnums;
