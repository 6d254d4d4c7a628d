#include "SystemTrayBackend.h"

#include "OrvPictures.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QMenu>

SystemTrayBackend::SystemTrayBackend(QObject* parent) : QObject(parent) {}

SystemTrayBackend::~SystemTrayBackend() = default;

QSystemTrayIcon& SystemTrayBackend::icon()
{
    if (!m_icon) {
        m_icon = new QSystemTrayIcon(this);
        connect(m_icon, &QSystemTrayIcon::activated, this, &SystemTrayBackend::onActivated);
    }
    return *m_icon;
}

void SystemTrayBackend::Add(const NotifyIconData& nid)
{
    Modify(nid);
    icon().show();
}

void SystemTrayBackend::Modify(const NotifyIconData& nid)
{
    m_nid = nid;
    icon().setIcon(OrvPictures::light(nid.hIcon));
    icon().setToolTip(nid.szTip);
}

void SystemTrayBackend::Delete(const NotifyIconData&)
{
    if (m_icon)
        m_icon->hide();
    m_nid = NotifyIconData();
}

void SystemTrayBackend::PopupMenu(const QList<MenuEntry>& entries, std::function<void(const QString&)> chosen)
{
    if (!m_menu)
        m_menu = std::make_unique<QMenu>();
    m_menu->clear();
    m_chosen = std::move(chosen);
    for (const MenuEntry& entry : entries) {
        QAction* action =
            entry.caption == QLatin1String("-") ? m_menu->addSeparator() : m_menu->addAction(entry.caption);
        action->setVisible(entry.visible);
        action->setCheckable(entry.checked);
        action->setChecked(entry.checked);
        connect(action, &QAction::triggered, this, [this, name = entry.name] {
            if (m_chosen)
                m_chosen(name);
        });
    }
    m_menu->popup(QCursor::pos());
}

bool SystemTrayBackend::reportsDoubleClick() const
{
    // Qt uses the StatusNotifierItem protocol whenever a watcher runs; its hosts report a click on the
    // icon as one activation and never a double click. The older tray reports both.
    if (!m_reportsDoubleClick) {
        const QDBusConnection bus = QDBusConnection::sessionBus();
        m_reportsDoubleClick = !(bus.isConnected() && bus.interface()->isServiceRegistered(
                                                          QStringLiteral("org.kde.StatusNotifierWatcher")));
    }
    return *m_reportsDoubleClick;
}

void SystemTrayBackend::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        notify(m_nid, LeftButtonUp);
        break;
    case QSystemTrayIcon::DoubleClick:
        notify(m_nid, LeftDoubleClick);
        break;
    case QSystemTrayIcon::Context:
        notify(m_nid, RightButtonUp);
        break;
    case QSystemTrayIcon::MiddleClick:
        notify(m_nid, MiddleButtonUp);
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
}

bool SystemTrayBackend::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}
