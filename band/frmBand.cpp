#include "frmBand.h"

#include "RemoteApp.h"
#include "RemotecApp.h"
#include "WidgetMessageBoxSink.h"
#include "ctlAuctionsBand.h"

#include <QVBoxLayout>

frmBand::frmBand(MessageBoxSink* boxes, QWidget* parent) : QWidget(parent)
{
    if (!boxes) {
        m_ownBoxes = std::make_unique<WidgetMessageBoxSink>(this);
        boxes = m_ownBoxes.get();
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_band = new ctlAuctionsBand(*boxes, this);
    m_band->setObjectName(QStringLiteral("AuctionsBand"));
    layout->addWidget(m_band);
    setFocusProxy(m_band);
}

frmBand::~frmBand()
{
    if (m_link)
        UnView();
    // The control goes before the boxes it shows.
    delete m_band;
    m_band = nullptr;
}

void frmBand::View(Remote::cApp& link, cBrowser& browser)
{
    UnView();
    m_link = &link;
    m_band->View(link.App(), &browser);
    // A link binds as it is made: unbound already, the program could not be reached.
    m_band->setStatus(link.bindState() == Remote::Unbound ? Remote::cApp::notReachedText() : link.Status());
    // A lost program says so in the status line; the replicas have emptied the tree.
    m_links << connect(&link, &Remote::cApp::Lost, m_band, &ctlAuctionsBand::setStatus);
    m_links << connect(&link, &Remote::cApp::Bound, m_band, [this] {
        if (m_link)
            m_band->setStatus(m_link->Status());
    });
}

void frmBand::UnView()
{
    for (const QMetaObject::Connection& connection : std::as_const(m_links))
        disconnect(connection);
    m_links.clear();
    if (m_band)
        m_band->Release();
    m_link = nullptr;
}
