#pragma once

#include "TrayBackend.h"

#include <QObject>
#include <QSystemTrayIcon>
#include <memory>
#include <optional>

class QMenu;

// The notification area of the desktop, through QSystemTrayIcon. The icon object lives as long as this
// backend: deleting the icon only hides it, so a handler of its own click may remove it safely.
class SystemTrayBackend : public QObject, public TrayBackend
{
    Q_OBJECT
public:
    explicit SystemTrayBackend(QObject* parent = nullptr);
    ~SystemTrayBackend() override;

    void Add(const NotifyIconData& nid) override;
    void Modify(const NotifyIconData& nid) override;
    void Delete(const NotifyIconData& nid) override;
    void PopupMenu(const QList<MenuEntry>& entries, std::function<void(const QString&)> chosen) override;
    bool reportsDoubleClick() const override;
    bool isAvailable() const override;

private:
    QSystemTrayIcon& icon();
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon* m_icon = nullptr;
    std::unique_ptr<QMenu> m_menu;
    std::function<void(const QString&)> m_chosen;
    NotifyIconData m_nid;
    mutable std::optional<bool> m_reportsDoubleClick;
};
