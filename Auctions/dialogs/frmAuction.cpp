#include "frmAuction.h"

#include "Auctions.h"
#include "Categorys.h"
#include "Clock.h"
#include "DateTimes.h"
#include "MessageBoxSink.h"
#include "OrvError.h"
#include "OrvPictures.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "TextForms.h"
#include "Updater.h"
#include "cGlobal.h"
#include "frmDate.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

namespace {

Q_LOGGING_CATEGORY(lcAuctionEditor, "orv.dialogs.auction")

const QString notAvailable = QStringLiteral("N/A");
const QString notCompleteTitle = QStringLiteral("Information Not Complete");
const QString notCompleteSave =
    QStringLiteral("Please make sure the required fields are properly completed.");
const QString notCompleteBid = QStringLiteral(
    "Please make sure the required fields are properly completed before you edit the bid properties.");
const QString addError = QStringLiteral("Add Error");
const QString editBidError = QStringLiteral("Edit Bid Error");
const QString changedTitle = QStringLiteral("Auction Details Changed");
const QString createBidCaption = QStringLiteral("Create Bid Details");
const QString designTimeLeft = QStringLiteral("00:00:00:00");
const QString designStatus = QStringLiteral("Auction Bid Status");

QString dateText(const QDateTime& value)
{
    return DateTimes::isZero(value) ? notAvailable : TextForms::generalDate(value);
}

QLineEdit* textBox(const QString& name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

QGroupBox* frame(const QString& caption, const QList<QWidget*>& content, QWidget* parent)
{
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(QStringLiteral("FraAucData"));
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(6, 2, 6, 4);
    for (QWidget* widget : content)
        layout->addWidget(widget, widget == content.first() ? 1 : 0);
    return box;
}

QLabel* title(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

// A whole number of a box: the whole text reads as a number, which is rounded (halves to even) and
// fits from 0 to the largest 32-bit number; an empty box is 0.
std::optional<qint32> wholeOf(const QLineEdit* box)
{
    const QString text = box->text().trimmed();
    if (text.isEmpty())
        return 0;
    const std::optional<double> read = TextForms::readTypedNumber(text);
    if (!read)
        return std::nullopt;
    const qint64 value = TextForms::roundHalfEven(*read);
    if (value < 0 || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

// An amount of a box: the whole text reads as a number from 0 to the largest bid; an empty box is 0.
std::optional<double> amountOf(const QLineEdit* box)
{
    const QString text = box->text().trimmed();
    if (text.isEmpty())
        return 0.0;
    const std::optional<double> read = TextForms::readTypedNumber(text);
    if (!read || *read < 0 || *read > Auction::MaxSnipeBid)
        return std::nullopt;
    return read;
}

} // namespace

// What Save stores: the boxes read; a date that is not given keeps the auction's own.
struct frmAuction::Fields
{
    qint32 bids = 0;
    double price = 0;
    double shipping = 0;
    qint32 quantity = 0;
    std::optional<QDateTime> startTime;
    std::optional<QDateTime> endTime;
    std::optional<QDateTime> lastUpdated;
};

frmAuction::frmAuction(DialogServices services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(std::move(services))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Auction Editor"));
    setWindowIcon(OrvPictures::icon(QStringLiteral("edit")));
    cGlobal::AlwaysOnTop(this, m_services.settings && m_services.settings->AlwaysOnTop);

    txtItem = textBox(QStringLiteral("txtItem"), this);
    cmdDownload = new QToolButton(this);
    cmdDownload->setObjectName(QStringLiteral("cmdDownload"));
    cmdDownload->setToolTip(QStringLiteral("Download Auction information..."));
    cmdDownload->setIcon(OrvPictures::icon(QStringLiteral("update")));
    cmdDownload->setAutoRaise(true);
    cboCategory = new QComboBox(this);
    cboCategory->setObjectName(QStringLiteral("cboCategory"));
    // Only an existing category can be chosen: a typed name would match no tab, and the auction would
    // vanish from every view.
    cboCategory->setEditable(false);
    txtDescription = textBox(QStringLiteral("txtDescription"), this);
    txtHighbidder = textBox(QStringLiteral("txtHighbidder"), this);
    txtSeller = textBox(QStringLiteral("txtSeller"), this);
    txtStartDate = textBox(QStringLiteral("txtStartDate"), this);
    txtEndTime = textBox(QStringLiteral("txtEndTime"), this);
    txtLastUpdated = textBox(QStringLiteral("txtLastUpdated"), this);
    // Wide enough for a whole date and time in the regional form.
    const int dateWidth =
        txtEndTime->fontMetrics().horizontalAdvance(
            TextForms::generalDate(DateTimes::naive(2028, 12, 28, 22, 58, 58)) + QStringLiteral("MM")) +
        12;
    for (QLineEdit* box : {txtStartDate, txtEndTime, txtLastUpdated})
        box->setMinimumWidth(dateWidth);
    for (int i = 0; i < int(imgChooseDate.size()); ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("imgChooseDate_%1").arg(i));
        button->setToolTip(QStringLiteral("Date Select..."));
        button->setIcon(OrvPictures::icon(QStringLiteral("clock")));
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this, [this, i] { imgChooseDate_Click(i); });
        imgChooseDate[i] = button;
    }
    txtPrice = textBox(QStringLiteral("txtPrice"), this);
    txtShipping = textBox(QStringLiteral("txtShipping"), this);
    txtQuantity = textBox(QStringLiteral("txtQuantity"), this);
    txtQuantity->setText(QStringLiteral("1"));
    txtBids = textBox(QStringLiteral("txtBids"), this);
    txtComments = textBox(QStringLiteral("txtComments"), this);

    auto* fields = new QGridLayout;
    fields->addWidget(frame(QStringLiteral("Auction Number"), {txtItem, cmdDownload}, this), 0, 0);
    fields->addWidget(frame(QStringLiteral("Category"), {cboCategory}, this), 0, 1);
    fields->addWidget(frame(QStringLiteral("Bids"), {txtBids}, this), 0, 2);
    fields->addWidget(frame(QStringLiteral("Description"), {txtDescription}, this), 1, 0, 1, 3);
    fields->addWidget(frame(QStringLiteral("High Bidder"), {txtHighbidder}, this), 2, 0);
    fields->addWidget(frame(QStringLiteral("Seller"), {txtSeller}, this), 2, 1);
    fields->addWidget(frame(QStringLiteral("Quantity"), {txtQuantity}, this), 2, 2);
    fields->addWidget(frame(QStringLiteral("Start Date (PDT/PST)"), {txtStartDate, imgChooseDate[0]}, this),
                      3, 0);
    fields->addWidget(frame(QStringLiteral("End Time (PDT/PST)"), {txtEndTime, imgChooseDate[1]}, this), 3,
                      1);
    fields->addWidget(
        frame(QStringLiteral("Last Updated (PDT/PST)"), {txtLastUpdated, imgChooseDate[2]}, this), 3, 2);
    fields->addWidget(frame(QStringLiteral("Price"), {txtPrice}, this), 4, 0);
    fields->addWidget(frame(QStringLiteral("Shipping"), {txtShipping}, this), 4, 1);
    fields->addWidget(frame(QStringLiteral("Comments"), {txtComments}, this), 5, 0, 1, 3);
    for (int column = 0; column < 3; ++column)
        fields->setColumnStretch(column, 1);

    lblTimeLeft = new QLabel(designTimeLeft, this);
    lblTimeLeft->setObjectName(QStringLiteral("lblTimeLeft"));
    lblBid = new QLabel(this);
    lblBid->setObjectName(QStringLiteral("lblBid"));
    lblSnipeTime = new QLabel(this);
    lblSnipeTime->setObjectName(QStringLiteral("lblSnipeTime"));
    lblStatus = new QLabel(designStatus, this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setAlignment(Qt::AlignCenter);
    lblStatus->setAutoFillBackground(true);
    lblStatus->setFrameShape(QFrame::Panel);
    lblStatus->setFrameShadow(QFrame::Sunken);
    lblStatus->setMinimumHeight(28);
    cmdEditBid = new QPushButton(QStringLiteral("Edit \\ View Bid"), this);
    cmdEditBid->setObjectName(QStringLiteral("cmdEditBid"));
    auto* bid = new QGridLayout;
    bid->addWidget(title(QStringLiteral("Time Left:"), this), 0, 0, Qt::AlignRight);
    bid->addWidget(lblTimeLeft, 0, 1);
    bid->addWidget(title(QStringLiteral("Maximum Bid:"), this), 0, 2, Qt::AlignRight);
    bid->addWidget(lblBid, 0, 3);
    bid->addWidget(title(QStringLiteral("Bid Seconds:"), this), 0, 4, Qt::AlignRight);
    bid->addWidget(lblSnipeTime, 0, 5);
    bid->addWidget(lblStatus, 1, 0, 1, 4);
    bid->addWidget(cmdEditBid, 1, 4, 1, 2);
    bid->setColumnStretch(1, 1);
    bid->setColumnStretch(3, 1);
    bid->setColumnStretch(5, 1);

    cmdSave = new QPushButton(QStringLiteral("Save Auction"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setToolTip(QStringLiteral("Save Current Auction"));
    auto* sbStatus = new QStatusBar(this);
    sbStatus->setObjectName(QStringLiteral("StatusBar"));
    sbStatus->setSizeGripEnabled(false);
    m_status = new QLabel(sbStatus);
    m_status->setObjectName(QStringLiteral("status"));
    sbStatus->addWidget(m_status, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(bid);
    layout->addWidget(cmdSave, 0, Qt::AlignRight);
    layout->addWidget(sbStatus);

    connect(txtItem, &QLineEdit::textChanged, this, &frmAuction::txtItem_Change);
    connect(txtItem, &QLineEdit::editingFinished, this, [this] {
        const QString trimmed = txtItem->text().trimmed();
        if (trimmed != txtItem->text())
            txtItem->setText(trimmed);
    });
    connect(cmdDownload, &QToolButton::clicked, this, &frmAuction::cmdDownload_Click);
    connect(cmdEditBid, &QPushButton::clicked, this, &frmAuction::cmdEditBid_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmAuction::cmdSave_Click);
    tmrTick.setInterval(TickMs);
    connect(&tmrTick, &QTimer::timeout, this, &frmAuction::tmrTick_Timer);
    txtItem_Change();
}

frmAuction::~frmAuction()
{
    dropUpdater();
}

void frmAuction::View(Auctions& auctions, Categorys& categorys, const AuctionPtr& auction)
{
    // Starting over: no chooser or download of the earlier opening writes into these boxes.
    frmDate::release(this);
    dropUpdater();
    mAuctions = &auctions;
    mCategorys = &categorys;
    mAuction = auction;
    txtItem->setEnabled(!auction);
    cmdSave->setText(auction ? QStringLiteral("Save Auction") : QStringLiteral("Add Auction"));

    fillCategories();

    if (auction) {
        fillFrom(*auction);
        tmrTick.start();
        tmrTick_Timer();
    } else {
        tmrTick.stop();
        lblTimeLeft->setText(designTimeLeft);
        lblBid->clear();
        lblSnipeTime->clear();
        lblStatus->setText(designStatus);
        lblStatus->setPalette(QPalette());
    }
    txtItem_Change();
    m_focusOnActivate = true;
    show();
    cGlobal::fnShowWindow(this);
    Form_Activate();
}

void frmAuction::ViewNewItem(Auctions& auctions, Categorys& categorys, const QString& item,
                             const QString& category)
{
    View(auctions, categorys, AuctionPtr());
    txtItem->setText(item);
    if (!category.isEmpty())
        cboCategory->setCurrentIndex(
            cboCategory->findText(category, Qt::MatchFixedString | Qt::MatchCaseSensitive));
    cmdDownload_Click();
}

void frmAuction::Status(const QString& text)
{
    m_status->setText(text);
}

void frmAuction::fillCategories()
{
    cboCategory->clear();
    if (mCategorys) {
        for (const CategoryPtr& category : mCategorys->Items())
            cboCategory->addItem(OrvPictures::icon(QStringLiteral("category")), category->Name);
    }
    cboCategory->setCurrentIndex(cboCategory->count() > 0 ? 0 : -1);
}

void frmAuction::fillFrom(const Auction& auction)
{
    txtBids->setText(QString::number(auction.Bids));
    txtComments->setText(auction.Comments);
    txtDescription->setText(auction.Description);
    txtEndTime->setText(dateText(auction.EndTime));
    txtHighbidder->setText(auction.HighBidder);
    txtItem->setText(auction.Item);
    txtLastUpdated->setText(dateText(auction.LastUpdated));
    // Whole, so that a Save of untouched boxes gives back the very amounts.
    txtPrice->setText(TextForms::typedNumber(auction.Price));
    txtShipping->setText(TextForms::typedNumber(auction.Shipping));
    txtQuantity->setText(QString::number(auction.Quantity >= 1 ? auction.Quantity : 1));
    txtSeller->setText(auction.Seller);
    txtStartDate->setText(dateText(auction.StartTime));
    // A category that no longer exists shows no choice, and Save asks for one.
    cboCategory->setCurrentIndex(
        cboCategory->findText(auction.Category, Qt::MatchFixedString | Qt::MatchCaseSensitive));
    m_filled = filledOf(auction);
}

frmAuction::Filled frmAuction::filledOf(const Auction& auction)
{
    Filled filled;
    filled.bids = auction.Bids;
    filled.comments = auction.Comments;
    filled.description = auction.Description;
    filled.highBidder = auction.HighBidder;
    filled.category = auction.Category;
    filled.seller = auction.Seller;
    filled.price = auction.Price;
    filled.shipping = auction.Shipping;
    filled.quantity = auction.Quantity;
    filled.endTime = auction.EndTime;
    filled.startTime = auction.StartTime;
    filled.lastUpdated = auction.LastUpdated;
    return filled;
}

bool frmAuction::refuseStale()
{
    if (mAuction->Deleted) {
        if (m_services.messageBoxes)
            m_services.messageBoxes->show(
                MessageBoxSink::Information, changedTitle,
                QStringLiteral("This auction is no longer in the list.  Nothing was saved."));
        return true;
    }
    if (filledOf(*mAuction) == m_filled)
        return false;
    // Written back, the boxes would undo the update, end time and all.
    fillCategories();
    fillFrom(*mAuction);
    Form_Activate();
    if (m_services.messageBoxes)
        m_services.messageBoxes->show(MessageBoxSink::Information, changedTitle,
                                      QStringLiteral("This auction was updated while this window was "
                                                     "open.  The window now shows it as it stands; "
                                                     "nothing was saved."));
    return true;
}

void frmAuction::holdAuction(const AuctionPtr& auction)
{
    mAuction = auction;
    m_filled = filledOf(*auction);
    // From now on the boxes belong to this auction: its item number can no longer be typed over.
    txtItem->setText(auction->Item);
    txtItem->setEnabled(false);
}

void frmAuction::dropUpdater()
{
    if (!mUpdater)
        return;
    mUpdater->disconnect(this);
    mUpdater->deleteLater();
    mUpdater = nullptr;
    cmdDownload->setEnabled(!txtItem->text().isEmpty());
}

void frmAuction::txtItem_Change()
{
    const bool given = !txtItem->text().isEmpty();
    cmdDownload->setEnabled(given && !(mUpdater && mUpdater->State() == sfRunning));
    cmdSave->setEnabled(given);
    cmdEditBid->setEnabled(given);
}

void frmAuction::tmrTick_Timer()
{
    if (mAuction)
        lblTimeLeft->setText(mAuction->TimeLeftText());
}

void frmAuction::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void frmAuction::Form_Activate()
{
    if (m_focusOnActivate && txtItem->isEnabled())
        txtItem->setFocus();
    m_focusOnActivate = false;
    if (!mAuction) {
        cmdEditBid->setText(createBidCaption);
        return;
    }
    const Auction& auction = *mAuction;
    struct Look
    {
        QString button;
        QString status;
        QColor background;
    };
    std::optional<Look> look;
    switch (auction.SnipeState) {
    case OR2Watching:
        look = Look{createBidCaption, QStringLiteral("Not Bidding on Auction"), QColor(192, 255, 255)};
        break;
    case OR2BidSet:
        look = Look{QStringLiteral("Edit Bid Details"), QStringLiteral("Bid Prepared and Ready"),
                    QColor(255, 255, 0)};
        break;
    case OR2BidFailed:
        look = Look{QStringLiteral("View Bid Details"), QStringLiteral("Bid Failed - See Details"),
                    QColor(255, 0, 0)};
        break;
    case OR2BidSuccess:
        look = Look{QStringLiteral("View Bid Details"), QStringLiteral("Bid Successfully Sent"),
                    QColor(0, 255, 0)};
        break;
    case OR2BidCancelled:
        look = Look{QStringLiteral("View Bid Details"), QStringLiteral("Bid Cancelled - See..."),
                    QColor(224, 224, 224)};
        break;
    default:
        // Being prepared or sent: whatever the labels showed stays.
        break;
    }
    if (look) {
        cmdEditBid->setText(look->button);
        lblStatus->setText(look->status);
        QPalette palette = lblStatus->palette();
        palette.setColor(QPalette::Window, look->background);
        palette.setColor(QPalette::WindowText, Qt::black);
        lblStatus->setPalette(palette);
    }
    lblBid->setText(auction.SnipeBid > 0 ? TextForms::typedNumber(auction.SnipeBid) : notAvailable);
    lblSnipeTime->setText(auction.SnipeSeconds >= 1 ? QString::number(auction.SnipeSeconds) : notAvailable);
}

bool frmAuction::isComplete() const
{
    return !txtItem->text().isEmpty() && TextForms::readTypedNumber(txtQuantity->text()).value_or(0) > 0 &&
           cboCategory->currentIndex() >= 0;
}

std::optional<frmAuction::Fields> frmAuction::readBoxes() const
{
    Fields fields;
    const std::optional<qint32> bids = wholeOf(txtBids);
    const std::optional<qint32> quantity = wholeOf(txtQuantity);
    const std::optional<double> price = amountOf(txtPrice);
    const std::optional<double> shipping = amountOf(txtShipping);
    if (!bids || !quantity || !price || !shipping)
        return std::nullopt;
    fields.bids = *bids;
    fields.quantity = *quantity;
    fields.price = *price;
    fields.shipping = *shipping;
    // An empty box or "N/A" keeps the auction's date; anything else must be a date.
    const auto date = [](const QLineEdit* box, std::optional<QDateTime>& value) {
        const QString text = box->text().trimmed();
        if (text.isEmpty() || text == notAvailable)
            return true;
        value = TextForms::readDate(text);
        return value.has_value();
    };
    if (!date(txtStartDate, fields.startTime) || !date(txtEndTime, fields.endTime) ||
        !date(txtLastUpdated, fields.lastUpdated))
        return std::nullopt;
    return fields;
}

void frmAuction::showIncomplete(const QString& text)
{
    if (m_services.messageBoxes)
        m_services.messageBoxes->show(MessageBoxSink::Exclamation, notCompleteTitle, text);
}

void frmAuction::showError(const QString& title, const QString& text)
{
    if (m_services.messageBoxes)
        m_services.messageBoxes->show(MessageBoxSink::Exclamation, title, text);
}

void frmAuction::cmdSave_Click()
{
    if (mAuction && refuseStale())
        return;
    if (!isComplete()) {
        showIncomplete(notCompleteSave);
        return;
    }
    const std::optional<Fields> fields = readBoxes();
    if (!fields) {
        showIncomplete(notCompleteSave);
        return;
    }
    if (!mAuctions || !mCategorys)
        return;
    const QString category = cboCategory->currentText();
    bool categoryExists = false;
    for (const CategoryPtr& existing : mCategorys->Items())
        categoryExists = categoryExists || existing->Name == category;
    if (!categoryExists) {
        showError(addError, QStringLiteral("The category ") + category +
                                QStringLiteral(" no longer exists.  Please choose another."));
        return;
    }
    if (!mAuction) {
        try {
            holdAuction(mAuctions->Add(txtItem->text().trimmed(), category));
        } catch (const OrvError& error) {
            showError(addError, error.description());
            return;
        }
        // The first auction ever added also sets the site clock right.
        if (m_services.settings && !m_services.settings->ViewedAuctionAdded) {
            m_services.settings->ViewedAuctionAdded = true;
            if (m_services.showInfo)
                resumeNext(lcAuctionEditor, [&] { m_services.showInfo(eViewInfoAuctionAdd); });
            if (m_services.syncClock)
                resumeNext(lcAuctionEditor, [&] { m_services.syncClock(); });
        }
    }

    Auction& auction = *mAuction;
    auction.Bids = fields->bids;
    auction.Comments = txtComments->text();
    auction.Description = txtDescription->text();
    auction.HighBidder = txtHighbidder->text();
    auction.Category = category;
    auction.Price = fields->price;
    auction.Shipping = fields->shipping;
    auction.Quantity = fields->quantity;
    auction.Seller = txtSeller->text();
    if (fields->endTime)
        auction.EndTime = *fields->endTime;
    if (fields->startTime)
        auction.StartTime = *fields->startTime;
    if (fields->lastUpdated)
        auction.LastUpdated = *fields->lastUpdated;
    // What the window wrote is no outside change, should the save fail and the user try again.
    m_filled = filledOf(auction);
    try {
        auction.Changed();
        if (m_services.save)
            m_services.save();
    } catch (const OrvError& error) {
        showError(addError, error.description());
        return;
    }
    close();
}

void frmAuction::cmdEditBid_Click()
{
    if (!mAuctions)
        return;
    try {
        if (!mAuction) {
            if (!isComplete()) {
                showIncomplete(notCompleteBid);
                return;
            }
            const AuctionPtr added = mAuctions->Add(txtItem->text(), cboCategory->currentText());
            if (const std::optional<QDateTime> end = TextForms::readDate(txtEndTime->text()))
                added->EndTime = *end;
            holdAuction(added);
        }
        mAuctions->ViewEditBid(mAuction);
    } catch (const OrvError& error) {
        showError(editBidError, error.description());
    }
}

void frmAuction::cmdDownload_Click()
{
    dropUpdater();
    auto* updater = new Updater(this);
    mUpdater = updater;
    updater->Auction = AuctionPtr::create(m_services.settings ? m_services.settings->DefaultSnipeTime : 0);
    updater->Auction->Item = txtItem->text().trimmed();
    connect(updater, &Updater::StateChanged, this,
            [this, updater](int state) { mUpdater_StateChanged(updater, state); });
    updater->Download();
}

void frmAuction::mUpdater_StateChanged(Updater* updater, int state)
{
    // A download replaced by another no longer reaches the boxes.
    if (updater != mUpdater)
        return;
    cmdDownload->setEnabled(state != sfRunning);
    const QString item = updater->Auction ? updater->Auction->Item : QString();
    switch (state) {
    case sfRunning:
        cmdDownload->setIcon(OrvPictures::icon(QStringLiteral("ieyellow")));
        Status(QStringLiteral("Downloading auction ") + item + QStringLiteral(" details..."));
        break;
    case sfComplete: {
        const Auction& downloaded = *updater->Auction;
        txtBids->setText(QString::number(downloaded.Bids));
        txtComments->setText(downloaded.Comments);
        txtDescription->setText(downloaded.Description);
        txtHighbidder->setText(downloaded.HighBidder);
        if (!mAuction)
            txtItem->setText(downloaded.Item);
        txtSeller->setText(downloaded.Seller);
        txtQuantity->setText(QString::number(downloaded.Quantity));
        txtPrice->setText(TextForms::typedNumber(downloaded.Price));
        txtShipping->setText(TextForms::typedNumber(downloaded.Shipping));
        txtStartDate->setText(dateText(downloaded.StartTime));
        txtEndTime->setText(dateText(downloaded.EndTime));
        // The frame says site time, and so does the stamp of every other update.
        const ::Clock* clock = mAuctions ? mAuctions->Clock() : nullptr;
        txtLastUpdated->setText(clock ? dateText(clock->Time()) : notAvailable);
        cmdDownload->setIcon(OrvPictures::icon(QStringLiteral("iegreen")));
        Status(QStringLiteral("Auction ") + item + QStringLiteral(" details downloaded."));
        break;
    }
    case sfFailed:
        Status(QStringLiteral("Error downloading auction details."));
        cmdDownload->setIcon(OrvPictures::icon(QStringLiteral("iered")));
        break;
    default:
        break;
    }
}

void frmAuction::imgChooseDate_Click(int index)
{
    if (!m_services.settings)
        return;
    QLineEdit* boxes[] = {txtStartDate, txtEndTime, txtLastUpdated};
    frmDate::GetDateAndTime(boxes[index], this, *m_services.settings);
}
