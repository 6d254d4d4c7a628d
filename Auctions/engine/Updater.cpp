#include "Updater.h"

#include "Downloader.h"
#include "ItemLinks.h"
#include "ItemPage.h"
#include "OrvError.h"
#include "UpdatersEvents.h"

#include <QTimer>

Updater::Updater(QObject* parent) : QObject(parent) {}

Updater::~Updater() = default;

void Updater::setState(sfRunState value)
{
    if (value == m_state)
        return;
    m_state = value;
    Q_EMIT StateChanged(value);
    if (Events)
        Events->raiseStateChanged(value, this);
}

void Updater::Cancel()
{
    m_errMessage = QStringLiteral("Update Cancelled");
    setState(sfFailed);
}

void Updater::Download()
{
    setState(sfRunning);
    releaseDownloader();
    mDler = new Downloader(this);
    connect(mDler, &Downloader::Complete, this, &Updater::downloadComplete);
    connect(mDler, &Downloader::ErrOccured, this, &Updater::downloadFailed);
    const QString address = Auction ? itemPageAddress(Auction->Item) : QString();
    if (address.isEmpty()) {
        // Reported later, as a failed fetch is, so that no caller sees a job end inside Download.
        const QPointer<Downloader> dler = mDler;
        QTimer::singleShot(0, mDler, [this, dler] {
            if (mDler == dler)
                downloadFailed(QStringLiteral("Invalid item number."));
        });
        return;
    }
    mDler->DownloadURL(address);
}

QString Updater::itemPageAddress(const QString& item)
{
    return ItemLinks::itemPageUrl(item).toString();
}

void Updater::downloadComplete()
{
    if (m_state != sfRunning)
        return;
    sfRunState next = sfComplete;
    try {
        if (!Auction || !Parse(*Auction, mDler->Data()))
            next = sfFailed;
    } catch (const OrvError& error) {
        m_errMessage = error.description();
        next = sfFailed;
    } catch (const std::exception& error) {
        m_errMessage = QString::fromLocal8Bit(error.what());
        next = sfFailed;
    }
    setState(next);
    releaseDownloader();
}

void Updater::downloadFailed(const QString& message)
{
    m_errMessage = message;
    setState(sfFailed);
    releaseDownloader();
}

void Updater::releaseDownloader()
{
    if (!mDler)
        return;
    mDler->disconnect(this);
    mDler->deleteLater(); // it may be reporting right now
    mDler = nullptr;
}

bool Updater::Parse(::Auction& auction, const QString& sHTML)
{
    return ItemPage::Parse(auction, sHTML);
}
