#include "OrvPictures.h"

#include <QImage>
#include <QTest>

// The one set of pictures: every key of every image list has its own picture.
class tst_OrvPictures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyImageListKeyHasItsOwnPicture()
    {
        const QStringList report{"blank", "category", "ieyellow",  "iered",   "iegreen",   "star",
                                 "eye",   "failed",   "bid",       "yellow",  "white",     "red",
                                 "green", "hot",      "preparing", "bidding", "cancelled", "basket"};
        const QStringList lights{"grey", "yellow", "red", "green"};
        const QStringList buttons{"stop", "updateall", "update",  "navigate", "add",
                                  "edit", "delete",    "clock",   "config",   "add2",
                                  "app",  "bid",       "editcat", "delcat",   "addcat"};
        const QStringList tray{"GREEN", "YELLOW", "RED", "FLAG", "GREY"};
        // The band's tree and its toolbars.
        const QStringList tree{"item",      "dollar", "quantity", "bids",      "money",   "clock",
                               "calendar",  "smile",  "comment",  "ieyellow",  "iered",   "iegreen",
                               "star",      "eye",    "failed",   "bid",       "yellow",  "white",
                               "red",       "green",  "hot",      "preparing", "bidding", "none",
                               "cancelled", "open",   "closed",   "open2",     "closed2"};
        const QStringList bandButtons{"stop",   "updateall", "update", "navigate", "add", "edit",
                                      "delete", "clock",     "config", "add2",     "app", "bid"};
        QHash<QString, QImage> pictures;
        for (const QStringList& list : {report, lights, buttons, tray, tree, bandButtons}) {
            for (const QString& key : list) {
                const QIcon icon = OrvPictures::icon(key);
                QVERIFY2(!icon.isNull(), qPrintable(key));
                pictures.insert(key.toLower(), icon.pixmap(16, 16).toImage());
            }
        }
        // A key names one picture in every list; different keys, different pictures.
        const QList<QString> keys = pictures.keys();
        for (int i = 0; i < keys.size(); ++i) {
            for (int j = i + 1; j < keys.size(); ++j)
                QVERIFY2(pictures.value(keys.at(i)) != pictures.value(keys.at(j)),
                         qPrintable(keys.at(i) + QLatin1Char('/') + keys.at(j)));
        }
        QCOMPARE(OrvPictures::keys().size(), pictures.size());
        QVERIFY(OrvPictures::icon(QStringLiteral("blue")).isNull());
        // The blank picture keeps a cell's place and shows nothing.
        const QImage blank = pictures.value(QStringLiteral("blank"));
        QCOMPARE(blank.pixelColor(8, 8).alpha(), 0);
    }

    void drawnAtTheSizeAskedForAndGreyedWhenDisabled()
    {
        const QIcon add = OrvPictures::icon(QStringLiteral("add"));
        QCOMPARE(add.pixmap(48, 48).size(), QSize(48, 48));
        const QImage normal = add.pixmap(16, 16).toImage();
        const QImage disabled = add.pixmap(QSize(16, 16), QIcon::Disabled).toImage();
        QVERIFY(normal != disabled);
        const QColor centre = disabled.pixelColor(8, 8);
        QCOMPARE(centre.red(), centre.green());
        QCOMPARE(centre.green(), centre.blue());
    }
};

QTEST_MAIN(tst_OrvPictures)
#include "tst_OrvPictures.moc"
