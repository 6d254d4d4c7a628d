#include "OrvPictures.h"

#include <QDir>
#include <QImage>
#include <QTest>

// The desktop's icons of the programs, as the build drew them into its icon theme folder: each the
// program's own picture, at every size the theme folder holds.
class tst_DesktopIcons : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void drawnFromTheProgramsPicture_data()
    {
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("picture");
        // The main program's icon is the logo of its own windows (about box, splash).
        QTest::newRow("program") << QStringLiteral("org.auctionorv.ORVAuctions") << QStringLiteral("app");
        QTest::newRow("browser") << QStringLiteral("org.auctionorv.ORVBrowser") << QStringLiteral("navigate");
    }

    void drawnFromTheProgramsPicture()
    {
        QFETCH(QString, icon);
        QFETCH(QString, picture);
        const QDir theme(qEnvironmentVariable("ORV_BINARY_DIR") + QStringLiteral("/icons/hicolor"));
        const QStringList folders = theme.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        // The icon theme's rule: an application installs at least 48x48.
        QVERIFY2(folders.contains(QStringLiteral("48x48")), qPrintable(theme.path()));
        for (const QString& folder : folders) {
            const int size = folder.section(QLatin1Char('x'), 0, 0).toInt();
            QCOMPARE(folder, QStringLiteral("%1x%1").arg(size));
            const QString file =
                theme.filePath(folder + QStringLiteral("/apps/") + icon + QStringLiteral(".png"));
            const QImage drawn(file);
            QVERIFY2(!drawn.isNull(), qPrintable(file));
            const QImage expected =
                OrvPictures::icon(picture).pixmap(size, size).toImage().convertToFormat(drawn.format());
            QCOMPARE(drawn.size(), QSize(size, size));
            QVERIFY2(drawn == expected, qPrintable(file));
        }
    }
};

QTEST_MAIN(tst_DesktopIcons)
#include "tst_DesktopIcons.moc"
