#include "BusCategoryRecord.h"

#include "BusFields.h"

namespace Bus {

QVariantMap CategoryRecord::toMap() const
{
    return {{CategoryKey::Name, Name}, {CategoryKey::MaxWins, MaxWins}, {CategoryKey::Limited, Limited}};
}

CategoryRecord CategoryRecord::fromMap(const QVariantMap& map)
{
    const Fields fields(map);
    CategoryRecord record;
    fields.text(CategoryKey::Name, record.Name);
    fields.number(CategoryKey::MaxWins, record.MaxWins);
    fields.flag(CategoryKey::Limited, record.Limited);
    return record;
}

} // namespace Bus
