#include "frmAbout.h"

#include "OrvPictures.h"
#include "Settings.h"
#include "SiteEndpoints.h"
#include "cApp.h"
#include "cGlobal.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVersionNumber>

frmAbout::frmAbout(cApp& app, QWidget* parent) : QDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Auction Orv"));
    cGlobal::AlwaysOnTop(this, app.Settings().AlwaysOnTop);

    auto* Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    auto* Picture1 = new QLabel(QStringLiteral("Auction Orv"), Frame1);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    QFont font = Picture1->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    Picture1->setFont(font);
    auto* imgLogo = new QToolButton(Frame1);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setAutoRaise(true);
    imgLogo->setIcon(QIcon(OrvPictures::logo(64)));
    imgLogo->setIconSize(QSize(64, 64));
    imgLogo->setCursor(Qt::PointingHandCursor);
    const QUrl homePage = SiteEndpoints::base(SiteEndpoints::Maker);
    imgLogo->setToolTip(homePage.toString());
    connect(imgLogo, &QToolButton::clicked, this, [homePage] { cGlobal::LaunchFile(homePage.toString()); });
    auto* frameLayout = new QHBoxLayout(Frame1);
    frameLayout->addWidget(imgLogo);
    frameLayout->addWidget(Picture1, 1);

    m_cmdClose = new QPushButton(QStringLiteral("Close Window"), this);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(m_cmdClose, &QPushButton::clicked, this, &QWidget::close);

    auto* StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    m_version = new QLabel(StatusBar1);
    m_version->setObjectName(QStringLiteral("version"));
    StatusBar1->addWidget(m_version, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(m_cmdClose, 0, Qt::AlignRight);
    layout->addWidget(StatusBar1);
}

QString frmAbout::versionText()
{
    const QVersionNumber version = QVersionNumber::fromString(QCoreApplication::applicationVersion());
    return QStringLiteral("Version %1.%2.%3")
        .arg(version.majorVersion())
        .arg(version.minorVersion())
        .arg(version.microVersion());
}

void frmAbout::View()
{
    m_version->setText(versionText());
    show();
    cGlobal::fnShowWindow(this);
}

void frmAbout::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_cmdClose->setFocus();
}
