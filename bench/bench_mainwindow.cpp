// The main window with 10,000 auctions in one category: opening it (the first full rebuild and the first
// paint of the list), one time-left refresh pass with the rows on the screen painted, a one-row update,
// and a sort by the time left. Run by hand, headless as the tests run:
//   QT_QPA_PLATFORM=offscreen build/bench/bench_mainwindow
#include "AuctionListModel.h"
#include "Auctions.h"
#include "Clock.h"
#include "Columns.h"
#include "RecordingDialogHost.h"
#include "RecordingMessageBoxSink.h"
#include "Settings.h"
#include "TestDataFolder.h"
#include "cApp.h"
#include "ctlAuctions.h"
#include "frmAuctions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int auctions = 10'000;

// The median of `runs` timings of `step`, in milliseconds.
double medianMs(int runs, const std::function<void()>& step)
{
    std::vector<double> times;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        step();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void fill(cApp& app)
{
    const QDateTime siteNow = app.Clock().Time();
    for (int i = 0; i < auctions; ++i) {
        const AuctionPtr a =
            app.Auctions().Add(QString::number(110000000000LL + i), QStringLiteral("Default"));
        a->Description = QStringLiteral("Lot number %1 of the big sale").arg(i);
        // Spread over ten days, in no order, a few already over.
        a->EndTime = siteNow.addSecs((i * 7919LL) % 864000 - 3600);
        a->Price = (i * 37) % 1000 / 10.0;
        a->Bids = i % 23;
        a->Seller = QStringLiteral("seller%1").arg(i % 97);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    TestDataFolder data;
    RecordingDialogHost dialogs;
    RecordingMessageBoxSink boxes;
    cApp app(dialogs, boxes);
    app.Load();
    app.Settings().ViewedWelcome = true;
    app.Settings().TimeLeftRefresh = 0;
    fill(app);

    const double open = medianMs(5, [&] {
        frmAuctions window;
        window.View(app);
        window.AuctionsView()->ListView()->viewport()->grab();
    });

    frmAuctions window;
    window.View(app);
    ctlAuctions& list = *window.AuctionsView();
    QTreeView* view = list.ListView();
    QWidget* rows = view->viewport();
    const AuctionListModel& model = *list.model();
    rows->grab();
    // What the view asks of the rows on the screen when it paints them.
    auto readShownRows = [&] {
        const int first = view->indexAt(QPoint(0, 0)).row();
        const int last = view->indexAt(QPoint(0, rows->height() - 1)).row();
        for (int row = first; row <= last; ++row) {
            for (int column = 1; column < model.columnCount(); ++column) {
                const QModelIndex cell = model.index(row, column);
                model.data(cell, Qt::DisplayRole);
                model.data(cell, Qt::DecorationRole);
                model.data(cell, Qt::ForegroundRole);
            }
        }
    };
    const double refresh = medianMs(500, [&] {
        list.heartbeat();
        readShownRows();
    });
    const double refreshPainted = medianMs(200, [&] {
        list.heartbeat();
        rows->grab();
    });

    // A row on the screen, rendered again; then the view paints that row.
    const AuctionPtr shown = model.auctionAt(3);
    const QModelIndex shownCell = model.index(3, 1);
    const QRect shownRow(0, view->visualRect(shownCell).y(), rows->width(),
                         view->visualRect(shownCell).height());
    const double oneRow = medianMs(2000, [&] { shown->Changed(); });
    const double oneRowPainted = medianMs(500, [&] {
        shown->Changed();
        rows->grab(shownRow);
    });

    // Writing the sort column again turns the order over and sorts all rows.
    const double sort = medianMs(20, [&] { app.Columns().setSortColumn(QStringLiteral("TimeLeft")); });
    const double sortPainted = medianMs(20, [&] {
        app.Columns().setSortColumn(QStringLiteral("TimeLeft"));
        rows->grab();
    });

    std::printf("%d auctions in one category, %d rows on the screen (median):\n", auctions,
                view->indexAt(QPoint(0, rows->height() - 1)).row() - view->indexAt(QPoint(0, 0)).row() + 1);
    std::printf("  open the window, first full rebuild and paint  %8.2f ms  (target 300)\n", open);
    std::printf("  one time-left refresh pass, rows on the screen %8.3f ms  (target 10)\n", refresh);
    std::printf("    the same, the list painted                   %8.3f ms\n", refreshPainted);
    std::printf("  one-row update                                 %8.4f ms  (target 1)\n", oneRow);
    std::printf("    the same, the row painted                    %8.3f ms\n", oneRowPainted);
    std::printf("  sort by TimeLeft                               %8.2f ms  (target 100)\n", sort);
    std::printf("    the same, the list laid out and painted      %8.2f ms\n", sortPainted);
    return 0;
}
