#pragma once

#include "ShellHost.h"
#include "SystemTrayBackend.h"

#include <QPointer>

class frmAbout;
class frmAuction;
class frmAuctionBid;
class frmAuctions;
class frmCategory;
class frmCategoryDelete;
class frmClock;
class frmInfo;
class frmSettings;
class frmSplash;
class frmVersion;

// Opens the program's real windows for the model. Each window is one shared instance, made afresh
// once the user has closed it.
class WidgetDialogHost : public ShellHost
{
public:
    ~WidgetDialogHost() override;

    void viewSplash(cApp& app) override;
    void viewMainWindow(cApp& app) override;
    void closeMainWindow() override;
    void storeMainWindowLayout() override;
    bool isMainWindowOpen() const override;
    void raiseMainWindow() override;
    void closeAllWindows() override;
    void viewAbout(cApp& app) override;
    void viewInfo(cApp& app, int eInfo) override;
    void viewSettings(Settings& settings) override;
    void viewClock(Clock& clock) override;
    void viewVersion(VerManager& verManager) override;
    TrayBackend& trayBackend() override { return m_tray; }
    // The editors open on the running application; without one they open nothing.
    void viewAuction(Auctions& auctions, Categorys& categorys, const AuctionPtr& auction) override;
    void viewAuctionNewItem(Auctions& auctions, Categorys& categorys, const QString& sItem,
                            const QString& sCategory) override;
    void viewAuctionBid(const AuctionPtr& auction, bool newBid) override;
    void viewCategory(Categorys& categorys, Auctions& auctions, const CategoryPtr& category) override;
    void viewCategoryDelete(Auctions& auctions, Categorys& categorys, const CategoryPtr& category) override;

private:
    QPointer<frmAuctions> m_mainWindow;
    QPointer<frmSplash> m_splash;
    QPointer<frmAbout> m_about;
    QPointer<frmInfo> m_info;
    QPointer<frmSettings> m_settings;
    QPointer<frmClock> m_clock;
    QPointer<frmVersion> m_version;
    QPointer<frmAuction> m_auction;
    QPointer<frmAuctionBid> m_auctionBid;
    QPointer<frmCategory> m_category;
    QPointer<frmCategoryDelete> m_categoryDelete;
    SystemTrayBackend m_tray;
};
