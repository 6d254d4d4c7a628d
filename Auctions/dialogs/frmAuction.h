#pragma once

#include "Auction.h"
#include "DialogServices.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <optional>

class Auctions;
class Categorys;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class Updater;

// The auction editor, "Auction Editor": adds one auction by its item number or edits the stored fields
// of one. It can download the item page and fill its boxes from it, choose the three dates with the
// date chooser, shows the time left and the auction's bid, and leads on to the bid dialog. Nothing
// reaches the auction until Save, which stores the boxes, saves the state file and closes the window; a
// window whose auction changed since it was filled stores nothing and shows the auction afresh.
// Once the window holds an auction its item box holds that auction's item number and cannot change.
class frmAuction : public QWidget
{
    Q_OBJECT
public:
    static constexpr int TickMs = 500;

    explicit frmAuction(DialogServices services, QWidget* parent = nullptr);
    ~frmAuction() override;

    // Opens the editor on `auction`, or for a new auction when it is null, and shows it modeless.
    void View(Auctions& auctions, Categorys& categorys, const AuctionPtr& auction);
    // Opens the editor for a new auction with the item number and category filled in, and starts the
    // item page's download.
    void ViewNewItem(Auctions& auctions, Categorys& categorys, const QString& item, const QString& category);
    // The text of the status panel.
    void Status(const QString& text);
    // The auction the window holds; null while a new one is being entered.
    AuctionPtr heldAuction() const { return mAuction; }

    // One tick of the time-left timer.
    void tmrTick_Timer();

protected:
    void changeEvent(QEvent* event) override;

private:
    struct Fields;
    // The stored fields that Save writes, as the boxes were filled from them.
    struct Filled
    {
        qint32 bids = 0;
        QString comments, description, highBidder, category, seller;
        double price = 0;
        double shipping = 0;
        qint32 quantity = 0;
        QDateTime endTime, startTime, lastUpdated;
        bool operator==(const Filled&) const = default;
    };
    static Filled filledOf(const Auction& auction);

    void cmdSave_Click();
    void cmdEditBid_Click();
    void cmdDownload_Click();
    void imgChooseDate_Click(int index);
    void txtItem_Change();
    void mUpdater_StateChanged(Updater* updater, int state);
    void Form_Activate();
    void fillCategories();
    void fillFrom(const Auction& auction);
    // Whether the held auction was changed or deleted since the boxes were filled from it; a changed
    // one fills the boxes afresh. Says why either way.
    bool refuseStale();
    void holdAuction(const AuctionPtr& auction);
    void dropUpdater();
    bool isComplete() const;
    // The boxes as the values they store, or nothing when one of them does not read.
    std::optional<Fields> readBoxes() const;
    void showIncomplete(const QString& text);
    void showError(const QString& title, const QString& text);

    DialogServices m_services;
    QPointer<::Auctions> mAuctions;
    QPointer<::Categorys> mCategorys;
    AuctionPtr mAuction;
    Filled m_filled;
    QPointer<Updater> mUpdater;
    // The focus goes to the item box once per opening, not each time the desktop activates the window.
    bool m_focusOnActivate = false;

    QLineEdit* txtItem;
    QToolButton* cmdDownload;
    QComboBox* cboCategory;
    QLineEdit* txtDescription;
    QLineEdit* txtHighbidder;
    QLineEdit* txtSeller;
    QLineEdit* txtStartDate;
    QLineEdit* txtEndTime;
    QLineEdit* txtLastUpdated;
    std::array<QToolButton*, 3> imgChooseDate{};
    QLineEdit* txtPrice;
    QLineEdit* txtShipping;
    QLineEdit* txtQuantity;
    QLineEdit* txtBids;
    QLineEdit* txtComments;
    QLabel* lblTimeLeft;
    QLabel* lblBid;
    QLabel* lblSnipeTime;
    QLabel* lblStatus;
    QPushButton* cmdEditBid;
    QPushButton* cmdSave;
    QLabel* m_status;
    QTimer tmrTick;
};
