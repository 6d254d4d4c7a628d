#include "VerManager.h"

#include "DateTimes.h"
#include "Downloader.h"
#include "OrvError.h"
#include "OrvVersion.h"
#include "PropertyReader.h"
#include "SiteEndpoints.h"
#include "TextForms.h"
#include "TimeSource.h"
#include "XMLManager.h"
#include "XmlDocument.h"

#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcVerManager, "orv.engine.vermanager")

const QString errorSource = QStringLiteral("VerManager");

OrvError notAVersionFile()
{
    return OrvError(OrvError::Refused, errorSource, QStringLiteral("The reply is not a version file."));
}

} // namespace

VerManager::VerManager(QObject* parent) : QObject(parent), m_lastCheck(DateTimes::zero()) {}

VerManager::~VerManager() = default;

QVersionNumber VerManager::runningVersion()
{
    return QVersionNumber(ORV_VERSION_MAJOR, ORV_VERSION_MINOR, ORV_VERSION_PATCH);
}

std::optional<qint64> VerManager::versionNumber(qint32 major, qint32 minor)
{
    // Written out and read back as one number, as the minor number's two-digit form makes it.
    const QString minorText = minor < 0 ? QStringLiteral("-%1").arg(-qint64(minor), 2, 10, QLatin1Char('0'))
                                        : QStringLiteral("%1").arg(qint64(minor), 2, 10, QLatin1Char('0'));
    bool ok = false;
    const QString text = QString::number(major) + minorText;
    const qint64 number = text.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return number;
}

QUrl VerManager::checkUrl()
{
    // The clock source reads whole seconds; the fraction comes from the PC clock itself.
    const QTime now = TimeSource::current().localNow().time();
    return checkUrl(now.addMSecs(int(QDateTime::currentMSecsSinceEpoch() % 1000)));
}

QUrl VerManager::checkUrl(const QTime& at)
{
    // Seconds since midnight, with their fraction, as a single-precision number with a point.
    const float seconds = float(at.msecsSinceStartOfDay()) / 1000.0f;
    return SiteEndpoints::url(SiteEndpoints::Maker,
                              QStringLiteral("/version/info.php?file=version.xml&rand=") +
                                  QString::number(seconds, 'g', 7));
}

QUrl VerManager::downloadPage()
{
    return SiteEndpoints::url(SiteEndpoints::Maker, QStringLiteral("/download.html"));
}

void VerManager::setStatus(const QString& sStatus)
{
    Q_EMIT StatusChange(sStatus);
}

void VerManager::setState(eVerState value)
{
    if (value == m_state)
        return;
    m_state = value;
    switch (value) {
    case eVerChecking:
        setStatus(QStringLiteral("Checking for latest version..."));
        break;
    case eVerCheckErr:
        setStatus(QStringLiteral("Error checking version: ") + ErrMessage);
        break;
    case eVerNeedsUpdate:
        show();
        setStatus(QStringLiteral("New version found and available for download"));
        break;
    case eVerNoNeededUpdate:
        setStatus(QStringLiteral("No update needed"));
        break;
    case eVerCheckIdle:
        break;
    }
    Q_EMIT StateChange(value);
}

void VerManager::show()
{
    if (!m_showWindow)
        return;
    try {
        m_showWindow(*this);
    } catch (const std::exception& error) {
        qCWarning(lcVerManager) << "The new-version window did not open:" << error.what();
    }
}

void VerManager::Check()
{
    // The check under way is dropped with its downloader; it may be the one reporting right now.
    if (mDler) {
        mDler->disconnect(this);
        mDler->deleteLater();
    }
    mDler = new Downloader(this);
    connect(mDler, &Downloader::Complete, this, &VerManager::mDler_Complete);
    connect(mDler, &Downloader::ErrOccured, this, &VerManager::mDler_ErrOccured);
    setState(eVerChecking);
    mDler->DownloadURL(checkUrl().toString());
}

void VerManager::mDler_Complete(const QString& data)
{
    if (m_state != eVerChecking)
        return;
    // A reply that does not read or compare leaves the offered version and the check date as they were.
    const qint32 major = Major, minor = Minor, revision = Revision;
    const QDateTime lastCheck = m_lastCheck;
    bool newer = false;
    try {
        LoadVersionXml(data);
        newer = CompareWithRunning();
    } catch (const std::exception& error) {
        Major = major;
        Minor = minor;
        Revision = revision;
        m_lastCheck = lastCheck;
        const auto* orvError = dynamic_cast<const OrvError*>(&error);
        ErrMessage = orvError ? orvError->description() : QString::fromUtf8(error.what());
        setState(eVerCheckErr);
        return;
    }
    setState(newer ? eVerNeedsUpdate : eVerNoNeededUpdate);
}

void VerManager::mDler_ErrOccured(const QString& message)
{
    if (m_state != eVerChecking)
        return;
    ErrMessage = message;
    setState(eVerCheckErr);
}

void VerManager::LoadVersionXml(const QString& data)
{
    if (data.size() > MaxVersionFileSize)
        throw OrvError(OrvError::Refused, errorSource,
                       QStringLiteral("The reply is too large for a version file."));
    // Read in memory: the reply never touches the disk.
    XmlDocument document;
    if (!document.setContent(data.toUtf8()))
        throw notAVersionFile();
    const XmlElement root = document.documentElement();
    if (root.tagName() != QLatin1String("Root") || root.firstChildElement(QStringLiteral("Major")).isNull())
        throw notAVersionFile();
    XMLManager manager;
    manager.Restore(*this, root);
}

bool VerManager::CompareWithRunning() const
{
    const QVersionNumber running = runningVersion();
    const std::optional<qint64> runningNumber = versionNumber(running.majorVersion(), running.minorVersion());
    const std::optional<qint64> offeredNumber = versionNumber(Major, Minor);
    if (!runningNumber || !offeredNumber)
        throw OrvError(OrvError::Overflow, errorSource,
                       QStringLiteral("The version number is out of range."));
    return *offeredNumber > *runningNumber;
}

void VerManager::Load(XMLManager& loader)
{
    const PropertyReader read(loader);
    Major = read.whole(QStringLiteral("Major"), 0);
    Minor = read.whole(QStringLiteral("Minor"), 0);
    Revision = read.whole(QStringLiteral("Revision"), 0);
    read.date(QStringLiteral("LastCheck"), m_lastCheck, TimeSource::current().localNow());
}

void VerManager::Save(XMLManager& loader)
{
    loader.WriteProperty(QStringLiteral("Major"), TextForms::whole(Major));
    loader.WriteProperty(QStringLiteral("Minor"), TextForms::whole(Minor));
    loader.WriteProperty(QStringLiteral("Revision"), TextForms::whole(Revision));
    loader.WriteProperty(QStringLiteral("LastCheck"), TextForms::date(m_lastCheck));
}
