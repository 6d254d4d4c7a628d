#include "Auctions.h"

#include "AuctionsEvents.h"
#include "Categorys.h"
#include "Clock.h"
#include "DialogHost.h"
#include "ItemLinks.h"
#include "ModelLog.h"
#include "OrvError.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "XMLManager.h"

namespace {

const QString source = QStringLiteral("Auctions");

} // namespace

Auctions::Auctions(QObject* parent) : QObject(parent), mEvents(new AuctionsEvents(this))
{
    connect(mEvents, &AuctionsEvents::Updated, this, &Auctions::Updated);
    connect(mEvents, &AuctionsEvents::AuctionChanged, this, [this](Auction* auction) {
        // A listener may remove the auction; keep it alive until every listener has seen it.
        const AuctionPtr keep = auction->sharedFromThis();
        Q_EMIT AuctionChanged(auction);
    });
    connect(mEvents, &AuctionsEvents::AuctionUpdated, this, &Auctions::onAuctionUpdated);
    connect(mEvents, &AuctionsEvents::AuctionStateChange, this, &Auctions::AuctionStateChange);
}

Auctions::~Auctions() = default;

void Auctions::Init(::Clock& oClock)
{
    m_clock = &oClock;
}

void Auctions::link(::Settings& settings, ::Categorys& categorys, DialogHost& dialogs)
{
    m_settings = &settings;
    m_categorys = &categorys;
    m_dialogs = &dialogs;
}

bool Auctions::isValidItemNumber(const QString& item)
{
    return ItemLinks::isValidItem(item);
}

AuctionPtr Auctions::newRecord() const
{
    AuctionPtr auction = AuctionPtr::create(m_settings ? m_settings->DefaultSnipeTime : 0);
    auction->Events = mEvents;
    auction->Clock = m_clock;
    return auction;
}

void Auctions::refuseDuplicate(const QString& sItem, const Auction& existing) const
{
    throw OrvError::refused(source, QStringLiteral("Cannot add auction.  Item ") + sItem +
                                        QStringLiteral(" already exists in Category ") + existing.Category +
                                        QStringLiteral("."));
}

AuctionPtr Auctions::Add(const QString& sItem, const QString& sCategory)
{
    const QString item = sItem.trimmed();
    if (item.isEmpty())
        throw OrvError::refused(source, QStringLiteral("Cannot add auction.  The item number is empty."));
    if (!isValidItemNumber(item))
        throw OrvError::refused(source, QStringLiteral("Cannot add auction.  The item number \"") + item +
                                            QStringLiteral("\" may hold only letters and digits."));
    // Exists compares exactly; the key does not, so a variant in letter case is a duplicate too.
    if (const AuctionPtr existing = m_items.value(item))
        refuseDuplicate(item, *existing);

    AuctionPtr auction = newRecord();
    auction->Item = item;
    auction->Category = sCategory;
    m_items.append(item, auction);
    if (!Paused)
        Q_EMIT AuctionChanged(auction.data());
    return auction;
}

void Auctions::ViewAdd(const QString& sItem, const QString& sCategory)
{
    if (const AuctionPtr existing = findExact(sItem))
        refuseDuplicate(sItem, *existing);
    Q_ASSERT_X(m_dialogs && m_categorys, "Auctions::ViewAdd", "link() was not called");
    if (sItem.isEmpty())
        m_dialogs->viewAuction(*this, *m_categorys, AuctionPtr());
    else
        m_dialogs->viewAuctionNewItem(*this, *m_categorys, sItem, sCategory);
}

void Auctions::ViewEdit(const AuctionPtr& auction)
{
    Q_ASSERT_X(m_dialogs && m_categorys, "Auctions::ViewEdit", "link() was not called");
    m_dialogs->viewAuction(*this, *m_categorys, auction);
}

void Auctions::refuseWithoutUsername() const
{
    Q_ASSERT_X(m_settings, "Auctions::refuseWithoutUsername", "link() was not called");
    if (m_settings->Username.isEmpty())
        throw OrvError::refused(
            source, QStringLiteral(
                        "You must first have an eBay username and password set before you can create a "
                        "bid for an auction.  Please open the configurations and enter this information."));
}

void Auctions::ViewEditBid(const AuctionPtr& auction)
{
    refuseWithoutUsername();
    Q_ASSERT_X(m_dialogs, "Auctions::ViewEditBid", "link() was not called");
    m_dialogs->viewAuctionBid(auction, false);
}

void Auctions::ViewNewBid(const AuctionPtr& auction)
{
    refuseWithoutUsername();
    Q_ASSERT_X(m_dialogs, "Auctions::ViewNewBid", "link() was not called");
    m_dialogs->viewAuctionBid(auction, true);
}

AuctionPtr Auctions::Item(const QString& sItem) const
{
    const AuctionPtr auction = m_items.value(sItem);
    if (!auction)
        throw OrvError(OrvError::InvalidArgument, source,
                       QStringLiteral("There is no auction with item number ") + sItem + QStringLiteral("."));
    return auction;
}

void Auctions::Remove(const QString& sItem)
{
    const AuctionPtr auction = Item(sItem);
    auction->Events = nullptr;
    auction->Deleted = true;
    m_items.take(sItem);
    if (!Paused)
        Q_EMIT AuctionChanged(auction.data());
}

void Auctions::Clear()
{
    m_items.clear();
    Q_EMIT Updated();
}

AuctionPtr Auctions::findExact(const QString& sItem) const
{
    for (const AuctionPtr& auction : m_items.items()) {
        if (auction->Item == sItem)
            return auction;
    }
    return AuctionPtr();
}

bool Auctions::Exists(const QString& sItem) const
{
    return !findExact(sItem).isNull();
}

void Auctions::onAuctionUpdated(Auction* auction)
{
    const AuctionPtr keep = auction->sharedFromThis();
    resumeNext(lcModel, [&] {
        if (m_clock)
            auction->LastUpdated = m_clock->Time();
    });
    Q_EMIT AuctionUpdated(auction);
}

void Auctions::Load(XMLManager& loader)
{
    // A record without an item number has no key; a second record of the same key is dropped.
    KeyedCollection<::Auction> loaded;
    loaded.load(
        loader, QStringLiteral("Auction"), [this] { return newRecord(); },
        [](const ::Auction& auction) { return auction.Item; });
    m_items = loaded;
    Q_EMIT Updated();
}

void Auctions::Save(XMLManager& loader)
{
    m_items.save(loader, QStringLiteral("Auction"));
}
