#include "ItemLinks.h"
#include "SiteEndpoints.h"

#include <QTest>

class tst_ItemLinks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The item an address names, whether it is an item number, and what a drop or a shown page yields.
    void itemOfAnAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("dropped");
        const QString page = QStringLiteral("http://cgi.auction.test/ws/eBayISAPI.dll?ViewItem");
        QTest::newRow("after &") << page + "&item=222"
                                 << "222" << true << "222";
        QTest::newRow("after ?") << "http://mirror.example/go?item=222&from=eBayISAPI.dll?ViewItem"
                                 << "222" << true << "222";
        QTest::newRow("first in the text") << "item=222 eBayISAPI.dll?ViewItem"
                                           << "222 eBayISAPI.dll?ViewItem" << false << "";
        QTest::newRow("first in the text, then a key") << "item=222&eBayISAPI.dll?ViewItem"
                                                       << "222" << true << "222";
        QTest::newRow("previtem before item") << page + "&previtem=111&item=222"
                                              << "222" << true << "222";
        QTest::newRow("xitem before item") << page + "&xitem=111&item=222"
                                           << "222" << true << "222";
        QTest::newRow("previtem alone") << page + "&previtem=111"
                                        << "" << false << "";
        QTest::newRow("xitem right after ?") << "http://x/eBayISAPI.dll?xitem=111"
                                             << "" << false << "";
        QTest::newRow("item inside a value") << page + "&next=item=111&item=222"
                                             << "222" << true << "222";
        QTest::newRow("the first whole key counts") << page + "&item=222&item=333"
                                                    << "222" << true << "222";
        QTest::newRow("item= in the path") << "http://x/item=111/eBayISAPI.dll?ViewItem"
                                           << "" << false << "";
        QTest::newRow("further parameters") << "x?ViewItem&item=123&rd=1"
                                            << "123" << true << "";
        QTest::newRow("at the end, letter case") << "x?ViewItem&ITEM=AB12"
                                                 << "AB12" << true << "";
        QTest::newRow("upper-case address") << "HTTP://CGI.EBAY.COM/WS/EBAYISAPI.DLL?VIEWITEM&ITEM=5"
                                            << "5" << true << "5";
        QTest::newRow("spaces trimmed") << "x?item= 45 &y"
                                        << "45" << true << "";
        QTest::newRow("line end after the item") << page + "&item=77\r\n"
                                                 << "77" << true << "77";
        QTest::newRow("fragment") << page + "&item=77#desc"
                                  << "77" << true << "77";
        QTest::newRow("no item=") << page + "&id=5"
                                  << "" << false << "";
        QTest::newRow("empty item") << page + "&item=&y=1"
                                    << "" << false << "";
        QTest::newRow("not letters and digits") << page + "&item=1;2"
                                                << "1;2" << false << "";
        QTest::newRow("path characters") << page + "&item=../1"
                                         << "../1" << false << "";
        QTest::newRow("a letter beyond ASCII") << page + "&item=12\u00e9"
                                               << "12\u00e9" << false << "";
        QTest::newRow("item= without the marker") << "http://example.com/?item=5"
                                                  << "5" << true << "";
        QTest::newRow("empty") << ""
                               << "" << false << "";
    }
    void itemOfAnAddress()
    {
        QFETCH(QString, text);
        QFETCH(QString, item);
        QFETCH(bool, valid);
        QCOMPARE(ItemLinks::itemOf(text), item);
        QCOMPARE(ItemLinks::isValidItem(item), valid);
        QTEST(ItemLinks::itemFromDrop(text), "dropped");
    }

    void itemPageAddress()
    {
        qputenv("AUCTIONORV_ITEM_URL", "http://cgi.auction.test:8080");
        QCOMPARE(ItemLinks::itemPageUrl(QStringLiteral("AB12")),
                 QUrl(QStringLiteral("http://cgi.auction.test:8080/ws/eBayISAPI.dll?ViewItem&item=AB12")));
        QCOMPARE(ItemLinks::itemFromDrop(ItemLinks::itemPageUrl(QStringLiteral("AB12")).toString()),
                 QStringLiteral("AB12"));
        QVERIFY(ItemLinks::itemPageUrl(QStringLiteral("1&item=2")).isEmpty());
        QVERIFY(ItemLinks::itemPageUrl(QString()).isEmpty());
        qunsetenv("AUCTIONORV_ITEM_URL");
    }
};

QTEST_APPLESS_MAIN(tst_ItemLinks)
#include "tst_ItemLinks.moc"
