#include "frmInfo.h"

#include "Settings.h"
#include "cApp.h"
#include "cGlobal.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// The hint lines of each page, in reading order; the page's index is its ViewInfoType.
const QList<QStringList> hints = {
    {QStringLiteral("Easily track and watch auctions!"), QStringLiteral("Create and schedule bids!"),
     QStringLiteral("Integrates with Internet Explorer!")},
    {QStringLiteral("To create a bid for this auction, "),
     QStringLiteral("edit the bid properties and set the state"), QStringLiteral("to BIDDING."),
     QStringLiteral("Once a bid is created, you may send it"),
     QStringLiteral("right away, or you can schedule it to be"), QStringLiteral("sent later.")},
    {QStringLiteral("If you want the bid sent automatically,"),
     QStringLiteral("keep the program open or running"), QStringLiteral("in the system tray."),
     QStringLiteral("Be sure to synchronize the clock.")},
    {QStringLiteral("To add this auction, just press"), QStringLiteral("the button to the left in"),
     QStringLiteral("Internet Explorer!"), QStringLiteral("Be sure to synchronize the clock.")},
};

} // namespace

frmInfo::frmInfo(cApp& app, QWidget* parent) : QDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Information"));
    cGlobal::AlwaysOnTop(this, app.Settings().AlwaysOnTop);

    auto* layout = new QVBoxLayout(this);
    // The window fits the one page it shows.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    const QPixmap picture = style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48);
    for (const QStringList& lines : hints) {
        auto* frame = new QFrame(this);
        frame->setObjectName(QStringLiteral("Frame_%1").arg(m_frames.size()));
        auto* Image1 = new QLabel(frame);
        Image1->setObjectName(QStringLiteral("Image1"));
        Image1->setPixmap(picture);
        Image1->setAlignment(Qt::AlignTop);
        auto* text = new QVBoxLayout;
        text->setSpacing(2);
        for (const QString& line : lines) {
            auto* lbl = new QLabel(line, frame);
            lbl->setObjectName(QStringLiteral("lbl"));
            text->addWidget(lbl);
        }
        text->addStretch();
        auto* row = new QHBoxLayout(frame);
        row->addWidget(Image1);
        row->addLayout(text, 1);
        layout->addWidget(frame);
        m_frames.append(frame);
    }
    auto* cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(cmdOK, 0, Qt::AlignRight);
}

void frmInfo::View(int eInfo)
{
    for (int index = 0; index < m_frames.size(); ++index)
        m_frames[index]->setVisible(index == eInfo);
    show();
    cGlobal::fnShowWindow(this);
}
