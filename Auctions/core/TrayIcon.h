#pragma once

#include <QObject>

class BidManager;

// The notification-area icon.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    explicit TrayIcon(QObject* parent = nullptr);

    void Init(BidManager& bidManager);
    bool Visible() const { return m_visible; }
    void setVisible(bool visible);

private:
    bool m_visible = false;
};
