#include "AuctionsEvents.h"
#include "BidSenders.h"
#include "DataFolder.h"
#include "ScriptedBrowser.h"
#include "Settings.h"
#include "TestDataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// Every attempt that ends keeps its last page as "Sent Snipes/<item>.html". The folder is the user's,
// but a link planted at that name must not turn the page's writing into a write elsewhere.
class tst_SentSnipesPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void plantedLinkIsNotFollowed()
    {
        TestDataFolder data;
        QTemporaryDir elsewhere;
        const QString victim = elsewhere.filePath(QStringLiteral("victim"));
        QFile file(victim);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("precious");
        file.close();
        QVERIFY(QDir().mkpath(DataFolder::sentSnipesFolder()));
        const QString page = QDir(DataFolder::sentSnipesFolder()).filePath(QStringLiteral("123.html"));
        QVERIFY(QFile::link(victim, page));

        Settings settings;
        settings.Username = QStringLiteral("bob");
        settings.Password = QStringLiteral("s3cret");
        ScriptedBrowsers browsers;
        int saves = 0;
        BidSenders senders(browsers.factory(), settings, [&saves] { ++saves; });
        AuctionsEvents events;
        const AuctionPtr auction = AuctionPtr::create();
        auction->Item = QStringLiteral("123");
        auction->SnipeBid = 25.5;
        auction->SnipeState = OR2BidSet;
        auction->Events = &events;

        // An attempt cancelled at once ends as any other does: its outcome recorded, its page written.
        senders.Prepare(auction, false);
        senders.Cancel();
        QCOMPARE(auction->SnipeState, OR2BidFailed);
        QCOMPARE(saves, 1);

        QVERIFY(QFileInfo(page).isSymLink());
        QCOMPARE(QFileInfo(page).symLinkTarget(), victim);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("precious"));
    }
};

QTEST_GUILESS_MAIN(tst_SentSnipesPage)
#include "tst_SentSnipesPage.moc"
