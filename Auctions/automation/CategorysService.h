#pragma once

#include "BusCategoryRecord.h"
#include "BusService.h"

#include <QVariantList>

// The categories on the session bus, keyed by name. Every change reports the whole list (there are few).
class CategorysService : public BusService
{
    Q_OBJECT
public:
    explicit CategorysService(BusGate& gate, QObject* parent = nullptr);

    void attach(cApp& app) override;
    // The categories in insertion order, as records and as they travel.
    QList<Bus::CategoryRecord> records() const;
    QVariantList items() const;

public Q_SLOTS:
    QVariantList Items();
    void Remove(const QString& sName);
    void ViewAdd();
    void ViewEdit(const QString& sName);
    void ViewRemove(const QString& sName);

Q_SIGNALS:
    void Updated(const QVariantList& items);
};
