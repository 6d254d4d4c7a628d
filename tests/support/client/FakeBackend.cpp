#include "FakeBackend.h"

#include "RemoteClock.h"
#include "RemoteError.h"
#include "RemotecApp.h"

#include <QStringList>

using namespace Remote;

FakeBackend::FakeBackend(QObject* parent)
    : Backend(parent), m_settings({{QStringLiteral("ConfirmBid"), true},
                                   {QStringLiteral("ConfirmDel"), true},
                                   {QStringLiteral("ViewedAuctionAdded"), false},
                                   {QStringLiteral("ViewedLookingAtAuction"), false},
                                   {QStringLiteral("ColorActive"), 0},
                                   {QStringLiteral("ColorCaution"), 128},
                                   {QStringLiteral("ColorComplete"), 8421504},
                                   {QStringLiteral("ColorWarning"), 255}}),
      m_siteNow(std::make_shared<QDateTime>(QDateTime(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC)))
{
}

FakeBackend::~FakeBackend() = default;

void FakeBackend::addCategory(const QString& name, bool limited, qint32 maxWins)
{
    m_categories.append({name, maxWins, limited});
    if (isBound())
        Q_EMIT received(QStringLiteral("Categorys"), QStringLiteral("Updated"), {QVariant(categoryList())});
}

void FakeBackend::setCategories(const QList<CategoryRecord>& categories)
{
    m_categories = categories;
    if (isBound())
        Q_EMIT received(QStringLiteral("Categorys"), QStringLiteral("Updated"), {QVariant(categoryList())});
}

void FakeBackend::putAuction(const AuctionRecord& auction)
{
    const qsizetype at = indexOf(auction.Item);
    if (at < 0)
        m_auctions.append(auction);
    else
        m_auctions[at] = auction;
    if (isBound())
        reportAuction(auction);
}

void FakeBackend::removeAuction(const QString& item)
{
    const qsizetype at = indexOf(item);
    if (at < 0)
        return;
    AuctionRecord removed = m_auctions.takeAt(at);
    removed.Deleted = true;
    if (isBound())
        reportAuction(removed);
}

void FakeBackend::replaceAuctions(const QList<AuctionRecord>& auctions)
{
    m_auctions = auctions;
    if (isBound())
        Q_EMIT received(QStringLiteral("Auctions"), QStringLiteral("Updated"), {});
}

void FakeBackend::moveQuietly(const QString& from, const QString& to)
{
    for (AuctionRecord& auction : m_auctions) {
        if (auction.Category == from)
            auction.Category = to;
    }
}

void FakeBackend::setSetting(const QString& field, const QVariant& value)
{
    m_settings.insert(field, value);
    if (isBound())
        Q_EMIT received(QStringLiteral("Settings"), QStringLiteral("Updated"), {m_settings});
}

void FakeBackend::pinClock(Remote::Clock& clock)
{
    std::shared_ptr<QDateTime> now = m_siteNow;
    // The fake's site time is its UTC time: the clock's reported offset is 0.
    clock.setUtcSource([now] { return *now; });
}

void FakeBackend::setSiteTime(const QDateTime& siteNow)
{
    *m_siteNow = QDateTime(siteNow.date(), siteNow.time(), Qt::UTC);
}

void FakeBackend::advanceSiteTime(qint64 seconds)
{
    *m_siteNow = m_siteNow->addSecs(seconds);
}

void FakeBackend::report(const QString& object, const QString& name, const QVariantList& args)
{
    Q_EMIT received(object, name, args);
}

void FakeBackend::endProgram()
{
    if (!isBound())
        return;
    setBindState(Unbound);
    if (m_held)
        Q_EMIT holdChanged(false);
    Q_EMIT lost(Remote::cApp::endedText());
}

void FakeBackend::failCommand(const QString& command, qint32 number, const QString& description)
{
    m_failures.insert(command, {number, description});
}

void FakeBackend::bind()
{
    if (bindState() != Unbound)
        return;
    ++m_bindCount;
    setBindState(Binding);
    if (!m_reachable) {
        setBindState(Unbound);
        Q_EMIT lost(Remote::cApp::notReachedText());
        return;
    }
    setBindState(Bound);
    Q_EMIT bound(Bus::SnapshotRecord::fromMap(snapshot()));
    if (m_held)
        Q_EMIT holdChanged(true);
}

QVariant FakeBackend::call(const QString& object, const QString& method, const QVariantList& args)
{
    QStringList shown;
    for (const QVariant& arg : args)
        shown << argumentText(arg);
    const QString command = object + QLatin1Char('.') + method;
    m_calls << command + QLatin1Char('(') + shown.join(QStringLiteral(", ")) + QLatin1Char(')');
    if (!isBound()) {
        bind();
        throw Error(Error::NotRunning, Error::notRunningText());
    }
    const auto failure = m_failures.constFind(command);
    if (failure != m_failures.cend())
        throw Error(failure->first, failure->second);
    return perform(object, method, args);
}

void FakeBackend::fetchAuctions()
{
    if (m_fetchFails) {
        Q_EMIT auctionsFetchFailed();
        return;
    }
    Q_EMIT auctionsFetched(m_auctions, ++m_serial);
}

void FakeBackend::setHold(bool held)
{
    if (held == m_held)
        return;
    m_held = held;
    if (isBound())
        Q_EMIT holdChanged(held);
}

QString FakeBackend::argumentText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::QStringList: {
        QStringList items;
        for (const QString& item : value.toStringList())
            items << argumentText(item);
        return QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']');
    }
    default:
        return value.toString();
    }
}

QVariantMap FakeBackend::snapshot() const
{
    // The auctions travel packed, as the program sends them.
    QList<QByteArray> auctions;
    for (const AuctionRecord& auction : m_auctions)
        auctions << auction.packed();
    return {
        {QStringLiteral("App"),
         QVariantMap{{QStringLiteral("State"), qint32(AppHidden)}, {QStringLiteral("Status"), QString()}}},
        {QStringLiteral("Auctions"), AuctionRecord::packList(auctions)},
        {QStringLiteral("Serial"), m_serial},
        {QStringLiteral("Categorys"), categoryList()},
        {QStringLiteral("Settings"), m_settings},
        {QStringLiteral("Clock"), clockReport()},
        {QStringLiteral("BidManager"), QVariantMap{{QStringLiteral("State"), qint32(eBidderGreen)}}},
        {QStringLiteral("Updaters"), QVariantMap{{QStringLiteral("State"), qint32(sfNotBusy)}}},
    };
}

QVariantMap FakeBackend::clockReport() const
{
    return {{QStringLiteral("Variance"), 0},
            {QStringLiteral("LastUpdated"), AuctionRecord::dateValue(*m_siteNow)},
            {QStringLiteral("State"), qint32(sfNotRunning)},
            {QStringLiteral("Status"), QString()},
            {QStringLiteral("UtcOffset"), 0}};
}

QVariantList FakeBackend::categoryList() const
{
    QVariantList categories;
    for (const CategoryRecord& category : m_categories)
        categories << category.toMap();
    return categories;
}

qsizetype FakeBackend::indexOf(const QString& item) const
{
    for (qsizetype i = 0; i < m_auctions.size(); ++i) {
        if (m_auctions.at(i).Item.compare(item, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariantMap FakeBackend::reportAuction(const AuctionRecord& auction)
{
    QVariantMap record = auction.toMap();
    const qulonglong serial = ++m_serial;
    Q_EMIT received(QStringLiteral("Auctions"), QStringLiteral("AuctionChanged"), {record, serial});
    record.insert(QStringLiteral("Serial"), serial);
    return record;
}

QVariant FakeBackend::perform(const QString& object, const QString& method, const QVariantList& args)
{
    const QString first = args.value(0).toString();
    const auto existing = [this, &first]() -> AuctionRecord& {
        const qsizetype at = indexOf(first);
        if (at < 0)
            throw Error(5,
                        QStringLiteral("There is no auction with item number ") + first + QLatin1Char('.'));
        return m_auctions[at];
    };
    if (object == QLatin1String("App") && method == QLatin1String("DataFolder"))
        return m_dataFolder;
    if (object == QLatin1String("Auctions")) {
        if (method == QLatin1String("Add")) {
            const QString item = first.trimmed();
            for (const AuctionRecord& auction : std::as_const(m_auctions)) {
                if (auction.Item == item)
                    throw Error(Error::Refused, QStringLiteral("Cannot add auction.  Item ") + item +
                                                    QStringLiteral(" already exists in Category ") +
                                                    auction.Category + QLatin1Char('.'));
            }
            AuctionRecord added;
            added.Item = item;
            added.Category = args.value(1).toString();
            m_auctions.append(added);
            return reportAuction(added);
        }
        if (method == QLatin1String("Remove")) {
            AuctionRecord removed = existing();
            m_auctions.removeAt(indexOf(first));
            removed.Deleted = true;
            return reportAuction(removed);
        }
        if (method == QLatin1String("SetCategory")) {
            AuctionRecord& auction = existing();
            auction.Category = args.value(1).toString();
            return reportAuction(auction);
        }
        if (method == QLatin1String("SetDescription")) {
            AuctionRecord& auction = existing();
            auction.Description = args.value(1).toString();
            return reportAuction(auction);
        }
    } else if (object == QLatin1String("Categorys") && method == QLatin1String("Remove")) {
        if (m_categories.size() < 2)
            throw Error(Error::Refused, QStringLiteral("You must have at least one Category."));
        for (qsizetype i = 0; i < m_categories.size(); ++i) {
            if (m_categories.at(i).Name.compare(first, Qt::CaseInsensitive) == 0) {
                m_categories.removeAt(i);
                Q_EMIT received(QStringLiteral("Categorys"), QStringLiteral("Updated"),
                                {QVariant(categoryList())});
                return QVariant();
            }
        }
        throw Error(5, QStringLiteral("There is no category named ") + first + QLatin1Char('.'));
    } else if (object == QLatin1String("Settings") && method == QLatin1String("SetFlag")) {
        m_settings.insert(first, args.value(1).toBool());
        Q_EMIT received(QStringLiteral("Settings"), QStringLiteral("Updated"), {m_settings});
    }
    return QVariant();
}
