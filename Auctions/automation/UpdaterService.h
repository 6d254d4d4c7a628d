#pragma once

#include "BusService.h"

// The item-page reader on the session bus: fills an auction from a page that a client already shows.
class UpdaterService : public BusService
{
    Q_OBJECT
public:
    explicit UpdaterService(BusGate& gate, QObject* parent = nullptr);

    // The longest page read, as for a download.
    static constexpr qsizetype MaxPageSize = 8 * 1024 * 1024;

public Q_SLOTS:
    void Parse(const QString& sItem, const QString& sPage);
};
