#pragma once

#include <QObject>

// The main program's enumerations as a client sees them, with the numbers that travel on the bus. A
// namespace of their own, so that a program linking both the client and the main program's model (a
// test) keeps the two apart.
namespace Remote {
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

enum AucSnipeStates
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

enum ViewInfoType
{
    eViewInfoWelcome = 0,
    eViewInfoAuctionAdd = 1,
    eViewInfoBidCreated = 2,
    eViewInfoLookingAtAuction = 3
};
Q_ENUM_NS(ViewInfoType)

// Whether a client is bound to the main program.
enum BindState
{
    Unbound = 0,
    // The program is being started or found, and the first snapshot fetched.
    Binding = 1,
    Bound = 2
};
Q_ENUM_NS(BindState)

} // namespace Remote
