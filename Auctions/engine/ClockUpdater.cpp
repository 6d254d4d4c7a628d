#include "ClockUpdater.h"

#include "DateTimes.h"
#include "Downloader.h"
#include "SiteEndpoints.h"
#include "TimeSource.h"
#include "UsDateReader.h"

ClockUpdater::ClockUpdater(QObject* parent) : IClockUpdater(parent), m_time(DateTimes::zero()) {}

ClockUpdater::~ClockUpdater() = default;

void ClockUpdater::setState(sfRunState value)
{
    if (value == m_state)
        return;
    m_state = value;
    Q_EMIT StateChanged(value);
}

void ClockUpdater::Cancel()
{
    m_errMessage = QStringLiteral("Update Cancelled");
    releaseFetch();
    setState(sfFailed);
}

void ClockUpdater::Download()
{
    // The fetch is under way before anyone hears of it, so a listener that cancels cancels this one.
    releaseFetch();
    startFetch();
    setState(sfRunning);
}

QString ClockUpdater::timePageAddress()
{
    return SiteEndpoints::url(SiteEndpoints::TimePage, QStringLiteral("/cgi-bin/timer.pl")).toString();
}

void ClockUpdater::startFetch()
{
    mDler = new Downloader(this);
    connect(mDler, &Downloader::Complete, this, &ClockUpdater::fetchComplete);
    connect(mDler, &Downloader::ErrOccured, this, &ClockUpdater::fetchFailed);
    mDler->DownloadURL(timePageAddress());
}

void ClockUpdater::releaseFetch()
{
    if (!mDler)
        return;
    mDler->disconnect(this);
    mDler->deleteLater(); // it may be reporting right now
    mDler = nullptr;
}

bool ClockUpdater::parse(const QString& data)
{
    return ParseTimePage(data);
}

void ClockUpdater::fetchComplete(const QString& data)
{
    if (m_state != sfRunning)
        return;
    sfRunState next = sfComplete;
    try {
        if (!parse(data)) {
            m_errMessage = parseError().description();
            next = sfFailed;
        }
    } catch (const OrvError& error) {
        m_errMessage = error.description();
        next = sfFailed;
    } catch (const std::exception& error) {
        m_errMessage = QString::fromLocal8Bit(error.what());
        next = sfFailed;
    }
    // Released before the news goes out: a listener may start the next fetch at once.
    releaseFetch();
    setState(next);
}

void ClockUpdater::fetchFailed(const QString& message)
{
    m_errMessage = message;
    releaseFetch();
    setState(sfFailed);
}

OrvError ClockUpdater::parseError()
{
    return OrvError::refused(QStringLiteral("orvauctions2.ClockUpdater"),
                             QStringLiteral("Error parsing date from time server"));
}

bool ClockUpdater::ParseTimePage(const QString& page)
{
    const QString s = page.toUpper();
    qsizetype p = s.indexOf(QLatin1String("UTC"));
    if (p < 0) {
        const qsizetype firstU = s.indexOf(QLatin1Char('U'));
        p = firstU < 0 ? -1 : s.indexOf(QLatin1Char('U'), firstU + 1);
    }
    if (p < 0)
        throw parseError();
    const qsizetype b = s.lastIndexOf(QLatin1String("<B"), p);
    if (b < 0)
        throw parseError();
    // Without a ">" the text starts at the page's first character, as a search that finds nothing gives.
    const qsizetype g = s.indexOf(QLatin1Char('>'), b) + 1;
    if (g > p)
        throw parseError();
    QString text = s.mid(g, p - g).trimmed();
    text.replace(QLatin1String("  "), QLatin1String(" "));
    text.remove(QLatin1Char(','));
    text.remove(QLatin1Char('.'));
    const QDateTime time = ToDateUS(text.trimmed());
    // A text that names no date is no reading, not a clock at the zero date.
    if (DateTimes::isZero(time))
        throw parseError();
    m_time = time;
    return true;
}

QDateTime ClockUpdater::ToDateUS(const QString& text)
{
    return UsDateReader::read(text, TimeSource::current().utcNow());
}
