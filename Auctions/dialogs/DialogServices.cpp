#include "DialogServices.h"

#include "BidManager.h"
#include "Clock.h"
#include "Settings.h"
#include "cApp.h"

DialogServices DialogServices::of(cApp& app)
{
    const QPointer<cApp> owner = &app;
    DialogServices services;
    services.settings = &app.Settings();
    services.messageBoxes = &app.messageBoxes();
    services.save = [owner] {
        if (owner)
            owner->Save();
    };
    services.refreshBids = [owner] {
        if (owner)
            owner->BidManager().RefreshState();
    };
    services.showInfo = [owner](ViewInfoType page) {
        if (owner)
            owner->ShowInfo(page);
    };
    services.syncClock = [owner] {
        if (owner)
            owner->Clock().Download();
    };
    return services;
}
