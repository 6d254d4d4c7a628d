#pragma once

#include <QTimer>
#include <QWidget>

class cApp;

// The start-up picture. It closes itself half a second after it is shown, whether or not the window
// manager ever activates it.
class frmSplash : public QWidget
{
    Q_OBJECT
public:
    static constexpr int CloseDelayMs = 500;

    explicit frmSplash(QWidget* parent = nullptr);

    // Shows the window and paints it at once, without running the event loop.
    void View(cApp& app);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTimer m_tmrClose;
};
