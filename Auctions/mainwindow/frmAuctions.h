#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>

class QLabel;
class QMenu;
class cApp;
class ctlAuctions;

// The main window: the auction list control with the menu bar and the status bar. It exists while the
// program is not hidden in the notification area; the heartbeat is the application's, which runs
// whether the window is shown or not. Its bounds are kept in the settings, in twips.
class frmAuctions : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmAuctions(QWidget* parent = nullptr);
    ~frmAuctions() override;

    // Binds the window to `app` afresh and brings it up; the first time, it also opens the welcome page.
    void View(cApp& app);
    // Closes the window on the program's behalf; a user's close goes through the application instead.
    void closeByProgram();
    // Writes the list's column order and widths and the window's bounds into the model, as the unload
    // does, and goes on showing the list; nothing is saved.
    void storeLayout();

    ctlAuctions* AuctionsView() const { return m_auctionsView; }
    // A menu or menu entry by its name ("mnuWindow", "mnuAuctionsAdd", ...).
    QMenu* menu(const QString& name) const { return m_menus.value(name); }
    QAction* entry(const QString& name) const { return m_entries.value(name); }
    QString statusText() const;
    QString countText() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildMenus();
    QAction* addEntry(QMenu* menu, const char* name, const QString& caption, const QString& errorTitle,
                      std::function<void()> command);
    void load();
    void unload();
    // The list's column write-back and the window's bounds (kept while minimised).
    void writeBackLayout();
    // "Exit": the end of the program, or the notification area while a client holds the program open.
    void exitOrHide();
    void minimizeToTray();
    void programMenuOpening();
    void auctionsMenuOpening();
    bool trayAvailable() const;

    QPointer<cApp> m_app;
    ctlAuctions* m_auctionsView;
    QLabel* m_statusPanel;
    QLabel* m_countPanel;
    QHash<QString, QMenu*> m_menus;
    QHash<QString, QAction*> m_entries;
    QList<QMetaObject::Connection> m_appConnections;
    bool m_closingByProgram = false;
    bool m_unloaded = true;
};
