#include "AuctionListModel.h"

#include "BgrColor.h"
#include "DateTimes.h"
#include "ListCell.h"
#include "OrvPictures.h"
#include "Settings.h"

#include <QBrush>
#include <algorithm>
#include <numeric>

namespace {

const QString timeLeftName = QStringLiteral("TimeLeft");
const QString noneHeader = QStringLiteral("None");

// A column fills a cell of the row through this.
class CellWriter : public ListCell
{
public:
    CellWriter(QString& text, QString& image) : m_text(text), m_image(image) {}
    void setText(const QString& text) override { m_text = text; }
    void setImageKey(const QString& key) override { m_image = key; }

private:
    QString& m_text;
    QString& m_image;
};

double dateValue(const QDateTime& value)
{
    return static_cast<double>((DateTimes::isZero(value) ? DateTimes::zero() : value).toMSecsSinceEpoch());
}

// Numeric, money and date columns sort by their value, the time left by the end time; the others by
// their text without regard to letter case. A column without a value of its own ("DL") keeps the order.
enum class SortKind
{
    Number,
    Text,
    None
};

SortKind sortKind(const QString& name)
{
    static const QStringList numbers{
        QStringLiteral("TimeLeft"), QStringLiteral("End"),      QStringLiteral("Local End"),
        QStringLiteral("Icon"),     QStringLiteral("Updated"),  QStringLiteral("Price"),
        QStringLiteral("Shipping"), QStringLiteral("SnipeBid"), QStringLiteral("Qty"),
        QStringLiteral("Bids"),     QStringLiteral("Hot"),      QStringLiteral("SnipeTime"),
        QStringLiteral("Snipe")};
    if (name == QLatin1String("DL"))
        return SortKind::None;
    return numbers.contains(name) ? SortKind::Number : SortKind::Text;
}

double numberOf(const Auction& auction, const QString& name)
{
    if (name == QLatin1String("Updated"))
        return dateValue(auction.LastUpdated);
    if (name == QLatin1String("Price"))
        return auction.Price;
    if (name == QLatin1String("Shipping"))
        return auction.Shipping;
    if (name == QLatin1String("SnipeBid"))
        return auction.SnipeBid;
    if (name == QLatin1String("Qty"))
        return auction.Quantity;
    if (name == QLatin1String("Bids") || name == QLatin1String("Hot"))
        return auction.Bids;
    if (name == QLatin1String("SnipeTime"))
        return auction.SnipeSeconds;
    if (name == QLatin1String("Snipe"))
        return auction.SnipeState;
    // "TimeLeft", "End", "Local End" and "Icon" all follow the end time.
    return dateValue(auction.EndTime);
}

} // namespace

AuctionListModel::AuctionListModel(QObject* parent) : QAbstractTableModel(parent) {}

AuctionListModel::~AuctionListModel() = default;

void AuctionListModel::setSettings(const Settings* settings)
{
    m_settings = settings;
}

void AuctionListModel::setColumns(const QList<ColumnPtr>& columns)
{
    beginResetModel();
    m_columns = columns;
    m_rows.clear();
    m_timeLeftSection = -1;
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i)->Name == timeLeftName)
            m_timeLeftSection = i + 1;
    }
    endResetModel();
}

ColumnPtr AuctionListModel::columnAt(int section) const
{
    return section >= 1 && section <= m_columns.size() ? m_columns.at(section - 1) : ColumnPtr();
}

int AuctionListModel::sectionOf(const QString& name) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i)->Name.compare(name, Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return -1;
}

void AuctionListModel::setAuctions(const QList<AuctionPtr>& auctions)
{
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(auctions.size());
    for (const AuctionPtr& auction : auctions)
        m_rows.append(Row{auction->Item + QLatin1Char('~'), auction, {}, OR2Complete, QColor(), 0});
    endResetModel();
}

void AuctionListModel::appendAuction(const AuctionPtr& auction)
{
    const int row = static_cast<int>(m_rows.size());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.append(Row{auction->Item + QLatin1Char('~'), auction, {}, OR2Complete, QColor(), 0});
    render(m_rows.last());
    endInsertRows();
}

void AuctionListModel::removeAt(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

void AuctionListModel::renderRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    render(m_rows[row]);
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void AuctionListModel::setCellImage(int row, int section, const QString& key)
{
    if (row < 0 || row >= m_rows.size() || section < 1 || section > m_columns.size())
        return;
    shown(row).cells[section].image = key;
    const QModelIndex cell = index(row, section);
    Q_EMIT dataChanged(cell, cell, {Qt::DecorationRole, ImageKeyRole});
}

void AuctionListModel::refreshTimeLeft(int first, int last)
{
    ++m_pass;
    first = qMax(first, 0);
    last = qMin(last, static_cast<int>(m_rows.size()) - 1);
    if (first <= last)
        Q_EMIT dataChanged(index(first, 0), index(last, columnCount() - 1));
}

void AuctionListModel::sortRows(const QString& name, AppSortOrder sortOrder)
{
    const SortKind kind = sortKind(name);
    if (kind == SortKind::None || m_rows.size() < 2)
        return;
    const ColumnPtr column = columnAt(sectionOf(name));
    const qsizetype count = m_rows.size();
    QList<double> numbers;
    QList<QString> texts;
    if (kind == SortKind::Number) {
        numbers.reserve(count);
        for (const Row& row : std::as_const(m_rows))
            numbers.append(numberOf(*row.auction, name));
    } else {
        texts.reserve(count);
        for (const Row& row : std::as_const(m_rows)) {
            QString text;
            QString image;
            if (column) {
                CellWriter cell(text, image);
                column->UpdateListItem(cell, *row.auction);
            }
            texts.append(text.toCaseFolded());
        }
    }
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    const bool descending = sortOrder == OR2Descending;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (descending)
            std::swap(a, b);
        return kind == SortKind::Number ? numbers.at(a) < numbers.at(b) : texts.at(a) < texts.at(b);
    });

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QList<int> newRowOf(count);
    QList<Row> sorted;
    sorted.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        newRowOf[order[static_cast<size_t>(i)]] = static_cast<int>(i);
        sorted.append(std::move(m_rows[order[static_cast<size_t>(i)]]));
    }
    m_rows = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after.append(index(newRowOf.at(old.row()), old.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int AuctionListModel::rowOfItem(const QString& item) const
{
    const QString key = item + QLatin1Char('~');
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).key == key)
            return i;
    }
    return -1;
}

QString AuctionListModel::rowKey(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).key : QString();
}

AuctionPtr AuctionListModel::auctionAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).auction : AuctionPtr();
}

int AuctionListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int AuctionListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size()) + 1;
}

QVariant AuctionListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        index.column() == 0)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return shown(index.row()).cells.at(index.column()).text;
    case ImageKeyRole:
        return shown(index.row()).cells.at(index.column()).image;
    case Qt::DecorationRole: {
        const QString& image = shown(index.row()).cells.at(index.column()).image;
        return image.isEmpty() ? QVariant() : QVariant(OrvPictures::icon(image));
    }
    case Qt::ForegroundRole: {
        const Row& row = shown(index.row());
        return m_columns.at(index.column() - 1)->Colored ? QVariant(QBrush(row.colour)) : QVariant();
    }
    case Qt::TextAlignmentRole:
        switch (m_columns.at(index.column() - 1)->Alignment) {
        case OR2ColumnRight:
            return int(Qt::AlignRight | Qt::AlignVCenter);
        case OR2ColumnCenter:
            return int(Qt::AlignCenter);
        default:
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        }
    default:
        return QVariant();
    }
}

QVariant AuctionListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section > m_columns.size())
        return QVariant();
    if (section == 0)
        return role == Qt::UserRole ? QVariant(noneHeader) : QVariant();
    const ColumnPtr& column = m_columns.at(section - 1);
    switch (role) {
    case Qt::DisplayRole:
        return column->Caption;
    case Qt::ToolTipRole:
        return column->TooltipText.isEmpty() ? QVariant() : QVariant(column->TooltipText);
    case Qt::UserRole:
        return column->Name;
    case Qt::TextAlignmentRole:
        return column->Alignment == OR2ColumnRight    ? int(Qt::AlignRight | Qt::AlignVCenter)
               : column->Alignment == OR2ColumnCenter ? int(Qt::AlignCenter)
                                                      : int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

Qt::ItemFlags AuctionListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void AuctionListModel::render(Row& row) const
{
    // The level first: the "Icon" cell shows the level it stores.
    row.level = row.auction->TimeLeftLevel();
    row.colour = colourOf(row.level);
    row.cells.resize(m_columns.size() + 1);
    for (int i = 0; i < m_columns.size(); ++i) {
        Cell& cell = row.cells[i + 1];
        CellWriter writer(cell.text, cell.image);
        m_columns.at(i)->UpdateListItem(writer, *row.auction);
    }
    row.pass = m_pass;
}

AuctionListModel::Row& AuctionListModel::shown(int index) const
{
    Row& row = m_rows[index];
    if (row.cells.isEmpty()) {
        render(row);
    } else if (row.pass != m_pass) {
        row.pass = m_pass;
        const AucTimeLeftLevel before = row.level;
        if (row.auction->TimeLeftLevel() != before)
            render(row);
        else if (m_timeLeftSection > 0)
            row.cells[m_timeLeftSection].text = row.auction->TimeLeftText();
    }
    return row;
}

QColor AuctionListModel::colourOf(AucTimeLeftLevel level) const
{
    if (!m_settings)
        return QColor(Qt::black);
    switch (level) {
    case OR2Complete:
        return BgrColor::toColor(m_settings->ColorComplete);
    case OR2Warning:
        return BgrColor::toColor(m_settings->ColorWarning);
    case OR2Caution:
        return BgrColor::toColor(m_settings->ColorCaution);
    case OR2Active:
        return BgrColor::toColor(m_settings->ColorActive);
    }
    return QColor(Qt::black);
}
