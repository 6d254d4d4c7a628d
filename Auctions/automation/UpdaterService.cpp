#include "UpdaterService.h"

#include "Auctions.h"
#include "Updater.h"
#include "UpdaterAdaptor.h"
#include "cApp.h"

UpdaterService::UpdaterService(BusGate& gate, QObject* parent) : BusService(gate, parent)
{
    new UpdaterAdaptor(this);
}

void UpdaterService::Parse(const QString& sItem, const QString& sPage)
{
    serveChecked(
        [&sItem, &sPage] {
            checkItem(sItem);
            if (sPage.size() > MaxPageSize)
                throw OrvError::refused(QStringLiteral("Updater"),
                                        QStringLiteral("The page is too large to read."));
        },
        [this, sItem, sPage] {
            const AuctionPtr auction = app().Auctions().Item(sItem);
            Updater updater;
            updater.Parse(*auction, sPage);
        });
}
