#include "Category.h"

#include "Auction.h"
#include "CategorysEvents.h"
#include "PropertyReader.h"
#include "TextForms.h"
#include "XMLManager.h"

void Category::Updated()
{
    if (Events)
        Events->raiseUpdated();
}

bool Category::Contains(const Auction& auction) const
{
    return auction.Category == Name;
}

void Category::Load(XMLManager& loader)
{
    const PropertyReader read(loader);
    Name = read.text(QStringLiteral("Name"));
    MaxWins = read.whole(QStringLiteral("MaxWins"), 1);
    read.flag(QStringLiteral("Limited"), Limited, false);
}

void Category::Save(XMLManager& loader)
{
    loader.WriteProperty(QStringLiteral("Name"), Name);
    loader.WriteProperty(QStringLiteral("MaxWins"), TextForms::whole(MaxWins));
    loader.WriteProperty(QStringLiteral("Limited"), TextForms::flag(Limited));
}
