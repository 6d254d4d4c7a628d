#pragma once

#include "Column.h"
#include "IXMLPersist.h"
#include "KeyedCollection.h"
#include "OrvEnums.h"

#include <QList>
#include <QObject>
#include <QPointer>

class ColumnsEvents;
class Settings;

// The columns of the auction list in their order, keyed by name (letter case ignored), with the sort
// column and order.
class Columns : public QObject, public IXMLPersist
{
    Q_OBJECT
public:
    explicit Columns(QObject* parent = nullptr);
    ~Columns() override;

    // Silences Updated from Add, Remove, Clear and the end of loading.
    bool Paused = false;
    AppSortOrder SortOrder = OR2Ascending;

    // The settings that every column renders with.
    void link(::Settings& settings);

    QString SortColumn() const { return m_sortColumn; }
    // Writing the name it already holds flips the order; every write raises SortUpdated.
    void setSortColumn(const QString& name);

    ColumnPtr Add(const QString& sName, qint32 lWidth, const QString& sCaption, const QString& sMenu,
                  qint32 lDefault, AppColumnAligments lAlignment, const QString& sSort,
                  const QString& sTooltipText, bool bSorted, bool bColored);
    // Raises Updated whatever Paused says.
    void raiseUpdated();
    QList<ColumnPtr> Items() const { return m_items.items(); }
    ColumnPtr Item(const QString& sName) const;
    qint32 Count() const { return m_items.count(); }
    bool Exists(const QString& sName) const;
    void Remove(const QString& sName);
    bool IsEmpty() const { return m_items.isEmpty(); }
    void Clear();

    // Adds, in the list's standard order, each standard column that Exists does not find; the stored
    // columns keep their values.
    void addMissingDefaults();

    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;

Q_SIGNALS:
    void Updated();
    void SortUpdated();
    void ColumnUpdated(Column* column);

private:
    ColumnsEvents* mEvents;
    QPointer<::Settings> m_settings;
    QString m_sortColumn;
    KeyedCollection<Column> m_items;
};
