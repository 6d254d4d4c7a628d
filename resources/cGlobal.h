#pragma once

#include "Registry.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class QObject;
class QPaintDevice;
class QWidget;

// Loose helpers for files, windows, launching documents and web pages, the time-zone bias, the
// connection test and per-user string settings. Every member stands alone and keeps no state.
class cGlobal
{
public:
    // Opens a document or web page with the desktop's handler; returns whether it was handed over.
    using Launcher = std::function<bool(const QUrl&)>;

    // A new empty file "TMP…" in the user's temporary folder, left in place; empty when none could be
    // created.
    static QString GetTempFile();
    // Blocks the calling thread.
    static void SleepWait(qint32 lMilliseconds);
    // The whole file as text (local 8-bit); empty when missing or unreadable.
    static QString FileData(const QString& sFileName);
    // True when `sSource` names an existing file or folder, or when its last part is a pattern with
    // "*" or "?" that matches an entry of its folder.
    static bool FileExists(const QString& sSource);
    // Minutes to add to local standard time to get UTC, summer time left out (New York 300).
    static qint32 TimeZoneBias();
    // Trims `sFolder` and drops one trailing "/" (written back), then tells whether it is a folder.
    static bool FolderExists(QString& sFolder);
    // The library always runs inside this system's own programs, never hosted by a development
    // environment.
    static bool InIDE() { return false; }
    // A warning box titled "Error <Number>: <Source>" showing `Description`.
    static void ReportErr(qint32 Number, const QString& Source, const QString& Description);
    // Keeps the window above other windows, or lets it go back among them, without moving or showing it.
    static void AlwaysOnTop(QWidget* window, bool bTop);
    // Restores a minimised window and brings it to the front.
    static void fnShowWindow(QWidget* window);
    // Opens a file, a folder or a web address with the desktop's handler; the outcome is not looked at.
    static void LaunchFile(const QString& sFile);
    // Opens a web page: with `bForceBrowser` in the program's own browser, orvbrowser, when one is
    // installed beside the running program or on the install path, else with the desktop's handler as
    // LaunchFile does. Returns whether the page was handed over.
    static bool LaunchPage(const QString& sFile, bool bForceBrowser);
    // The program's own browser: "orvbrowser" beside the running program, else on the install path;
    // empty when there is none.
    static QString BrowserProgram();
    // The folder of the system's shared libraries.
    static QString GetSystemDirectory();
    // The colour depth of the device in bits; 0 without one.
    static qint32 GetColorBits(const QPaintDevice* device);
    // Runs the connection test (NetDetector) and hands its answer to `onResult` later, on this thread,
    // unless `context` is gone by then.
    static void NetDetected(QObject* context, std::function<void(bool)> onResult);
    // A string setting below `Root` "\<Section>", value `Key`; `Default` when it is missing or empty.
    static QString SFGetSetting(const QString& Section, const QString& Key,
                                const QString& Default = QString(),
                                ERegistryClassConstants Root = HKEY_CURRENT_USER);
    // Writes a string setting; failures are not reported.
    static void SFSetSetting(const QString& Section, const QString& Key, const QString& Value,
                             ERegistryClassConstants Root = HKEY_CURRENT_USER);

    // Replaces the desktop handler behind LaunchFile; an empty launcher restores it.
    static void setLauncher(Launcher launcher);
    // Replaces the folders that BrowserProgram searches; an empty list restores them.
    static void setBrowserFolders(const QStringList& folders);
};
