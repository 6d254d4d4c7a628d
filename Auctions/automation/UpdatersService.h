#pragma once

#include "BusService.h"

#include <QStringList>

// The download queue on the session bus, and the item-page reader for a page that a client shows.
class UpdatersService : public BusService
{
    Q_OBJECT
public:
    explicit UpdatersService(BusGate& gate, QObject* parent = nullptr);

    void attach(cApp& app) override;

public Q_SLOTS:
    void DownloadItem(const QString& sItem);
    void DownloadItems(const QStringList& items);
    void Cancel();

Q_SIGNALS:
    void UpdaterChanged(int State, const QString& sItem);
    void StateChanged(int State);
    void StatusChange(const QString& sStatus);
};
