#include "frmClock.h"

#include "Clock.h"
#include "DateTimes.h"
#include "OrvEnums.h"
#include "TextForms.h"
#include "TimeSource.h"
#include "cGlobal.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

const QString notAvailable = QStringLiteral("N/A");

QLabel* value(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(notAvailable, parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

frmClock::frmClock(bool alwaysOnTop, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Clock Settings"));
    cGlobal::AlwaysOnTop(this, alwaysOnTop);

    lblRemoteTime = value(QStringLiteral("lblRemoteTime"), this);
    lblLocalTime = value(QStringLiteral("lblLocalTime"), this);
    lblSystemTime = value(QStringLiteral("lblSystemTime"), this);
    lblLastUpdated = value(QStringLiteral("lblLastUpdated"), this);
    auto* times = new QGridLayout;
    const QList<QLabel*> values{lblRemoteTime, lblLocalTime, lblSystemTime, lblLastUpdated};
    const QStringList titles{QStringLiteral("eBay Time:"), QStringLiteral("Local Time:"),
                             QStringLiteral("System Time:"), QStringLiteral("Last Updated:")};
    for (int row = 0; row < titles.size(); ++row) {
        auto* lblTitle = new QLabel(titles.at(row), this);
        lblTitle->setObjectName(QStringLiteral("lblTitle_%1").arg(row));
        QFont bold = lblTitle->font();
        bold.setBold(true);
        lblTitle->setFont(bold);
        times->addWidget(lblTitle, row, 0, Qt::AlignRight);
        times->addWidget(values.at(row), row, 1);
    }
    times->setColumnStretch(1, 1);
    times->setColumnMinimumWidth(1, 180);

    cmdUpdate = new QPushButton(QStringLiteral("Synchronize Clock"), this);
    cmdUpdate->setObjectName(QStringLiteral("cmdUpdate"));
    connect(cmdUpdate, &QPushButton::clicked, this, [this] {
        if (mClock)
            mClock->Download();
    });

    auto* sbStatus = new QStatusBar(this);
    sbStatus->setObjectName(QStringLiteral("sbStatus"));
    sbStatus->setSizeGripEnabled(false);
    m_status = new QLabel(sbStatus);
    m_status->setObjectName(QStringLiteral("status"));
    sbStatus->addWidget(m_status, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(times);
    layout->addWidget(cmdUpdate, 0, Qt::AlignRight);
    layout->addWidget(sbStatus);

    tmrTick.setInterval(TickMs);
    connect(&tmrTick, &QTimer::timeout, this, &frmClock::tmrTick_Timer);
}

void frmClock::View(Clock& clock)
{
    if (mClock != &clock) {
        if (mClock)
            mClock->disconnect(this);
        mClock = &clock;
        connect(&clock, &Clock::Updated, this, &frmClock::mClock_Updated);
        connect(&clock, &Clock::StatusChange, this, &frmClock::Status);
        connect(&clock, &Clock::StateChanged, this, &frmClock::mClock_StateChanged);
    }
    tmrTick.start();
    mClock_Updated();
    // A synchronisation may already be running (the red phase starts one): the button follows it.
    mClock_StateChanged(clock.State());
    show();
    cGlobal::fnShowWindow(this);
}

void frmClock::Status(const QString& text)
{
    m_status->setText(text);
}

void frmClock::tmrTick_Timer()
{
    if (!mClock)
        return;
    const QDateTime site = mClock->Time();
    lblLocalTime->setText(TextForms::generalDate(site.addSecs(3600LL * mClock->LocalUTCVariance())));
    lblRemoteTime->setText(TextForms::generalDate(site));
    lblSystemTime->setText(TextForms::generalDate(TimeSource::current().localNow()));
}

void frmClock::mClock_Updated()
{
    if (!mClock)
        return;
    const QDateTime lastUpdated = mClock->LastUpdated();
    lblLastUpdated->setText(DateTimes::isZero(lastUpdated) ? notAvailable
                                                           : TextForms::generalDate(lastUpdated));
}

void frmClock::mClock_StateChanged(int state)
{
    cmdUpdate->setEnabled(state != sfRunning);
}
