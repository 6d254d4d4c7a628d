#pragma once

#include "Auctions.h"
#include "Categorys.h"
#include "Clock.h"
#include "DialogServices.h"
#include "FakeEngine.h"
#include "FakeTimeSource.h"
#include "RecordingMessageBoxSink.h"
#include "RecordingShellHost.h"
#include "Settings.h"
#include "TestDataFolder.h"
#include "cApp.h"

#include <QCoreApplication>
#include <QObject>
#include <QStringList>
#include <QWidget>

// The application at a fixed moment on an empty data folder (the category "Default"), with a user name,
// its windows and message boxes recorded, for the editing dialogs. `events` records, in order, each
// auction's change ("changed:<item>") and each step a dialog asks of the application ("refresh",
// "info:<page>", "sync", "save"); the clock synchronisation is only recorded.
struct DialogFixture
{
    FakeTimeSource now{QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC), 300};
    TestDataFolder data;
    RecordingShellHost host;
    RecordingMessageBoxSink boxes;
    FakeEngine engine;
    cApp app{host, boxes, engine.factories()};
    QStringList events;

    DialogFixture()
    {
        app.Load();
        app.Settings().Username = QStringLiteral("bob");
        QObject::connect(&app.Auctions(), &Auctions::AuctionChanged, &app.Auctions(),
                         [this](Auction* auction) { events << QStringLiteral("changed:") + auction->Item; });
    }
    ~DialogFixture()
    {
        // Closed windows go before the application they point into.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    DialogServices services()
    {
        DialogServices services = DialogServices::of(app);
        services.save = [this, save = services.save] {
            events << QStringLiteral("save");
            save();
        };
        services.refreshBids = [this, refresh = services.refreshBids] {
            events << QStringLiteral("refresh");
            refresh();
        };
        services.showInfo = [this, show = services.showInfo](ViewInfoType page) {
            events << QStringLiteral("info:%1").arg(page);
            show(page);
        };
        services.syncClock = [this] { events << QStringLiteral("sync"); };
        return services;
    }

    // An auction of "Default" ending `endsIn` seconds after the site's now.
    AuctionPtr add(const QString& item, qint64 endsIn = 3600)
    {
        const AuctionPtr auction = app.Auctions().Add(item, QStringLiteral("Default"));
        auction->EndTime = app.Clock().Time().addSecs(endsIn);
        events.clear();
        return auction;
    }

    QStringList titles() const
    {
        QStringList shown;
        for (const RecordingMessageBoxSink::Box& box : boxes.boxes)
            shown << box.title;
        return shown;
    }
};

// The control of a window by its name; a test warning when there is none.
template <typename T> T* control(const QWidget* window, const QString& name)
{
    T* found = window ? window->findChild<T*>(name) : nullptr;
    if (!found)
        qWarning("no control %s", qPrintable(name));
    return found;
}
