#pragma once

#include "TrayBackend.h"

#include <QStringList>

// A notification area that records what the tray icon asks of it ("add GREEN", "modify RED", "delete",
// "popup") and lets a test click the icon and choose from its pop-up menu.
class FakeTrayBackend : public TrayBackend
{
public:
    void Add(const NotifyIconData& nid) override;
    void Modify(const NotifyIconData& nid) override;
    void Delete(const NotifyIconData& nid) override;
    void PopupMenu(const QList<MenuEntry>& entries, std::function<void(const QString&)> chosen) override;
    bool reportsDoubleClick() const override { return doubleClicks; }
    bool isAvailable() const override { return available; }

    // Sends the mouse event to the window of the icon last added, as the desktop would.
    void click(qint32 mouseMessage) const { notify(record, mouseMessage); }
    // Chooses the entry of the pop-up menu last shown by its name.
    void choose(const QString& name) const;

    QStringList calls;
    NotifyIconData record;
    QList<MenuEntry> menu;
    bool doubleClicks = true;
    bool available = true;

private:
    std::function<void(const QString&)> m_chosen;
};
