#include "FakeTrayBackend.h"

void FakeTrayBackend::Add(const NotifyIconData& nid)
{
    record = nid;
    calls << QStringLiteral("add ") + nid.hIcon;
}

void FakeTrayBackend::Modify(const NotifyIconData& nid)
{
    record = nid;
    calls << QStringLiteral("modify ") + nid.hIcon;
}

void FakeTrayBackend::Delete(const NotifyIconData&)
{
    record = NotifyIconData();
    calls << QStringLiteral("delete");
}

void FakeTrayBackend::PopupMenu(const QList<MenuEntry>& entries, std::function<void(const QString&)> chosen)
{
    menu = entries;
    m_chosen = std::move(chosen);
    calls << QStringLiteral("popup");
}

void FakeTrayBackend::choose(const QString& name) const
{
    if (m_chosen)
        m_chosen(name);
}
