#include "FileSizeLimit.h"
#include "OwnerOnlyFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

mode_t modeOf(const QString& path)
{
    struct stat info = {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 0777;
}

} // namespace

// The writer of every file that holds the user's data: whole or not at all, owner-only, never through a
// symbolic link, and a failure in the system's own words.
class tst_OwnerOnlyFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linkIsRefusedNotFollowed_data()
    {
        QTest::addColumn<bool>("dangling");
        QTest::newRow("link to a file") << false;
        QTest::newRow("link to no file yet") << true;
    }
    void linkIsRefusedNotFollowed()
    {
        QFETCH(bool, dangling);
        QTemporaryDir dir;
        const QString victim = dir.filePath(QStringLiteral("victim"));
        if (!dangling)
            writeAll(victim, "precious");
        const QString planted = dir.filePath(QStringLiteral("state.xml"));
        QVERIFY(QFile::link(victim, planted));

        const QString failure = OwnerOnlyFile::write(planted, "<Root/>");
        QVERIFY(failure.contains(QStringLiteral("symbolic link")));
        QCOMPARE(readAll(victim), dangling ? QByteArray("<no file>") : QByteArray("precious"));
        QCOMPARE(QFileInfo(planted).symLinkTarget(), victim);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), dangling ? 1 : 2);
    }

    void fileSizeLimitFailsWithItsReason()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("state.xml"));
        writeAll(path, "old");
        QString failure;
        {
            FileSizeLimit limit(64);
            failure = OwnerOnlyFile::write(path, QByteArray(500, 'x'));
        }
        QCOMPARE(failure, QStringLiteral("File too large"));
        QCOMPARE(readAll(path), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    }

    // A full disk on a small file system of its own, where the machine lets a test mount one.
    void fullDiskSaysSo()
    {
        QTemporaryDir dir;
        const QString mountPoint = dir.filePath(QStringLiteral("tiny"));
        QVERIFY(QDir().mkpath(mountPoint));
        if (QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=64k"), QStringLiteral("tmpfs"), mountPoint}) != 0)
            QSKIP("no small file system can be mounted here");
        const QString path = QDir(mountPoint).filePath(QStringLiteral("state.xml"));
        writeAll(path, "old");
        const QString failure = OwnerOnlyFile::write(path, QByteArray(256 * 1024, 'x'));
        const QByteArray kept = readAll(path);
        const QStringList left = QDir(mountPoint).entryList(QDir::Files);
        QProcess::execute(QStringLiteral("umount"), {mountPoint});
        QCOMPARE(failure, QStringLiteral("No space left on device"));
        QCOMPARE(kept, QByteArray("old"));
        QCOMPARE(left, QStringList{QStringLiteral("state.xml")});
    }

    void writtenFileIsOwnerOnly()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("state.xml"));
        writeAll(path, "old");
        QFile::setPermissions(path,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        QCOMPARE(OwnerOnlyFile::write(path, "new"), QString());
        QCOMPARE(readAll(path), QByteArray("new"));
        QCOMPARE(modeOf(path), mode_t(0600));
    }

    // The copy is the file as it was, owner-only, whatever stood at the copy's name before.
    void keepCopy_data()
    {
        QTest::addColumn<QString>("atCopy"); // "", "file" or "link"
        QTest::newRow("no copy yet") << QString();
        QTest::newRow("older copy") << QStringLiteral("file");
        QTest::newRow("planted link") << QStringLiteral("link");
    }
    void keepCopy()
    {
        QFETCH(QString, atCopy);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("state.xml"));
        const QString copy = path + QStringLiteral(".bak");
        const QString victim = dir.filePath(QStringLiteral("victim"));
        writeAll(victim, "precious");
        writeAll(path, "as loaded");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        if (atCopy == QLatin1String("file"))
            writeAll(copy, "older");
        else if (atCopy == QLatin1String("link"))
            QVERIFY(QFile::link(victim, copy));

        QCOMPARE(OwnerOnlyFile::keepCopy(path, copy), QString());
        QVERIFY(!QFileInfo(copy).isSymLink());
        QCOMPARE(readAll(copy), QByteArray("as loaded"));
        QCOMPARE(modeOf(copy), mode_t(0600));
        QCOMPARE(readAll(victim), QByteArray("precious"));
        // Replacing the file afterwards leaves the copy as it was.
        QCOMPARE(OwnerOnlyFile::write(path, "saved"), QString());
        QCOMPARE(readAll(copy), QByteArray("as loaded"));
        // Nothing to keep is no failure.
        QCOMPARE(OwnerOnlyFile::keepCopy(dir.filePath(QStringLiteral("missing")), copy), QString());
    }

    // A writer killed at any moment leaves the file whole, old or new, and at most temporary files that
    // bear the writer's own name, which the next start removes.
    void killedWriterLeavesOnlyItsOwnTemporaryFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("auctions.xml"));
        const QByteArray oldContent = "<Root>old</Root>";
        const QByteArray newContent = "<Root>" + QByteArray(8 * 1024 * 1024, 'n') + "</Root>";
        writeAll(path, oldContent);
        QRandomGenerator random(20261210);
        int leftBehind = 0;
        for (int round = 0; round < 20; ++round) {
            const pid_t child = ::fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                for (;;)
                    (void)OwnerOnlyFile::write(path, newContent);
            }
            QThread::usleep(1000 + random.bounded(60000));
            ::kill(child, SIGKILL);
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            const QByteArray now = readAll(path);
            QVERIFY(now == oldContent || now == newContent);
            const QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
            for (const QString& name : names) {
                if (name == QLatin1String("auctions.xml"))
                    continue;
                QVERIFY2(OwnerOnlyFile::isTemporaryName(name), qPrintable(name));
                QCOMPARE(modeOf(dir.filePath(name)), mode_t(0600));
            }
            leftBehind = std::max(leftBehind, int(names.size()) - 1);
        }
        qInfo("at most %d temporary files were left at once", leftBehind);
        OwnerOnlyFile::removeTemporaryFiles(dir.path());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"auctions.xml"});
    }

    // Only the writer's own leftovers go: no file of the user's that merely looks alike, no link (nor what
    // it points at), no folder.
    void onlyTheWritersOwnTemporaryFilesAreRemoved()
    {
        QTemporaryDir dir;
        QTemporaryDir elsewhere;
        const QString victim = elsewhere.filePath(QStringLiteral("victim"));
        writeAll(victim, "precious");
        const QStringList leftovers{"auctions.xml.saving-Ab12Cd", "auctions.xml.bak.saving-000000",
                                    "12345.html.saving-zzzzzz"};
        const QStringList kept{"auctions.xml",
                               "auctions.xml.bak",
                               "auctions.xml.lock",
                               "auctions.xml.unreadable-20261210-101500",
                               "auctions.xml.original-20261210-101500",
                               "auctions.xml.backup",
                               "auctions.xml.Ab12Cd",
                               "auctions.xml.saving-Ab12C",
                               "auctions.xml.saving-Ab12Cde",
                               "auctions.xml.saving-Ab-2Cd",
                               "auctions.xml.saving-Ab12C\u00e9",
                               ".saving-Ab12Cd"};
        for (const QString& name : leftovers + kept)
            writeAll(dir.filePath(name), "<Root>");
        QVERIFY(QFile::link(victim, dir.filePath(QStringLiteral("auctions.xml.saving-link00"))));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("auctions.xml.saving-folder")));

        QCOMPARE(OwnerOnlyFile::removeTemporaryFiles(dir.path()), int(leftovers.size()));
        QStringList expected = kept;
        expected << QStringLiteral("auctions.xml.saving-folder")
                 << QStringLiteral("auctions.xml.saving-link00");
        expected.sort();
        QStringList present =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        present.sort();
        QCOMPARE(present, expected);
        QCOMPARE(readAll(victim), QByteArray("precious"));
    }

    void existingFolderIsMadeOwnerOnly()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                  QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                  QFile::ExeOther));
        QVERIFY(OwnerOnlyFile::makeFolder(folder));
        QCOMPARE(modeOf(folder), mode_t(0700));
        QVERIFY(OwnerOnlyFile::makeFolder(dir.filePath(QStringLiteral("new/inner"))));
        QCOMPARE(modeOf(dir.filePath(QStringLiteral("new/inner"))), mode_t(0700));
    }
};

QTEST_GUILESS_MAIN(tst_OwnerOnlyFile)
#include "tst_OwnerOnlyFile.moc"
