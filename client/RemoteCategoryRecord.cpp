#include "RemoteCategoryRecord.h"

namespace Remote {

QVariantMap CategoryRecord::toMap() const
{
    return {{QStringLiteral("Name"), Name},
            {QStringLiteral("MaxWins"), MaxWins},
            {QStringLiteral("Limited"), Limited}};
}

CategoryRecord CategoryRecord::fromMap(const QVariantMap& map)
{
    CategoryRecord record;
    record.Name = map.value(QStringLiteral("Name")).toString();
    record.MaxWins = map.value(QStringLiteral("MaxWins")).toInt();
    record.Limited = map.value(QStringLiteral("Limited")).toBool();
    return record;
}

} // namespace Remote
