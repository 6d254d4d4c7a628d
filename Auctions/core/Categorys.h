#pragma once

#include "Category.h"
#include "IXMLPersist.h"
#include "KeyedCollection.h"

#include <QList>
#include <QObject>
#include <QPointer>

class Auctions;
class CategorysEvents;
class DialogHost;

// The one collection of categories, keyed by name (letter case ignored) in insertion order, with the
// name of the selected one. After loading it always holds at least one category.
class Categorys : public QObject, public IXMLPersist
{
    Q_OBJECT
public:
    explicit Categorys(QObject* parent = nullptr);
    ~Categorys() override;

    // Silences Updated from Add, raiseUpdated and Remove during bulk work.
    bool Paused = false;
    // The selected category's name; it may name one removed since.
    QString Current;

    // The auctions that ViewRemove looks through, and the windows.
    void link(::Auctions& auctions, DialogHost& dialogs);

    CategoryPtr Add(const QString& sName, bool bLimited, qint32 lMaxWins);
    // Raises Updated unless Paused.
    void raiseUpdated();
    void ViewAdd();
    void ViewEdit(const CategoryPtr& category);
    // Opens the remover when an auction still belongs to the category, else removes it at once.
    void ViewRemove(const CategoryPtr& category);
    QList<CategoryPtr> Items() const { return m_items.items(); }
    CategoryPtr Item(const QString& sName) const;
    qint32 Count() const { return m_items.count(); }
    void Remove(const QString& sName);
    void Clear();

    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;

Q_SIGNALS:
    void Updated();

private:
    CategorysEvents* mEvents;
    QPointer<::Auctions> m_auctions;
    DialogHost* m_dialogs = nullptr;
    KeyedCollection<Category> m_items;
};
