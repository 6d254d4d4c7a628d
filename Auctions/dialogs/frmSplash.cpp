#include "frmSplash.h"

#include "OrvPictures.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>

// A splash never takes the focus from the window the user works in.
frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Form1"));

    auto* Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(OrvPictures::logo(96));
    auto* name = new QLabel(QStringLiteral("Auction Orv"), this);
    QFont font = name->font();
    font.setPointSizeF(font.pointSizeF() * 2.2);
    font.setBold(true);
    name->setFont(font);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(24, 24, 32, 24);
    layout->setSpacing(20);
    layout->addWidget(Picture1);
    layout->addWidget(name);
    setAutoFillBackground(true);

    m_tmrClose.setSingleShot(true);
    m_tmrClose.setInterval(CloseDelayMs);
    connect(&m_tmrClose, &QTimer::timeout, this, &QWidget::close);
}

void frmSplash::View(cApp&)
{
    adjustSize();
    if (const QScreen* where = screen())
        move(where->availableGeometry().center() - rect().center());
    show();
    repaint();
}

void frmSplash::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_tmrClose.isActive())
        m_tmrClose.start();
}
