#pragma once

#include <QWidget>

class QLabel;
class VerManager;

// The new-version window, "New Version Available!": the running version next to the one the maker's
// site offers, and "Visit Webpage", which opens the download page and closes the window.
class frmVersion : public QWidget
{
    Q_OBJECT
public:
    explicit frmVersion(bool alwaysOnTop, QWidget* parent = nullptr);

    // Shows the running version and the one `verManager` found, and shows the window modeless.
    void View(const VerManager& verManager);

private:
    QLabel* lblAppVer;
    QLabel* lblNewVer;
};
