#include "frmVersion.h"

#include "OrvPictures.h"
#include "VerManager.h"
#include "cGlobal.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

QString joined(qint64 major, qint64 minor, qint64 revision)
{
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision);
}

} // namespace

frmVersion::frmVersion(bool alwaysOnTop, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("New Version Available!"));
    cGlobal::AlwaysOnTop(this, alwaysOnTop);

    auto* Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    auto* Picture1 = new QLabel(Frame1);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(OrvPictures::logo(48));
    auto* lblStatus = new QLabel(QStringLiteral("New Version Available!"), Frame1);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    QFont font = lblStatus->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    lblStatus->setFont(font);

    lblAppVer = new QLabel(Frame1);
    lblAppVer->setObjectName(QStringLiteral("lblAppVer"));
    lblNewVer = new QLabel(Frame1);
    lblNewVer->setObjectName(QStringLiteral("lblNewVer"));
    auto* versions = new QGridLayout;
    const QStringList titles{QStringLiteral("Current Version:"), QStringLiteral("Latest Version:")};
    const QList<QLabel*> values{lblAppVer, lblNewVer};
    for (int row = 0; row < titles.size(); ++row) {
        auto* lblTitle = new QLabel(titles.at(row), Frame1);
        lblTitle->setObjectName(QStringLiteral("lblTitle_%1").arg(row));
        versions->addWidget(lblTitle, row, 0, Qt::AlignRight);
        versions->addWidget(values.at(row), row, 1);
    }
    versions->setColumnStretch(1, 1);

    auto* frameLayout = new QGridLayout(Frame1);
    frameLayout->addWidget(Picture1, 0, 0, 2, 1, Qt::AlignTop);
    frameLayout->addWidget(lblStatus, 0, 1);
    frameLayout->addLayout(versions, 1, 1);
    frameLayout->setColumnStretch(1, 1);

    auto* cmdVisit = new QPushButton(QStringLiteral("Visit Webpage"), this);
    cmdVisit->setObjectName(QStringLiteral("cmdVisit"));
    connect(cmdVisit, &QPushButton::clicked, this, [this] {
        cGlobal::LaunchFile(VerManager::downloadPage().toString());
        close();
    });

    auto* sbStatus = new QStatusBar(this);
    sbStatus->setObjectName(QStringLiteral("sbStatus"));
    sbStatus->setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(cmdVisit, 0, Qt::AlignRight);
    layout->addWidget(sbStatus);
}

void frmVersion::View(const VerManager& verManager)
{
    const QVersionNumber running = VerManager::runningVersion();
    lblAppVer->setText(joined(running.majorVersion(), running.minorVersion(), running.microVersion()));
    lblNewVer->setText(joined(verManager.Major, verManager.Minor, verManager.Revision));
    show();
    cGlobal::fnShowWindow(this);
}
