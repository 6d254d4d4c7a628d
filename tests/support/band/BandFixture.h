#pragma once

#include "FakeBackend.h"
#include "FakeBrowserHost.h"
#include "RecordingMessageBoxSink.h"
#include "RemoteApp.h"
#include "RemoteAuctionRecord.h"
#include "RemoteAuctions.h"
#include "RemoteCategorys.h"
#include "RemoteClock.h"
#include "RemotecApp.h"
#include "cBrowser.h"
#include "ctlAuctionsBand.h"

#include <memory>

// A band control bound to the fake program through a real link, watching a fake browser.
struct BandFixture
{
    FakeBackend* fake = new FakeBackend;
    std::unique_ptr<Remote::cApp> link{new Remote::cApp(std::unique_ptr<Remote::Backend>(fake))};
    FakeBrowserHost browserHost;
    cBrowser browser;
    RecordingMessageBoxSink boxes;
    ctlAuctionsBand band{boxes};

    BandFixture()
    {
        fake->pinClock(link->App().Clock());
        fake->setSiteTime(QDateTime(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC));
        browser.setIE(&browserHost);
    }
    ~BandFixture() { band.Release(); }

    Remote::App& app() const { return link->App(); }
    void view() { band.View(app(), &browser); }

    static Remote::AuctionRecord auction(const QString& item, const QString& category,
                                         const QString& description = {})
    {
        Remote::AuctionRecord record;
        record.Item = item;
        record.Category = category;
        record.Description = description.isEmpty() ? QStringLiteral("Item ") + item : description;
        return record;
    }
};
