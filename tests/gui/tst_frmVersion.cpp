#include "VerManager.h"
#include "WidgetDialogHost.h"
#include "cGlobal.h"
#include "frmVersion.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

QList<frmVersion*> openWindows()
{
    QList<frmVersion*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<frmVersion*>(widget); window && window->isVisible())
            found << window;
    }
    return found;
}

QString text(const QWidget* window, const QString& label)
{
    return window->findChild<QLabel*>(label)->text();
}

} // namespace

class tst_frmVersion : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void showsBothVersions();
    void visitOpensTheDownloadPageAndCloses();
};

void tst_frmVersion::showsBothVersions()
{
    VerManager ver;
    ver.Major = 2;
    ver.Minor = 10;
    ver.Revision = 3;
    WidgetDialogHost host;
    host.viewVersion(ver);
    ver.Minor = 11;
    host.viewVersion(ver);

    // One window, filled afresh by each View.
    QCOMPARE(openWindows().size(), 1);
    const frmVersion* window = openWindows().constFirst();
    QCOMPARE(window->windowTitle(), QStringLiteral("New Version Available!"));
    QCOMPARE(text(window, QStringLiteral("lblTitle_0")), QStringLiteral("Current Version:"));
    QCOMPARE(text(window, QStringLiteral("lblTitle_1")), QStringLiteral("Latest Version:"));
    QCOMPARE(text(window, QStringLiteral("lblStatus")), QStringLiteral("New Version Available!"));
    QCOMPARE(text(window, QStringLiteral("lblNewVer")), QStringLiteral("2.11.3"));
    // The running version is the build's own, unpadded.
    const QVersionNumber running = VerManager::runningVersion();
    QCOMPARE(text(window, QStringLiteral("lblAppVer")), running.toString());
    QCOMPARE(running.segmentCount(), 3);
    QCOMPARE(window->findChild<QPushButton*>(QStringLiteral("cmdVisit"))->text(),
             QStringLiteral("Visit Webpage"));
}

void tst_frmVersion::visitOpensTheDownloadPageAndCloses()
{
    qputenv("AUCTIONORV_MAKER_URL", "http://127.0.0.1:9");
    QList<QUrl> opened;
    cGlobal::setLauncher([&opened](const QUrl& url) {
        opened << url;
        return true;
    });
    VerManager ver;
    QPointer<frmVersion> window = new frmVersion(false);
    window->View(ver);
    window->findChild<QPushButton*>(QStringLiteral("cmdVisit"))->click();
    cGlobal::setLauncher({});
    qunsetenv("AUCTIONORV_MAKER_URL");

    QCOMPARE(opened, QList<QUrl>{QUrl(QStringLiteral("http://127.0.0.1:9/download.html"))});
    QTRY_VERIFY(!window);
}

QTEST_MAIN(tst_frmVersion)
#include "tst_frmVersion.moc"
