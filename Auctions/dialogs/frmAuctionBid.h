#pragma once

#include "Auction.h"
#include "DialogServices.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The bid details dialog, "Auction Bid Details": the snipe of one auction (its state, maximum bid and
// seconds before the end), the outcome of its last attempt, and the page the site returned for it.
// Nothing reaches the auction until Save, which stores the snipe, lets the bid manager look again,
// saves the state file and closes the window. While the auction's bid is being prepared or sent the
// window only shows it; a window filled before the bid manager moved the snipe on stores nothing.
class frmAuctionBid : public QWidget
{
    Q_OBJECT
public:
    explicit frmAuctionBid(DialogServices services, QWidget* parent = nullptr);

    // Fills the window from `auction`, which it keeps, and shows it modeless.
    void View(const AuctionPtr& auction);
    // View, with "BIDDING" chosen and the maximum bid to be typed.
    void ViewNew(const AuctionPtr& auction);
    // The text of the status panel.
    void Status(const QString& text);

    // The state chosen in the combo for each snipe state; empty for the states of a bid under way.
    static QString keyOf(AucSnipeStates state);

private:
    void fill();
    void cboState_Click();
    void cmdSave_Click();
    void cmdView_Click();
    QString selectedKey() const;
    // Whether the auction's snipe moved on since the window was filled, or is under way; says why.
    bool refuseStale();

    DialogServices m_services;
    AuctionPtr mAuction;
    // The snipe state the window was filled from.
    AucSnipeStates m_filledState = OR2Watching;

    QComboBox* cboState;
    QLineEdit* txtMaxBid;
    QLineEdit* txtBidQuantity;
    QLineEdit* txtSnipeTime;
    QLabel* lblSystem;
    QPushButton* cmdView;
    QPushButton* cmdSave;
    QLabel* m_status;
};
