#include "frmAuctionBid.h"

#include "BidSender.h"
#include "Clock.h"
#include "MessageBoxSink.h"
#include "OrvPictures.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "TextForms.h"
#include "cGlobal.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

Q_LOGGING_CATEGORY(lcBidDialog, "orv.dialogs.bid")

const QString keyWatching = QStringLiteral("Watching");
const QString keyBid = QStringLiteral("Bid");
const QString keyFailed = QStringLiteral("Failed");
const QString keyCancelled = QStringLiteral("Cancelled");
const QString keySuccess = QStringLiteral("Success");

struct StateItem
{
    QString key;
    QString text;
    QString picture;
    AucSnipeStates state;
};

// The combo's items in their order, which is not the order of the states.
const QList<StateItem>& stateItems()
{
    static const QList<StateItem> items{
        {keyWatching, QStringLiteral("NOT BIDDING"), QStringLiteral("eye"), OR2Watching},
        {keyBid, QStringLiteral("BIDDING"), QStringLiteral("bid"), OR2BidSet},
        {keyFailed, QStringLiteral("BID FAILED"), QStringLiteral("failed"), OR2BidFailed},
        {keyCancelled, QStringLiteral("CANCELLED BID"), QStringLiteral("cancelled"), OR2BidCancelled},
        {keySuccess, QStringLiteral("SUCCESSFUL BID"), QStringLiteral("star"), OR2BidSuccess}};
    return items;
}

bool underWay(AucSnipeStates state)
{
    return state == OR2BidPreparing || state == OR2BidPrepared || state == OR2BidSending;
}

// The page the site returned for the item's last bid attempt; empty for an item number that cannot
// name a file.
QString storedPage(const Auction& auction)
{
    QString path;
    resumeNext(lcBidDialog, [&] { path = BidSender::pageFilePath(auction.Item); });
    return path;
}

QGroupBox* frame(const QString& caption, QWidget* content, QWidget* parent)
{
    auto* box = new QGroupBox(caption, parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

const QString notCompleteTitle = QStringLiteral("Information Not Complete");
const QString notCompleteText = QStringLiteral("Please make sure each field is properly completed.");
const QString changedTitle = QStringLiteral("Bid Details Changed");

} // namespace

frmAuctionBid::frmAuctionBid(DialogServices services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(std::move(services))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Auction Bid Details"));
    setWindowIcon(OrvPictures::icon(QStringLiteral("bid")));
    cGlobal::AlwaysOnTop(this, m_services.settings && m_services.settings->AlwaysOnTop);

    cboState = new QComboBox(this);
    cboState->setObjectName(QStringLiteral("cboState"));
    for (const StateItem& item : stateItems())
        cboState->addItem(OrvPictures::icon(item.picture), item.text, item.key);
    txtMaxBid = new QLineEdit(this);
    txtMaxBid->setObjectName(QStringLiteral("txtMaxBid"));
    // Shown for reference: the quantity bid for is the auction's own, and typing here would change
    // nothing that is sent.
    txtBidQuantity = new QLineEdit(this);
    txtBidQuantity->setObjectName(QStringLiteral("txtBidQuantity"));
    txtBidQuantity->setReadOnly(true);
    txtSnipeTime = new QLineEdit(this);
    txtSnipeTime->setObjectName(QStringLiteral("txtSnipeTime"));
    auto* snipe = new QWidget(this);
    auto* snipeLayout = new QHBoxLayout(snipe);
    snipeLayout->setContentsMargins(0, 0, 0, 0);
    snipeLayout->addWidget(txtSnipeTime);
    snipeLayout->addWidget(new QLabel(QStringLiteral("Place bid this many seconds before it ends."), snipe),
                           1);

    lblSystem = new QLabel(this);
    lblSystem->setObjectName(QStringLiteral("lblSystem"));
    lblSystem->setWordWrap(true);
    lblSystem->setFrameShape(QFrame::StyledPanel);
    lblSystem->setFrameShadow(QFrame::Sunken);
    lblSystem->setMinimumHeight(48);
    lblSystem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblSystem->setTextInteractionFlags(Qt::TextSelectableByMouse);

    cmdView = new QPushButton(QStringLiteral("View Web Output"), this);
    cmdView->setObjectName(QStringLiteral("cmdView"));
    cmdSave = new QPushButton(QStringLiteral("Save Bid Details"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setToolTip(QStringLiteral("Save Current Record"));
    cmdSave->setDefault(true);

    auto* sbStatus = new QStatusBar(this);
    sbStatus->setObjectName(QStringLiteral("sbStatus"));
    sbStatus->setSizeGripEnabled(false);
    m_status = new QLabel(sbStatus);
    m_status->setObjectName(QStringLiteral("status"));
    sbStatus->addWidget(m_status, 1);

    auto* grid = new QGridLayout;
    grid->addWidget(frame(QStringLiteral("Bidding State"), cboState, this), 0, 0, 1, 2);
    grid->addWidget(frame(QStringLiteral("Maximum Bid"), txtMaxBid, this), 1, 0);
    grid->addWidget(frame(QStringLiteral("Quantity"), txtBidQuantity, this), 1, 1);
    grid->addWidget(frame(QStringLiteral("Snipe Seconds"), snipe, this), 2, 0, 1, 2);
    grid->addWidget(lblSystem, 3, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdView);
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addWidget(sbStatus);
    setMinimumWidth(380);

    connect(cboState, &QComboBox::activated, this, &frmAuctionBid::cboState_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmAuctionBid::cmdSave_Click);
    connect(cmdView, &QPushButton::clicked, this, &frmAuctionBid::cmdView_Click);
}

QString frmAuctionBid::keyOf(AucSnipeStates state)
{
    for (const StateItem& item : stateItems()) {
        if (item.state == state)
            return item.key;
    }
    return QString();
}

void frmAuctionBid::View(const AuctionPtr& auction)
{
    if (!auction)
        return;
    mAuction = auction;
    m_filledState = auction->SnipeState;
    fill();
    show();
    cGlobal::fnShowWindow(this);
}

void frmAuctionBid::ViewNew(const AuctionPtr& auction)
{
    View(auction);
    if (!mAuction || underWay(m_filledState))
        return;
    cboState->setCurrentIndex(cboState->findData(keyBid));
    cboState_Click();
    txtMaxBid->setFocus();
    txtMaxBid->selectAll();
}

void frmAuctionBid::Status(const QString& text)
{
    m_status->setText(text);
}

void frmAuctionBid::fill()
{
    const Auction& auction = *mAuction;
    const QString page = storedPage(auction);
    cmdView->setEnabled(!page.isEmpty() && QFileInfo(page).isFile());
    txtMaxBid->setText(TextForms::typedNumber(auction.SnipeBid));
    txtSnipeTime->setText(QString::number(auction.SnipeSeconds));
    lblSystem->setText(auction.SysComments);
    txtBidQuantity->setText(QString::number(auction.SnipeQuantity));
    // A bid under way selects nothing: the window only shows it.
    cboState->setCurrentIndex(cboState->findData(keyOf(auction.SnipeState)));
    const bool locked = underWay(auction.SnipeState);
    cboState->setEnabled(!locked);
    cmdSave->setEnabled(!locked);
    Status(locked ? QStringLiteral("The bid is being sent; it cannot be changed now.") : QString());
    cboState_Click();
}

QString frmAuctionBid::selectedKey() const
{
    return cboState->currentData().toString();
}

void frmAuctionBid::cboState_Click()
{
    const QString key = selectedKey();
    const bool bidding = key == keyBid;
    for (QLineEdit* box : {txtBidQuantity, txtMaxBid, txtSnipeTime})
        box->setEnabled(bidding);
    if (!mAuction || !mAuction->SysComments.isEmpty())
        return;
    QString explanation;
    if (key == keyFailed)
        explanation = QStringLiteral("No explanation for failed bid.");
    else if (key == keyBid)
        explanation = TextForms::readTypedNumber(txtMaxBid->text()).value_or(0) > 0
                          ? QStringLiteral("Currently watching auction, waiting to send bid.")
                          : QStringLiteral("Please enter a bid for this auction.");
    else if (key == keySuccess)
        explanation = QStringLiteral("Bid successfully sent and confirmed.");
    else if (key == keyWatching)
        explanation = QStringLiteral("To schedule a bid, change status to Bidding.");
    else if (key == keyCancelled)
        explanation = QStringLiteral("No explanation for cancelled bid.");
    lblSystem->setText(explanation);
}

bool frmAuctionBid::refuseStale()
{
    MessageBoxSink* boxes = m_services.messageBoxes;
    if (mAuction->Deleted) {
        if (boxes)
            boxes->show(MessageBoxSink::Information, changedTitle,
                        QStringLiteral("This auction is no longer in the list.  Nothing was saved."));
        return true;
    }
    const AucSnipeStates now = mAuction->SnipeState;
    if (now == m_filledState && !underWay(now))
        return false;
    m_filledState = now;
    fill();
    if (boxes)
        boxes->show(MessageBoxSink::Information, changedTitle,
                    underWay(now)
                        ? QStringLiteral("The bid of this auction is being sent right now and cannot "
                                         "be changed.  Nothing was saved.")
                        : QStringLiteral("The bid of this auction changed while this window was "
                                         "open.  The window now shows it as it stands; nothing was "
                                         "saved."));
    return true;
}

void frmAuctionBid::cmdSave_Click()
{
    if (!mAuction || refuseStale())
        return;
    MessageBoxSink* boxes = m_services.messageBoxes;
    const QString key = selectedKey();

    // Only a text that reads wholly as a number is taken: "1,000" is never read as 1.
    const QString bidText = txtMaxBid->text().trimmed();
    const std::optional<double> bid =
        bidText.isEmpty() ? std::optional<double>(0.0) : TextForms::readTypedNumber(bidText);
    const QString secondsText = txtSnipeTime->text().trimmed();
    const std::optional<double> secondsRead =
        secondsText.isEmpty() ? std::optional<double>(0.0) : TextForms::readTypedNumber(secondsText);
    const qint64 seconds = secondsRead ? TextForms::roundHalfEven(*secondsRead) : -1;
    const bool complete = bid && *bid >= 0 && *bid <= Auction::MaxSnipeBid && (key != keyBid || *bid > 0) &&
                          secondsRead && seconds >= 0 && seconds <= Auction::MaxSnipeSeconds;
    if (!complete) {
        if (boxes)
            boxes->show(MessageBoxSink::Exclamation, notCompleteTitle, notCompleteText);
        return;
    }
    if (key == keyBid) {
        // Without its clock the auction's end cannot be weighed; it counts as closed.
        const bool closed = !mAuction->Clock || mAuction->EndTime < mAuction->Clock->Time();
        if (closed) {
            if (boxes)
                boxes->show(MessageBoxSink::Information, QStringLiteral("Cannot Create Bid"),
                            QStringLiteral("You may not set bids for auctions that have already closed."));
            return;
        }
    }

    Auction& auction = *mAuction;
    resumeNext(lcBidDialog, [&] { auction.SnipeBid = *bid; });
    resumeNext(lcBidDialog, [&] { auction.SnipeSeconds = qint32(seconds); });
    for (const StateItem& item : stateItems()) {
        if (item.key == key)
            auction.SnipeState = item.state;
    }
    resumeNext(lcBidDialog, [&] { auction.Changed(); });
    if (m_services.refreshBids)
        resumeNext(lcBidDialog, [&] { m_services.refreshBids(); });
    if (auction.SnipeState == OR2BidSet && m_services.settings && !m_services.settings->ViewedBidCreated) {
        m_services.settings->ViewedBidCreated = true;
        if (m_services.showInfo)
            resumeNext(lcBidDialog, [&] { m_services.showInfo(eViewInfoBidCreated); });
    }
    if (m_services.save)
        resumeNext(lcBidDialog, [&] { m_services.save(); });
    close();
}

void frmAuctionBid::cmdView_Click()
{
    if (!mAuction)
        return;
    const QString page = storedPage(*mAuction);
    if (page.isEmpty() || !QFileInfo(page).isFile())
        return;
    // Handed over as an argument, never through a shell.
    cGlobal::LaunchPage(page, m_services.settings && m_services.settings->ForceIE);
}
