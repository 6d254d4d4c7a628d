#include "Column.h"

#include "Auction.h"
#include "Clock.h"
#include "ColumnsEvents.h"
#include "ListCell.h"
#include "ModelLog.h"
#include "PropertyReader.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "TextForms.h"
#include "XMLManager.h"

namespace {

const QString blank = QStringLiteral("blank");

QString levelKey(AucTimeLeftLevel level)
{
    switch (level) {
    case OR2Complete:
        return QStringLiteral("white");
    case OR2Warning:
        return QStringLiteral("red");
    case OR2Caution:
        return QStringLiteral("yellow");
    case OR2Active:
        return QStringLiteral("green");
    }
    return QString();
}

QString snipeKey(AucSnipeStates state)
{
    switch (state) {
    case OR2BidSet:
        return QStringLiteral("bid");
    case OR2BidPreparing:
        return QStringLiteral("preparing");
    case OR2BidPrepared:
    case OR2BidSending:
        return QStringLiteral("bidding");
    case OR2BidFailed:
        return QStringLiteral("failed");
    case OR2BidSuccess:
        return QStringLiteral("star");
    case OR2BidCancelled:
        return QStringLiteral("cancelled");
    case OR2Watching:
        break;
    }
    return blank;
}

QString snipeText(AucSnipeStates state)
{
    switch (state) {
    case OR2Watching:
        return QStringLiteral("Not Bidding");
    case OR2BidSet:
        return QStringLiteral("Snipe Ready");
    case OR2BidPreparing:
        return QStringLiteral("Preparing");
    case OR2BidPrepared:
        return QStringLiteral("Prepared");
    case OR2BidSending:
        return QStringLiteral("Bidding");
    case OR2BidFailed:
        return QStringLiteral("Bid Failed");
    case OR2BidSuccess:
        return QStringLiteral("Bid Success");
    case OR2BidCancelled:
        return QStringLiteral("Cancelled");
    }
    return QString();
}

} // namespace

void Column::setVisible(bool value)
{
    if (value == Visible())
        return;
    Width = value ? Default : 0;
    if (Events)
        Events->raiseColumnUpdated(this);
}

bool Column::Iconic() const
{
    return Name == QLatin1String("Icon") || Name == QLatin1String("Hot") || Name == QLatin1String("Snipe") ||
           Name == QLatin1String("DL");
}

void Column::UpdateListItem(ListCell& cell, const Auction& auction) const
{
    resumeNext(lcModel, [&] {
        if (Name == QLatin1String("Icon")) {
            cell.setImageKey(Visible() ? levelKey(auction.LastTimeLeftLevel) : blank);
        } else if (Name == QLatin1String("Hot")) {
            if (!Settings)
                return;
            cell.setImageKey(Visible() && auction.Bids > Settings->HotBids ? QStringLiteral("hot") : blank);
        } else if (Name == QLatin1String("Snipe")) {
            cell.setImageKey(Visible() ? snipeKey(auction.SnipeState) : blank);
        } else if (Name == QLatin1String("Item")) {
            cell.setText(auction.Item);
        } else if (Name == QLatin1String("Description")) {
            cell.setText(auction.Description);
        } else if (Name == QLatin1String("End")) {
            cell.setText(TextForms::generalDate(auction.EndTime));
        } else if (Name == QLatin1String("Local End")) {
            if (!auction.Clock)
                return;
            cell.setText(
                TextForms::generalDate(auction.EndTime.addSecs(3600LL * auction.Clock->LocalUTCVariance())));
        } else if (Name == QLatin1String("Price")) {
            cell.setText(TextForms::twoDecimals(auction.Price));
        } else if (Name == QLatin1String("Shipping")) {
            cell.setText(TextForms::twoDecimals(auction.Shipping));
        } else if (Name == QLatin1String("Qty")) {
            cell.setText(QString::number(auction.Quantity));
        } else if (Name == QLatin1String("Bids")) {
            cell.setText(QString::number(auction.Bids));
        } else if (Name == QLatin1String("HighBidder")) {
            cell.setText(auction.HighBidder);
        } else if (Name == QLatin1String("Seller")) {
            cell.setText(auction.Seller);
        } else if (Name == QLatin1String("TimeLeft")) {
            cell.setText(auction.TimeLeftText());
        } else if (Name == QLatin1String("Updated")) {
            cell.setText(TextForms::generalDate(auction.LastUpdated));
        } else if (Name == QLatin1String("Comments")) {
            cell.setText(auction.Comments);
        } else if (Name == QLatin1String("Category")) {
            cell.setText(auction.Category);
        } else if (Name == QLatin1String("SnipeState")) {
            cell.setText(snipeText(auction.SnipeState));
        } else if (Name == QLatin1String("SnipeBid")) {
            cell.setText(TextForms::twoDecimals(auction.SnipeBid));
        } else if (Name == QLatin1String("SnipeTime")) {
            cell.setText(QString::number(auction.SnipeSeconds));
        } else if (Name == QLatin1String("Currency")) {
            cell.setText(auction.CurrencyTxt);
        }
    });
}

void Column::Load(XMLManager& loader)
{
    const PropertyReader read(loader);
    Name = read.text(QStringLiteral("Name"));
    Menu = read.text(QStringLiteral("Menu"));
    Sort = read.text(QStringLiteral("Sort"));
    Caption = read.text(QStringLiteral("Caption"));
    read.wholeOrKeep(QStringLiteral("Index"), Index, 0);
    read.wholeOrKeep(QStringLiteral("Width"), Width, 0);
    read.flag(QStringLiteral("Colored"), Colored, false);
    read.wholeOrKeep(QStringLiteral("Default"), Default, 0);
    qint32 alignment = Alignment;
    read.wholeOrKeep(QStringLiteral("Alignment"), alignment, OR2ColumnLeft);
    Alignment = static_cast<AppColumnAligments>(alignment);
    TooltipText = read.text(QStringLiteral("TooltipText"));
}

void Column::Save(XMLManager& loader)
{
    loader.WriteProperty(QStringLiteral("Name"), Name);
    loader.WriteProperty(QStringLiteral("Menu"), Menu);
    loader.WriteProperty(QStringLiteral("Sort"), Sort);
    loader.WriteProperty(QStringLiteral("Caption"), Caption);
    loader.WriteProperty(QStringLiteral("Index"), TextForms::whole(Index));
    loader.WriteProperty(QStringLiteral("Width"), TextForms::whole(Width));
    loader.WriteProperty(QStringLiteral("Colored"), TextForms::flag(Colored));
    loader.WriteProperty(QStringLiteral("Default"), TextForms::whole(Default));
    loader.WriteProperty(QStringLiteral("Alignment"), TextForms::whole(Alignment));
    loader.WriteProperty(QStringLiteral("TooltipText"), TooltipText);
}
