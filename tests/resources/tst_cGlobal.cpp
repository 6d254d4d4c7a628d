#include "Registry.h"
#include "TimeSource.h"
#include "cGlobal.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

bool onTop(QWidget& widget)
{
    return widget.windowHandle() && widget.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint) &&
           widget.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

} // namespace

class tst_cGlobal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        writeFile(m_dir.filePath(QStringLiteral("Sent Snipes/123.html")), "<html/>");
        writeFile(m_dir.filePath(QStringLiteral("Sent Snipes/notes.txt")), "notes");
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("empty folder")));
    }

    void cleanup()
    {
        qputenv("XDG_CONFIG_HOME", m_configHome);
        cGlobal::setLauncher({});
        cGlobal::setBrowserFolders({});
        TimeSource::install(nullptr);
    }

    void fileExists_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("expected");
        QTest::newRow("pattern with a match") << QStringLiteral("Sent Snipes/*.html") << true;
        QTest::newRow("single-character pattern") << QStringLiteral("Sent Snipes/1?3.html") << true;
        QTest::newRow("pattern without a match") << QStringLiteral("empty folder/*.html") << false;
        QTest::newRow("pattern in a missing folder") << QStringLiteral("missing/*.html") << false;
        QTest::newRow("folder") << QStringLiteral("Sent Snipes") << true;
        QTest::newRow("file") << QStringLiteral("Sent Snipes/notes.txt") << true;
        QTest::newRow("missing file") << QStringLiteral("Sent Snipes/456.html") << false;
    }
    void fileExists()
    {
        QFETCH(QString, source);
        QFETCH(bool, expected);
        QCOMPARE(cGlobal::FileExists(m_dir.filePath(source)), expected);
        QVERIFY(!cGlobal::FileExists(QString()));
    }

    void folderExists_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<QString>("writtenBack");
        const QString base = m_dir.path() + QLatin1Char('/');
        QTest::newRow("folder") << base + QStringLiteral("Sent Snipes") << true
                                << base + QStringLiteral("Sent Snipes");
        QTest::newRow("trailing separator")
            << base + QStringLiteral("Sent Snipes/") << true << base + QStringLiteral("Sent Snipes");
        QTest::newRow("blanks around") << QStringLiteral("  ") + base + QStringLiteral("Sent Snipes/ ")
                                       << true << base + QStringLiteral("Sent Snipes");
        QTest::newRow("only one separator goes")
            << base + QStringLiteral("Sent Snipes//") << true << base + QStringLiteral("Sent Snipes/");
        QTest::newRow("a file") << base + QStringLiteral("Sent Snipes/notes.txt") << false
                                << base + QStringLiteral("Sent Snipes/notes.txt");
        QTest::newRow("missing") << base + QStringLiteral("missing/") << false
                                 << base + QStringLiteral("missing");
        QTest::newRow("root") << QStringLiteral("/") << true << QStringLiteral("/");
        QTest::newRow("empty") << QStringLiteral(" ") << false << QString();
    }
    void folderExists()
    {
        QFETCH(QString, folder);
        QFETCH(bool, expected);
        QFETCH(QString, writtenBack);
        QCOMPARE(cGlobal::FolderExists(folder), expected);
        QCOMPARE(folder, writtenBack);
    }

    void tempFilesAreNewEmptyAndKept()
    {
        QTemporaryDir temp;
        const QByteArray previous = qgetenv("TMPDIR");
        qputenv("TMPDIR", temp.path().toUtf8());
        const QString first = cGlobal::GetTempFile();
        const QString second = cGlobal::GetTempFile();
        qputenv("TMPDIR", previous);

        QVERIFY(!first.isEmpty());
        QVERIFY(first != second);
        for (const QString& path : {first, second}) {
            const QFileInfo info(path);
            QVERIFY(info.isFile());
            QCOMPARE(info.size(), 0);
            QVERIFY(info.fileName().startsWith(QLatin1String("TMP")));
            QCOMPARE(info.absolutePath(), QFileInfo(temp.path()).absoluteFilePath());
        }
    }

    void fileDataReadsTheWholeFile()
    {
        const QString path = m_dir.filePath(QStringLiteral("data.txt"));
        writeFile(path, QStringLiteral("first line\nzweite Zeile ä\n").toLocal8Bit());
        QCOMPARE(cGlobal::FileData(path), QStringLiteral("first line\nzweite Zeile ä\n"));
        QCOMPARE(cGlobal::FileData(m_dir.filePath(QStringLiteral("missing.txt"))), QString());
        QCOMPARE(cGlobal::FileData(m_dir.filePath(QStringLiteral("empty folder"))), QString());
    }

    void timeZoneBiasLeavesSummerTimeOut_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<int>("bias");
        QTest::newRow("New York") << QByteArray("America/New_York") << 300;
        QTest::newRow("Kolkata") << QByteArray("Asia/Kolkata") << -330;
        QTest::newRow("Berlin") << QByteArray("Europe/Berlin") << -60;
        // Its data calls winter the shifted time; the standard bias is still 0.
        QTest::newRow("Dublin") << QByteArray("Europe/Dublin") << 0;
        QTest::newRow("St. John's, half an hour") << QByteArray("America/St_Johns") << 210;
        QTest::newRow("Adelaide, southern summer") << QByteArray("Australia/Adelaide") << -570;
    }
    void timeZoneBiasLeavesSummerTimeOut()
    {
        QFETCH(QByteArray, zone);
        QFETCH(int, bias);
        const QTimeZone timeZone(zone);
        QVERIFY(timeZone.isValid());
        const SystemTimeSource source(timeZone);
        TimeSource::install(&source);
        QCOMPARE(cGlobal::TimeZoneBias(), bias);
        for (int year : {2005, 2024})
            QCOMPARE(SystemTimeSource::standardBiasMinutes(timeZone, year), bias);
    }

    void stringSettingsLiveInTheRegistry()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        const QString section = QStringLiteral("Auction Orv\\Prefs");

        QCOMPARE(cGlobal::SFGetSetting(section, QStringLiteral("Browser"), QStringLiteral("none")),
                 QStringLiteral("none"));
        cGlobal::SFSetSetting(section, QStringLiteral("Browser"), QStringLiteral("orvbrowser"));
        QCOMPARE(cGlobal::SFGetSetting(section, QStringLiteral("browser")), QStringLiteral("orvbrowser"));

        Registry registry;
        registry.ClassKey = HKEY_CURRENT_USER;
        registry.SectionKey = section;
        registry.ValueKey = QStringLiteral("Browser");
        QCOMPARE(registry.Value(), QVariant(QStringLiteral("orvbrowser")));

        // An existing but empty value reads as the default.
        cGlobal::SFSetSetting(section, QStringLiteral("Browser"), QString());
        QCOMPARE(cGlobal::SFGetSetting(section, QStringLiteral("Browser"), QStringLiteral("none")),
                 QStringLiteral("none"));
        QVERIFY(registry.Value().isValid());
        // Other roots are other places.
        QCOMPARE(
            cGlobal::SFGetSetting(section, QStringLiteral("Browser"), QStringLiteral("none"), HKEY_USERS),
            QStringLiteral("none"));
    }

    void stringSettingFailuresAreSilent()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        writeFile(config.filePath(QStringLiteral("auction-orv")), "a file where the folder belongs");
        cGlobal::SFSetSetting(QStringLiteral("Prefs"), QStringLiteral("Key"), QStringLiteral("value"));
        QCOMPARE(
            cGlobal::SFGetSetting(QStringLiteral("Prefs"), QStringLiteral("Key"), QStringLiteral("default")),
            QStringLiteral("default"));
    }

    void launchFileOpensAddressesAndFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QUrl>("expected");
        QTest::newRow("web page") << QStringLiteral("http://cgi.example.com/ws/ViewItem?item=123")
                                  << QUrl(QStringLiteral("http://cgi.example.com/ws/ViewItem?item=123"));
        QTest::newRow("saved page") << m_dir.filePath(QStringLiteral("Sent Snipes/123.html"))
                                    << QUrl::fromLocalFile(
                                           m_dir.filePath(QStringLiteral("Sent Snipes/123.html")));
        QTest::newRow("folder with a blank")
            << m_dir.filePath(QStringLiteral("Sent Snipes"))
            << QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("Sent Snipes")));
        QTest::newRow("relative to the current folder")
            << QStringLiteral("Sent Snipes/notes.txt")
            << QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("Sent Snipes/notes.txt")));
    }
    void launchFileOpensAddressesAndFiles()
    {
        QFETCH(QString, file);
        QFETCH(QUrl, expected);
        QList<QUrl> opened;
        cGlobal::setLauncher([&](const QUrl& url) {
            opened.append(url);
            return false; // a refusal is not looked at
        });
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        cGlobal::LaunchFile(file);
        cGlobal::LaunchFile(QString());
        QDir::setCurrent(previous);
        QCOMPARE(opened, QList<QUrl>{expected});
    }

    // The program's own browser is "orvbrowser" in the folders searched; a stand-in script writes the
    // arguments it was started with, one per line.
    void launchPageStartsTheOwnBrowserOnlyWhenForcedAndPresent_data()
    {
        QTest::addColumn<bool>("force");
        QTest::addColumn<bool>("browserPresent");
        QTest::addColumn<QString>("page");
        const QString hostile = QStringLiteral("http://cgi.example.com/ws/eBayISAPI.dll?ViewItem&item=1;"
                                               "touch pwned $(id) `id` \"quoted\" 'single'");
        QTest::newRow("forced, browser present") << true << true << hostile;
        QTest::newRow("forced, address looks like an option") << true << true << QStringLiteral("--help");
        QTest::newRow("forced, no browser") << true << false << hostile;
        QTest::newRow("not forced, browser present") << false << true << hostile;
    }
    void launchPageStartsTheOwnBrowserOnlyWhenForcedAndPresent()
    {
        QFETCH(bool, force);
        QFETCH(bool, browserPresent);
        QFETCH(QString, page);
        QTemporaryDir folder;
        cGlobal::setBrowserFolders({folder.path()});
        const QString browser = folder.filePath(QStringLiteral("orvbrowser"));
        const QString record = m_dir.filePath(QStringLiteral("browser-arguments.txt"));
        QFile::remove(record);
        if (browserPresent) {
            writeFile(browser, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$ORV_BROWSER_RECORD.part\"\n"
                               "mv \"$ORV_BROWSER_RECORD.part\" \"$ORV_BROWSER_RECORD\"\n");
            QVERIFY(QFile::setPermissions(browser, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
            QCOMPARE(cGlobal::BrowserProgram(), browser);
        }
        qputenv("ORV_BROWSER_RECORD", record.toLocal8Bit());
        QList<QUrl> opened;
        cGlobal::setLauncher([&](const QUrl& url) {
            opened.append(url);
            return true;
        });

        QVERIFY(cGlobal::LaunchPage(page, force));
        if (force && browserPresent) {
            QTRY_VERIFY(QFile::exists(record));
            QFile file(record);
            QVERIFY(file.open(QIODevice::ReadOnly));
            // One argument, the page as it stands, after the end of the options.
            QCOMPARE(QString::fromLocal8Bit(file.readAll()),
                     QStringLiteral("--\n") + page + QLatin1Char('\n'));
            QVERIFY(opened.isEmpty());
        } else {
            QCOMPARE(opened, QList<QUrl>{QUrl(page, QUrl::TolerantMode)});
            QTest::qWait(200);
            QVERIFY(!QFile::exists(record));
        }
        QVERIFY(!cGlobal::LaunchPage(QString(), force));
    }

    void alwaysOnTopKeepsAShownWindowShown()
    {
        QWidget window;
        QWidget* child = new QWidget(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        cGlobal::AlwaysOnTop(child, true); // any widget stands for its window
        QVERIFY(window.isVisible());
        QVERIFY(onTop(window));
        cGlobal::AlwaysOnTop(&window, false);
        QVERIFY(window.isVisible());
        QVERIFY(!window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void alwaysOnTopBeforeTheFirstShowHolds()
    {
        QWidget window;
        cGlobal::AlwaysOnTop(&window, true);
        QVERIFY(!window.isVisible());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(onTop(window));
    }

    void showWindowRestoresAMinimisedWindow()
    {
        QWidget window;
        window.showMinimized();
        QTRY_VERIFY(window.isMinimized());
        cGlobal::fnShowWindow(&window);
        QVERIFY(!window.isMinimized());
        QVERIFY(window.isVisible());
    }

    void reportErrShowsItsOwnDescription()
    {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            box->accept();
        });
        cGlobal::ReportErr(5, QStringLiteral("Orv.Test"), QStringLiteral("Something went wrong."));
        QCOMPARE(title, QStringLiteral("Error 5: Orv.Test"));
        QCOMPARE(text, QStringLiteral("Something went wrong."));
        QCOMPARE(icon, QMessageBox::Warning);
    }

    void systemDirectoryHoldsTheSystemLibraries()
    {
        const QDir folder(cGlobal::GetSystemDirectory());
        QVERIFY(folder.exists());
        QVERIFY(!folder.entryList({QStringLiteral("libc.so*")}, QDir::Files).isEmpty());
    }

private:
    QTemporaryDir m_dir;
    const QByteArray m_configHome = qgetenv("XDG_CONFIG_HOME");
};

QTEST_MAIN(tst_cGlobal)
#include "tst_cGlobal.moc"
