#pragma once

#include <QtGlobal>

// The system's enumerations with their stored and exported numbers. Those read from the state file have a
// fixed underlying type, so that a stored number outside the list is still a valid value.

enum AppState
{
    AppNoState = 0,
    AppCreated = 1,
    AppLoaded = 2,
    AppStarted = 3,
    AppHidden = 4,
    AppShuttingDown = 6
};

enum AucSnipeStates : qint32 {
    OR2Watching = 0,
    OR2BidSet = 1,
    OR2BidPreparing = 2,
    OR2BidPrepared = 3,
    OR2BidSending = 4,
    OR2BidFailed = 5,
    OR2BidSuccess = 6,
    OR2BidCancelled = 7
};

enum AucTimeLeftLevel
{
    OR2Complete = 0,
    OR2Warning = 1,
    OR2Caution = 2,
    OR2Active = 3
};

enum eBidderState
{
    eBidderGreen = 0,
    eBidderYellow = 2,
    eBidderRed = 3,
    eBidderBidding = 4,
    eBidderPaused = 5
};

enum eVerState
{
    eVerCheckIdle = 0,
    eVerChecking = 1,
    eVerCheckErr = 2,
    eVerNeedsUpdate = 3,
    eVerNoNeededUpdate = 4
};

enum eAcctLoginState
{
    eAcctLoginIdle = 0,
    eAcctLoginLoggingOut = 1,
    eAcctLoginLoggingIn = 2,
    eAcctLoginSuccess = 3,
    eAcctLoginFailed = 4
};

enum ViewInfoType
{
    eViewInfoWelcome = 0,
    eViewInfoAuctionAdd = 1,
    eViewInfoBidCreated = 2,
    eViewInfoLookingAtAuction = 3
};

enum AppColumnAligments : qint32 { OR2ColumnLeft = 0, OR2ColumnRight = 1, OR2ColumnCenter = 2 };

enum AppSortOrder : qint32 { OR2Ascending = 0, OR2Descending = 1 };

enum sfRunState
{
    sfNotRunning = 0,
    sfRunning = 1,
    sfComplete = 2,
    sfFailed = 3
};

enum sfBusyState
{
    sfNotBusy = 0,
    sfBusy = 1
};
