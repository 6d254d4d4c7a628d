#include "TrayIcon.h"

TrayIcon::TrayIcon(QObject* parent) : QObject(parent) {}

void TrayIcon::Init(BidManager&) {}

void TrayIcon::setVisible(bool visible)
{
    m_visible = visible;
}
