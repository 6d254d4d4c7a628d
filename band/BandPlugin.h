#pragma once

#include "DeskBand.h"

#include <QObject>

// The plug-in's entry: it makes Auction Orv bands for the browser window.
class BandPlugin : public QObject, public DeskBandFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID DeskBandFactory_iid)
    Q_INTERFACES(DeskBandFactory)
public:
    std::unique_ptr<DeskBand> createBand() override;
};
