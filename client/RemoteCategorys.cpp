#include "RemoteCategorys.h"

#include "RemoteBackend.h"

namespace Remote {

Categorys::Categorys(Backend& backend, QObject* parent) : QObject(parent), m_backend(backend) {}

std::optional<CategoryRecord> Categorys::Item(const QString& sName) const
{
    for (const CategoryRecord& category : m_items) {
        if (category.Name.compare(sName, Qt::CaseInsensitive) == 0)
            return category;
    }
    return std::nullopt;
}

void Categorys::Remove(const QString& sName)
{
    m_backend.call(QStringLiteral("Categorys"), QStringLiteral("Remove"), {sName});
}

void Categorys::ViewAdd()
{
    m_backend.call(QStringLiteral("Categorys"), QStringLiteral("ViewAdd"));
}

void Categorys::ViewEdit(const QString& sName)
{
    m_backend.call(QStringLiteral("Categorys"), QStringLiteral("ViewEdit"), {sName});
}

void Categorys::ViewRemove(const QString& sName)
{
    m_backend.call(QStringLiteral("Categorys"), QStringLiteral("ViewRemove"), {sName});
}

void Categorys::reset(const QVariantList& records)
{
    QList<CategoryRecord> items;
    items.reserve(records.size());
    for (const QVariant& record : records)
        items.append(CategoryRecord::fromMap(record.toMap()));
    reset(items);
}

void Categorys::reset(const QList<CategoryRecord>& records)
{
    m_items = records;
    Q_EMIT Updated();
}

} // namespace Remote
