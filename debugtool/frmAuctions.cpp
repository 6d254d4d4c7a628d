#include "frmAuctions.h"

#include "RemotecApp.h"
#include "ctlAuctionsBand.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

namespace DebugTool {

frmAuctions::frmAuctions(QWidget* parent)
    : QWidget(parent), m_auctionsBand(new ctlAuctionsBand(this)), m_status(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Auction Orv Debug Packager"));

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* frameLayout = new QVBoxLayout(frame);
    for (const QString& text :
         {QStringLiteral("Please select any auctions you would like to include in the package."),
          QStringLiteral("If you have a specific problem you would like to have looked into, it is often "
                         "advisable to attach a Zip package with your email.")}) {
        auto* label = new QLabel(text, frame);
        label->setObjectName(QStringLiteral("lbl"));
        label->setWordWrap(true);
        frameLayout->addWidget(label);
    }

    m_auctionsBand->setObjectName(QStringLiteral("AuctionsBand"));
    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("sbStatus"));
    statusBar->setSizeGripEnabled(false);
    m_status->setObjectName(QStringLiteral("status"));
    statusBar->addWidget(m_status, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(m_auctionsBand, 1);
    layout->addWidget(statusBar);
    resize(420, 480);

    connect(m_auctionsBand, &ctlAuctionsBand::StatusChanged, m_status, &QLabel::setText);
}

frmAuctions::~frmAuctions() = default;

void frmAuctions::View(std::unique_ptr<Remote::cApp> oApp)
{
    m_app = std::move(oApp);
    m_filled = false;
    if (m_app) {
        Remote::cApp* link = m_app.get();
        // The tree is read once, as soon as the program's objects are there.
        const auto fill = [this, link] {
            if (m_filled)
                return;
            m_filled = true;
            m_auctionsBand->View(link->App());
        };
        connect(link, &Remote::cApp::Bound, this, fill);
        // Without the program the tree stays empty and says why; a snapshot already shown stays.
        connect(link, &Remote::cApp::Lost, m_auctionsBand, &ctlAuctionsBand::setStatus);
        if (link->isBound())
            fill();
        else if (link->bindState() == Remote::Unbound)
            m_auctionsBand->setStatus(Remote::cApp::notReachedText());
    }
    show();
}

void frmAuctions::UnView()
{
    m_auctionsBand->Release();
    m_app.reset();
    m_filled = false;
}

QString frmAuctions::statusText() const
{
    return m_status->text();
}

void frmAuctions::closeEvent(QCloseEvent* event)
{
    UnView();
    event->accept();
}

} // namespace DebugTool
