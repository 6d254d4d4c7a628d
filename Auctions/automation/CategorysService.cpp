#include "CategorysService.h"

#include "Categorys.h"
#include "CategorysAdaptor.h"
#include "cApp.h"

CategorysService::CategorysService(BusGate& gate, QObject* parent) : BusService(gate, parent)
{
    new CategorysAdaptor(this);
}

void CategorysService::attach(cApp& app)
{
    BusService::attach(app);
    connect(&app.Categorys(), &Categorys::Updated, this, [this] { Q_EMIT Updated(items()); });
}

QList<Bus::CategoryRecord> CategorysService::records() const
{
    QList<Bus::CategoryRecord> records;
    for (const CategoryPtr& category : app().Categorys().Items())
        records << Bus::CategoryRecord{
            .Name = category->Name, .MaxWins = category->MaxWins, .Limited = category->Limited};
    return records;
}

QVariantList CategorysService::items() const
{
    QVariantList items;
    for (const Bus::CategoryRecord& record : records())
        items << record.toMap();
    return items;
}

QVariantList CategorysService::Items()
{
    return serve([this] { return items(); });
}

void CategorysService::Remove(const QString& sName)
{
    serveChecked([sName] { checkName(sName); },
                 [this, sName] {
                     // An unknown name is said to be unknown, whatever else the model would refuse.
                     app().Categorys().Item(sName);
                     app().Categorys().Remove(sName);
                 });
}

void CategorysService::ViewAdd()
{
    serve([this] { app().Categorys().ViewAdd(); });
}

void CategorysService::ViewEdit(const QString& sName)
{
    serveChecked([sName] { checkName(sName); },
                 [this, sName] { app().Categorys().ViewEdit(app().Categorys().Item(sName)); });
}

void CategorysService::ViewRemove(const QString& sName)
{
    serveChecked([sName] { checkName(sName); },
                 [this, sName] { app().Categorys().ViewRemove(app().Categorys().Item(sName)); });
}
