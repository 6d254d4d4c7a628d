#pragma once

#include "IXMLPersist.h"
#include "OrvEnums.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QVersionNumber>
#include <functional>
#include <optional>

class Downloader;

// The version check: asks the maker's site for its version file, compares the newest version offered
// with the running program's, and opens the new-version window when the site has a newer one. Its last
// check date is kept in the state file, so that the start-up checks can space the checks by days.
class VerManager : public QObject, public IXMLPersist
{
    Q_OBJECT
public:
    // Opens the new-version window on this object.
    using ShowWindow = std::function<void(VerManager&)>;

    // A reply larger than this is no version file.
    static constexpr qsizetype MaxVersionFileSize = 64 * 1024;

    explicit VerManager(QObject* parent = nullptr);
    ~VerManager() override;

    // The newest version offered by the site (0 until known).
    qint32 Major = 0;
    qint32 Minor = 0;
    qint32 Revision = 0;
    // Message of the last failed check.
    QString ErrMessage;
    // Stored only.
    QString Location;
    QString RelativeFile;

    // The moment of the last successful check.
    QDateTime LastCheck() const { return m_lastCheck; }

    eVerState State() const { return m_state; }
    // A change stores the state, acts on it (a status line; a newer version first opens the window),
    // then raises StateChange; the same state does nothing.
    void setState(eVerState value);
    // Raises StatusChange with the text; nothing is stored.
    void setStatus(const QString& sStatus);
    // Opens the new-version window for this object.
    void show();
    // Asks the maker's site for its version file; a check under way is dropped.
    void Check();

    void setShowWindow(ShowWindow showWindow) { m_showWindow = std::move(showWindow); }

    // The running program's version.
    static QVersionNumber runningVersion();
    // The number that versions compare by: the major number followed by the minor number with at least
    // two digits (1.6 gives 106, 2.10 gives 210); nothing when that is no 64-bit number.
    static std::optional<qint64> versionNumber(qint32 major, qint32 minor);
    // The version file's address, with a changing "rand" so that no cache answers: the seconds since
    // midnight, now or at `at`.
    static QUrl checkUrl();
    static QUrl checkUrl(const QTime& at);
    // The maker's download page.
    static QUrl downloadPage();

    // Serves the state file and the downloaded version file alike.
    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;

Q_SIGNALS:
    void StateChange(int State);
    void StatusChange(const QString& sStatus);

private:
    void mDler_Complete(const QString& data);
    void mDler_ErrOccured(const QString& message);
    // Restores this object from the version file `data`; refuses a reply that is no version file.
    void LoadVersionXml(const QString& data);
    bool CompareWithRunning() const;

    QDateTime m_lastCheck;
    eVerState m_state = eVerCheckIdle;
    Downloader* mDler = nullptr;
    ShowWindow m_showWindow;
};
