#pragma once

#include "RemoteCategoryRecord.h"

#include <QList>
#include <QObject>
#include <optional>

namespace Remote {

class Backend;

// The main program's categories, kept in a local replica (insertion order), replaced as a whole
// whenever the program reports a change.
class Categorys : public QObject
{
    Q_OBJECT
public:
    explicit Categorys(Backend& backend, QObject* parent = nullptr);

    QList<CategoryRecord> Items() const { return m_items; }
    // The category of that name, letter case ignored as the program's collection does.
    std::optional<CategoryRecord> Item(const QString& sName) const;
    qint32 Count() const { return qint32(m_items.size()); }

    void Remove(const QString& sName);
    // The main program's category editor (new or on the category) and remover.
    void ViewAdd();
    void ViewEdit(const QString& sName);
    void ViewRemove(const QString& sName);

    // The replica's side: takes the whole list and raises Updated.
    void reset(const QVariantList& records);
    void reset(const QList<CategoryRecord>& records);

Q_SIGNALS:
    void Updated();

private:
    Backend& m_backend;
    QList<CategoryRecord> m_items;
};

} // namespace Remote
