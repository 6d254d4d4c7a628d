#include "cGlobal.h"

#include "NetDetector.h"
#include "ResourcesLog.h"
#include "ResumeNext.h"
#include "TimeSource.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPaintDevice>
#include <QProcess>
#include <QTemporaryFile>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <dlfcn.h>
#include <unistd.h>

namespace {

cGlobal::Launcher& launcher()
{
    static cGlobal::Launcher installed;
    return installed;
}

QStringList& browserFolders()
{
    static QStringList folders;
    return folders;
}

// An address with a scheme opens as it stands; anything else, or a file of that name, as a local file.
bool openWithDesktop(const QString& sFile)
{
    const QUrl address(sFile, QUrl::TolerantMode);
    const QUrl target = !address.scheme().isEmpty() && !QFileInfo::exists(sFile)
                            ? address
                            : QUrl::fromLocalFile(QFileInfo(sFile).absoluteFilePath());
    return launcher() ? launcher()(target) : QDesktopServices::openUrl(target);
}

Registry stringSetting(const QString& Section, const QString& Key, ERegistryClassConstants Root)
{
    Registry registry;
    registry.ClassKey = Root;
    registry.SectionKey = QLatin1Char('\\') + Section;
    registry.ValueType = REG_SZ;
    registry.ValueKey = Key;
    return registry;
}

} // namespace

QString cGlobal::GetTempFile()
{
    QTemporaryFile file(QDir(QDir::tempPath()).filePath(QStringLiteral("TMPXXXXXX.tmp")));
    file.setAutoRemove(false);
    if (!file.open())
        return QString();
    return file.fileName();
}

void cGlobal::SleepWait(qint32 lMilliseconds)
{
    if (lMilliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(lMilliseconds));
}

QString cGlobal::FileData(const QString& sFileName)
{
    QFile file(sFileName);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(file.readAll());
}

bool cGlobal::FileExists(const QString& sSource)
{
    if (sSource.isEmpty())
        return false;
    const QFileInfo info(sSource);
    const QString name = info.fileName();
    if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')))
        return !info.dir()
                    .entryList({name}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                    .isEmpty();
    return info.exists();
}

qint32 cGlobal::TimeZoneBias()
{
    return TimeSource::current().biasMinutes();
}

bool cGlobal::FolderExists(QString& sFolder)
{
    sFolder = sFolder.trimmed();
    // "/" is the root folder itself, not a name with a separator after it.
    if (sFolder.size() > 1 && sFolder.endsWith(QLatin1Char('/')))
        sFolder.chop(1);
    return !sFolder.isEmpty() && QFileInfo(sFolder).isDir();
}

void cGlobal::ReportErr(qint32 Number, const QString& Source, const QString& Description)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    QMessageBox box(QMessageBox::Warning,
                    QStringLiteral("Error ") + QString::number(Number) + QStringLiteral(": ") + Source,
                    Description, QMessageBox::Ok);
    box.exec();
}

void cGlobal::AlwaysOnTop(QWidget* window, bool bTop)
{
    if (!window)
        return;
    QWidget* top = window->window();
    const Qt::WindowFlags flags = top->windowFlags().setFlag(Qt::WindowStaysOnTopHint, bTop);
    if (QWindow* handle = top->windowHandle()) {
        // Setting the widget's flags would re-create and hide a shown window: the hint goes to the
        // window itself, and the widget only records it.
        handle->setFlag(Qt::WindowStaysOnTopHint, bTop);
        top->overrideWindowFlags(flags);
    } else {
        top->setWindowFlags(flags);
    }
}

void cGlobal::fnShowWindow(QWidget* window)
{
    if (!window)
        return;
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
}

void cGlobal::LaunchFile(const QString& sFile)
{
    if (!sFile.isEmpty())
        openWithDesktop(sFile);
}

QString cGlobal::BrowserProgram()
{
    const QString name = QStringLiteral("orvbrowser");
    QStringList folders = browserFolders();
    if (folders.isEmpty()) {
        folders.append(QCoreApplication::applicationDirPath());
#ifdef ORV_INSTALL_BINDIR
        folders.append(QStringLiteral(ORV_INSTALL_BINDIR));
#endif
    }
    for (const QString& folder : folders) {
        const QFileInfo candidate(QDir(folder).filePath(name));
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.absoluteFilePath();
    }
    return QString();
}

bool cGlobal::LaunchPage(const QString& sFile, bool bForceBrowser)
{
    if (sFile.isEmpty())
        return false;
    if (bForceBrowser) {
        const QString browser = BrowserProgram();
        if (!browser.isEmpty()) {
            // An argument list, never a command line: the address reaches the browser as one argument
            // whatever it holds.
            if (QProcess::startDetached(browser, {QStringLiteral("--"), sFile}))
                return true;
            qCWarning(lcResources) << "could not start" << browser << "; opening the page with the desktop";
        }
    }
    return openWithDesktop(sFile);
}

void cGlobal::setBrowserFolders(const QStringList& folders)
{
    browserFolders() = folders;
}

void cGlobal::setLauncher(Launcher launcher)
{
    ::launcher() = std::move(launcher);
}

QString cGlobal::GetSystemDirectory()
{
    // The folder of the C library that this process runs on.
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&::getpid), &info) == 0 || !info.dli_fname)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).canonicalPath();
}

qint32 cGlobal::GetColorBits(const QPaintDevice* device)
{
    return device ? device->depth() : 0;
}

void cGlobal::NetDetected(QObject* context, std::function<void(bool)> onResult)
{
    auto* detector = new NetDetector(context);
    QObject::connect(detector, &NetDetector::finished, context ? context : detector,
                     [detector, onResult = std::move(onResult)](bool detected) {
                         detector->deleteLater();
                         if (onResult)
                             onResult(detected);
                     });
    detector->start();
}

QString cGlobal::SFGetSetting(const QString& Section, const QString& Key, const QString& Default,
                              ERegistryClassConstants Root)
{
    QString result = Default;
    resumeNext(lcResources, [&] {
        Registry registry = stringSetting(Section, Key, Root);
        if (registry.KeyExists()) {
            const QString text = registry.Value().toString();
            if (!text.isEmpty())
                result = text;
        }
    });
    return result;
}

void cGlobal::SFSetSetting(const QString& Section, const QString& Key, const QString& Value,
                           ERegistryClassConstants Root)
{
    resumeNext(lcResources, [&] { stringSetting(Section, Key, Root).setValue(Value); });
}
