#pragma once

#include "RemotecApp.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class MessageBoxSink;
class cBrowser;
class ctlAuctionsBand;

// The band's window: the auction tree control filling it. It keeps the link it shows until UnView.
class frmBand : public QWidget
{
    Q_OBJECT
public:
    // Message boxes go to `boxes` when given, else to real boxes over the window.
    explicit frmBand(MessageBoxSink* boxes = nullptr, QWidget* parent = nullptr);
    ~frmBand() override;

    ctlAuctionsBand& AuctionsBand() const { return *m_band; }
    // Shows what `link` reaches, watching the browser through `browser`.
    void View(Remote::cApp& link, cBrowser& browser);
    void UnView();
    bool isViewing() const { return m_link != nullptr; }

private:
    std::unique_ptr<MessageBoxSink> m_ownBoxes;
    ctlAuctionsBand* m_band = nullptr;
    QPointer<Remote::cApp> m_link;
    QList<QMetaObject::Connection> m_links;
};
