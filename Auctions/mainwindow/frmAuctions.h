#pragma once

#include <QMainWindow>

class cApp;

// The main window: for now the window with the application's status line.
class frmAuctions : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmAuctions(QWidget* parent = nullptr);

    // Binds the window to `app` afresh and brings it up.
    void View(cApp& app);
    // Closes the window on the program's behalf; a user's close goes through the application instead.
    void closeByProgram();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    cApp* m_app = nullptr;
    bool m_closingByProgram = false;
};
