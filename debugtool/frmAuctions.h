#pragma once

#include <QWidget>
#include <memory>

class QLabel;

namespace Remote {
class cApp;
}

namespace DebugTool {

class ctlAuctionsBand;

// The debug tool's window "Auction Orv Debug Packager": what to do, the auction tree with its "Create
// Debug File" button, and a status line.
class frmAuctions : public QWidget
{
    Q_OBJECT
public:
    explicit frmAuctions(QWidget* parent = nullptr);
    ~frmAuctions() override;

    // Keeps the link, fills the tree from the main program once the link is bound, and shows the window.
    void View(std::unique_ptr<Remote::cApp> oApp);
    // Empties the tree and drops the link, which ends its hold on the main program.
    void UnView();

    ctlAuctionsBand* AuctionsBand() const { return m_auctionsBand; }
    Remote::cApp* App() const { return m_app.get(); }
    // The text of the status line's panel "status".
    QString statusText() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ctlAuctionsBand* m_auctionsBand;
    QLabel* m_status;
    std::unique_ptr<Remote::cApp> m_app;
    bool m_filled = false;
};

} // namespace DebugTool
