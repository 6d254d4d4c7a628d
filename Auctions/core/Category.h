#pragma once

#include "IXMLPersist.h"

#include <QPointer>
#include <QSharedPointer>
#include <QString>

class Auction;
class CategorysEvents;

// A named group of auctions, with an optional limit on how many of them may be won.
class Category : public IXMLPersist
{
public:
    QString Name;
    qint32 MaxWins = 0;
    bool Limited = false;
    QPointer<CategorysEvents> Events;

    // Reports a change of this category to its collection, whatever the collection's Paused says.
    void Updated();
    // Whether the auction belongs here: its Category equals Name exactly, letter case included.
    bool Contains(const Auction& auction) const;

    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;
};

using CategoryPtr = QSharedPointer<Category>;
