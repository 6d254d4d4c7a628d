#include "Columns.h"

#include "ColumnsEvents.h"
#include "ModelLog.h"
#include "OrvError.h"
#include "PropertyReader.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "TextForms.h"
#include "XMLManager.h"

namespace {

const QString source = QStringLiteral("Columns");

struct StandardColumn
{
    const char* name;
    qint32 width;
    const char* caption; // "*" takes the name
    const char* menu;    // empty takes the caption
    AppColumnAligments alignment;
    bool sorted;
    bool colored;
};

const StandardColumn standardColumns[] = {
    {"Icon", 250, "", "Icon", OR2ColumnLeft, false, false},
    {"DL", 250, "", "Download Icon", OR2ColumnLeft, false, false},
    {"Hot", 250, "", "Hot Item", OR2ColumnLeft, false, false},
    {"Snipe", 250, "", "Status Icon", OR2ColumnLeft, false, false},
    {"Item", 1200, "*", "", OR2ColumnLeft, false, true},
    {"Description", 2000, "*", "", OR2ColumnLeft, false, true},
    {"End", 1200, "*", "", OR2ColumnLeft, false, false},
    {"Local End", 1200, "*", "", OR2ColumnLeft, false, false},
    {"TimeLeft", 1100, "Time Left", "", OR2ColumnCenter, true, false},
    {"Price", 700, "*", "", OR2ColumnRight, false, false},
    {"Currency", 500, "Curr", "Currency", OR2ColumnLeft, false, false},
    {"SnipeState", 1200, "Snipe State", "", OR2ColumnLeft, false, false},
    {"SnipeBid", 500, "Bid", "", OR2ColumnRight, false, false},
    {"SnipeTime", 550, "Secs", "", OR2ColumnCenter, false, false},
    {"Qty", 500, "*", "", OR2ColumnCenter, false, false},
    {"Bids", 500, "*", "", OR2ColumnCenter, false, false},
    {"Shipping", 700, "*", "", OR2ColumnRight, false, false},
    {"HighBidder", 1200, "*", "", OR2ColumnLeft, false, false},
    {"Seller", 1200, "*", "", OR2ColumnLeft, false, false},
    {"Updated", 1200, "*", "", OR2ColumnLeft, false, false},
    {"Comments", 2000, "*", "", OR2ColumnLeft, false, false},
    {"Category", 1200, "*", "", OR2ColumnLeft, false, false},
};

} // namespace

Columns::Columns(QObject* parent) : QObject(parent), mEvents(new ColumnsEvents(this))
{
    connect(mEvents, &ColumnsEvents::ColumnUpdated, this, &Columns::ColumnUpdated);
}

Columns::~Columns() = default;

void Columns::link(::Settings& settings)
{
    m_settings = &settings;
    for (const ColumnPtr& column : m_items.items())
        column->Settings = m_settings;
}

void Columns::setSortColumn(const QString& name)
{
    if (name == m_sortColumn)
        SortOrder = SortOrder == OR2Ascending ? OR2Descending : OR2Ascending;
    m_sortColumn = name;
    Q_EMIT SortUpdated();
}

ColumnPtr Columns::Add(const QString& sName, qint32 lWidth, const QString& sCaption, const QString& sMenu,
                       qint32 lDefault, AppColumnAligments lAlignment, const QString& sSort,
                       const QString& sTooltipText, bool bSorted, bool bColored)
{
    // Refused before anything changes, so that a failed Add leaves the sort as it was.
    if (m_items.contains(sName))
        throw OrvError::refused(source, QStringLiteral("A column named ") + sName +
                                            QStringLiteral(" already exists."));

    auto column = ColumnPtr::create();
    column->Events = mEvents;
    column->Settings = m_settings;
    column->Name = sName;
    column->Caption = sCaption == QLatin1String("*") ? sName : sCaption;
    column->Menu = sMenu.isEmpty() ? column->Caption : sMenu;
    column->Sort = sSort.isEmpty() ? sName : sSort;
    column->Index = Count() + 1;
    column->Width = lWidth;
    column->Default = lDefault >= 1 ? lDefault : lWidth;
    column->Alignment = lAlignment;
    column->TooltipText = sTooltipText;
    column->Colored = bColored;
    if (column->Index == 1 || bSorted)
        setSortColumn(sName);
    m_items.append(sName, column);
    if (!Paused)
        Q_EMIT Updated();
    return column;
}

void Columns::raiseUpdated()
{
    Q_EMIT Updated();
}

ColumnPtr Columns::Item(const QString& sName) const
{
    const ColumnPtr column = m_items.value(sName);
    if (!column)
        throw OrvError(OrvError::InvalidArgument, source,
                       QStringLiteral("There is no column named ") + sName + QStringLiteral("."));
    return column;
}

bool Columns::Exists(const QString& sName) const
{
    for (const ColumnPtr& column : m_items.items()) {
        if (column->Name == sName)
            return true;
    }
    return false;
}

void Columns::Remove(const QString& sName)
{
    m_items.take(sName);
    if (!Paused)
        Q_EMIT Updated();
}

void Columns::Clear()
{
    m_items.clear();
    if (!Paused)
        Q_EMIT Updated();
}

void Columns::addMissingDefaults()
{
    for (const StandardColumn& row : standardColumns) {
        const QString name = QString::fromLatin1(row.name);
        resumeNext(lcModel, [&] {
            if (!Exists(name))
                Add(name, row.width, QString::fromLatin1(row.caption), QString::fromLatin1(row.menu), 0,
                    row.alignment, QString(), QString(), row.sorted, row.colored);
        });
    }
}

void Columns::Load(XMLManager& loader)
{
    // A column without a name has no key; a second one of the same name is dropped.
    m_items.load(
        loader, QStringLiteral("Column"),
        [this] {
            auto column = ColumnPtr::create();
            column->Events = mEvents;
            column->Settings = m_settings;
            return column;
        },
        [](const Column& column) { return column.Name; });
    const PropertyReader read(loader);
    resumeNext(lcModel, [&] { m_sortColumn = read.text(QStringLiteral("SortColumn")); });
    resumeNext(lcModel, [&] {
        SortOrder = static_cast<AppSortOrder>(read.whole(QStringLiteral("SortOrder"), OR2Ascending));
    });
    if (!Paused)
        Q_EMIT Updated();
}

void Columns::Save(XMLManager& loader)
{
    resumeNext(lcModel, [&] { loader.WriteProperty(QStringLiteral("SortColumn"), m_sortColumn); });
    resumeNext(lcModel,
               [&] { loader.WriteProperty(QStringLiteral("SortOrder"), TextForms::whole(SortOrder)); });
    m_items.save(loader, QStringLiteral("Column"));
}
