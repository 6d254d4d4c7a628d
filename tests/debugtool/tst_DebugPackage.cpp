// Packing a debug package from a data folder: the state file goes in without the site password and
// otherwise byte for byte, the asked-for bid pages go in as they are, and every failure leaves no
// package and says why.
#include "DebugPackage.h"
#include "FileSizeLimit.h"
#include "PackageContents.h"
#include "StateFileCopy.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <unistd.h>

class tst_DebugPackage;
Q_DECLARE_METATYPE(std::function<void(tst_DebugPackage&)>)

namespace {

// A state file as the main program writes it, with a password, text beyond ASCII before it and the
// line ends of a file edited elsewhere.
const QByteArray stateWithPassword =
    "<Root>\r\n<Clock><Variance>-28800</Variance></Clock>\r\n"
    "<Categorys><Category><Name>B\xC3\xBC"
    "cher \xF0\x9F\x93\x9A</Name></Category></Categorys>\n"
    "<Settings><Username>demo-buyer</Username><Password>s3cr&amp;t \xC3\xA9</Password>"
    "<ConfirmBid>True</ConfirmBid></Settings>\n</Root>\n";
const QByteArray stateWithoutPassword = "<Root>\r\n<Clock><Variance>-28800</Variance></Clock>\r\n"
                                        "<Categorys><Category><Name>B\xC3\xBC"
                                        "cher \xF0\x9F\x93\x9A</Name></Category></Categorys>\n"
                                        "<Settings><Username>demo-buyer</Username><Password></Password>"
                                        "<ConfirmBid>True</ConfirmBid></Settings>\n</Root>\n";

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(size);
    for (char& c : bytes)
        c = char(generator.bounded(256));
    return bytes;
}

} // namespace

class tst_DebugPackage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_data.reset(new QTemporaryDir);
        m_elsewhere.reset(new QTemporaryDir);
        QVERIFY(m_data->isValid() && m_elsewhere->isValid());
    }

    // The password's text goes; every other byte stays, whatever surrounds it.
    void passwordTakenOut_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QByteArray>("packed");

        QTest::newRow("plain text, entities and CDATA")
            << QByteArray("<Root><Settings><Password>a&lt;b<![CDATA[<x>]]>c</Password></Settings></Root>")
            << QByteArray("<Root><Settings><Password></Password></Settings></Root>");
        QTest::newRow("byte-order mark and text beyond ASCII before it")
            << QByteArray("\xEF\xBB\xBF<Root><A>\xC3\xA9\xF0\x9F\x98\x80</A><Settings><Password>\xE2\x82\xAC"
                          "pw</Password><X/></Settings></Root>")
            << QByteArray("\xEF\xBB\xBF<Root><A>\xC3\xA9\xF0\x9F\x98\x80</A><Settings><Password></Password>"
                          "<X/></Settings></Root>");
        QTest::newRow("declaration, spaces in the tags, a comment that looks like a password")
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root >\n <Settings a=\"1\">"
                          "<!-- <Password>old</Password> -->\n  <Password  > pw\n</Password >\n"
                          "</Settings>\n</Root>")
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root >\n <Settings a=\"1\">"
                          "<!-- <Password>old</Password> -->\n  <Password  ></Password >\n"
                          "</Settings>\n</Root>");
        QTest::newRow("every Settings element of the document element")
            << QByteArray("<Root><Settings><Password>one</Password></Settings>"
                          "<Settings><Password>two</Password></Settings></Root>")
            << QByteArray("<Root><Settings><Password></Password></Settings>"
                          "<Settings><Password></Password></Settings></Root>");
        QTest::newRow("already empty")
            << QByteArray("<Root><Settings><Password/><Password></Password></Settings></Root>")
            << QByteArray("<Root><Settings><Password/><Password></Password></Settings></Root>");
        QTest::newRow("a Password element elsewhere is not the password")
            << QByteArray("<Root><Auction><Password>keep</Password></Auction>"
                          "<Other><Settings><Password>keep</Password></Settings></Other></Root>")
            << QByteArray("<Root><Auction><Password>keep</Password></Auction>"
                          "<Other><Settings><Password>keep</Password></Settings></Other></Root>");
    }

    void passwordTakenOut()
    {
        QFETCH(QByteArray, state);
        QFETCH(QByteArray, packed);
        QString why;
        const std::optional<QByteArray> copy = StateFileCopy::withoutPassword(state, why);
        QVERIFY2(copy.has_value(), qPrintable(why));
        QCOMPARE(*copy, packed);
    }

    // Where the password cannot be found for certain, no copy is made at all.
    void passwordNotFoundForCertain_data()
    {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QString>("reason");

        QTest::newRow("cut off") << QByteArray("<Root><Settings><Password>pw</Password>")
                                 << QStringLiteral("not well-formed");
        QTest::newRow("not XML") << QByteArray("pw") << QStringLiteral("not well-formed");
        QTest::newRow("document type with entities")
            << QByteArray("<!DOCTYPE Root [<!ENTITY p \"pw\">]><Root><Settings><Password>&p;</Password>"
                          "</Settings></Root>")
            << QStringLiteral("document type");
        QTest::newRow("another encoding")
            << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><Root><Settings><Password>\xE9"
                          "</Password></Settings></Root>")
            << QStringLiteral("not UTF-8");
        QTest::newRow("bytes that are no UTF-8")
            << QByteArray("<Root><Settings><Password>\xFF\xFE</Password></Settings></Root>")
            << QStringLiteral("not UTF-8");
    }

    void passwordNotFoundForCertain()
    {
        QFETCH(QByteArray, state);
        QFETCH(QString, reason);
        QString why;
        QVERIFY(!StateFileCopy::withoutPassword(state, why).has_value());
        QVERIFY2(why.contains(reason), qPrintable(why));
    }

    // The package holds the state file without the password and exactly the pages asked for that
    // exist, in the order asked, under names that hold none of the user's folders.
    void packsStateFileAndAskedPages()
    {
        writeFile(data("auctions.xml"), stateWithPassword);
        writeFile(data("Sent Snipes/100.html"), "<html>hundred</html>");
        writeFile(data("Sent Snipes/200.html"), "<html>two \xC3\xA9</html>");
        writeFile(data("Sent Snipes/300.html"), "<html>not asked</html>");

        const QString target = m_elsewhere->filePath(QStringLiteral("package.zip"));
        const DebugPackage::Outcome outcome =
            DebugPackage(m_data->path()).write(target, {"200", "999", "100"});
        QVERIFY2(outcome.written, qPrintable(outcome.reason));

        const PackageContents package(target);
        QVERIFY(package.readable());
        QCOMPARE(package.names(),
                 QStringList({"auctions.xml", "Sent Snipes/200.html", "Sent Snipes/100.html"}));
        QCOMPARE(package.entry("auctions.xml"), stateWithoutPassword);
        QCOMPARE(package.entry("Sent Snipes/200.html"), QByteArray("<html>two \xC3\xA9</html>"));
        QCOMPARE(package.entry("Sent Snipes/100.html"), QByteArray("<html>hundred</html>"));
        // The data folder is only read.
        QCOMPARE(readFile(data("auctions.xml")), stateWithPassword);
    }

    void noPagesGivesStateFileOnly()
    {
        writeFile(data("auctions.xml"), stateWithPassword);
        const QString target = m_elsewhere->filePath(QStringLiteral("package.zip"));
        const DebugPackage::Outcome outcome = DebugPackage(m_data->path()).write(target, {});
        QVERIFY2(outcome.written, qPrintable(outcome.reason));
        QCOMPARE(PackageContents(target).names(), QStringList({"auctions.xml"}));
    }

    // 99 pages and the state file fill one package; a hundredth page is refused before anything is read.
    void pageLimit()
    {
        writeFile(data("auctions.xml"), stateWithPassword);
        QStringList items;
        for (int i = 1; i <= 100; ++i) {
            items.append(QString::number(1000 + i));
            writeFile(data(QStringLiteral("Sent Snipes/%1.html").arg(1000 + i)), QByteArray::number(i));
        }
        const QString target = m_elsewhere->filePath(QStringLiteral("package.zip"));
        const DebugPackage package(m_data->path());

        const DebugPackage::Outcome ninetyNine = package.write(target, items.mid(0, 99));
        QVERIFY2(ninetyNine.written, qPrintable(ninetyNine.reason));
        const PackageContents written(target);
        QCOMPARE(written.names().size(), 100);
        QCOMPARE(written.entry("Sent Snipes/1099.html"), QByteArray("99"));

        QVERIFY(QFile::remove(target));
        const DebugPackage::Outcome hundred = package.write(target, items);
        QVERIFY(!hundred.written);
        QVERIFY2(hundred.reason.contains("100 of the ticked auctions have a bid page"),
                 qPrintable(hundred.reason));
        QVERIFY(!QFile::exists(target));
    }

    // Each failure writes no package and gives its reason; none is taken for success.
    void failures_data()
    {
        QTest::addColumn<std::function<void(tst_DebugPackage&)>>("prepare");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");

        using Prepare = std::function<void(tst_DebugPackage&)>;
        const Prepare state = [](tst_DebugPackage& t) {
            writeFile(t.data("auctions.xml"), stateWithPassword);
        };
        const QString target = QStringLiteral("package.zip");

        QTest::newRow("no state file")
            << Prepare([](tst_DebugPackage& t) { writeFile(t.data("Sent Snipes/100.html"), "page"); })
            << QStringList{"100"} << target << QStringLiteral("\"auctions.xml\" could not be read");
        QTest::newRow("nothing at all to pack")
            << Prepare([](tst_DebugPackage&) {}) << QStringList() << target
            << QStringLiteral("\"auctions.xml\" could not be read");
        QTest::newRow("state file whose password cannot be found") << Prepare([](tst_DebugPackage& t) {
            writeFile(t.data("auctions.xml"), "<Root><Settings><Password>pw");
        }) << QStringList() << target << QStringLiteral("password could not be taken out");
        QTest::newRow("state file linked out of the data folder") << Prepare([](tst_DebugPackage& t) {
            writeFile(t.outside("auctions.xml"), stateWithPassword);
            QVERIFY(QFile::link(t.outside("auctions.xml"), t.data("auctions.xml")));
        }) << QStringList() << target << QStringLiteral("leads out of the data folder");
        QTest::newRow("bid page that is a folder") << Prepare([state](tst_DebugPackage& t) {
            state(t);
            QVERIFY(QDir().mkpath(t.data("Sent Snipes/100.html")));
        }) << QStringList{"100"} << target << QStringLiteral("\"Sent Snipes/100.html\" is not a plain file");
        QTest::newRow("bid page linked out of the data folder") << Prepare([state](tst_DebugPackage& t) {
            state(t);
            writeFile(t.outside("secret.txt"), "not a page");
            QDir().mkpath(t.data("Sent Snipes"));
            QVERIFY(QFile::link(t.outside("secret.txt"), t.data("Sent Snipes/100.html")));
        }) << QStringList{"100"} << target << QStringLiteral("\"Sent Snipes/100.html\" is a link");
        QTest::newRow("bid page folder linked out of the data folder")
            << Prepare([state](tst_DebugPackage& t) {
                   state(t);
                   writeFile(t.outside("pages/100.html"), "not ours");
                   QVERIFY(QFile::link(t.outside("pages"), t.data("Sent Snipes")));
               })
            << QStringList{"100"} << target << QStringLiteral("\"Sent Snipes\" is a link");
        QTest::newRow("bid page folder that is a plain file")
            << Prepare([state](tst_DebugPackage& t) {
                   state(t);
                   writeFile(t.data("Sent Snipes"), "x");
               })
            << QStringList{"100"} << target
            << QStringLiteral("\"Sent Snipes\" could not be read: it is not a folder");
        QTest::newRow("item number that is a path")
            << state << QStringList{"../auctions"} << target
            << QStringLiteral("\"../auctions\" is not an item number");
        QTest::newRow("target below a plain file") << Prepare([state](tst_DebugPackage& t) {
            state(t);
            writeFile(t.outside("plain"), "x");
        }) << QStringList() << QStringLiteral("plain/package.zip")
                                                   << QStringLiteral("could not create output file");
    }

    void failures()
    {
        QFETCH(std::function<void(tst_DebugPackage&)>, prepare);
        QFETCH(QStringList, items);
        QFETCH(QString, target);
        QFETCH(QString, reason);
        prepare(*this);
        if (QTest::currentTestFailed())
            return;

        const QString path = outside(target);
        const DebugPackage::Outcome outcome = DebugPackage(m_data->path()).write(path, items);
        QVERIFY(!outcome.written);
        QVERIFY2(outcome.reason.contains(reason), qPrintable(outcome.reason));
        QVERIFY(!QFileInfo::exists(path));
        // Nothing of the half-made package is left beside the target either.
        QCOMPARE(QDir(m_elsewhere->path()).entryList({"*.zip*", ".*.zip*"}, QDir::Files | QDir::Hidden),
                 QStringList());
    }

    // No link and no other name of the state file or of a copy of it brings the password into a
    // package: such a page is refused by its name. A link that leads nowhere is no saved page.
    void pagesThatCouldCarryThePassword_data()
    {
        QTest::addColumn<std::function<void(tst_DebugPackage&)>>("prepare");
        QTest::addColumn<QStringList>("packed"); // the package's names when it is written
        QTest::addColumn<QString>("reason");     // why it is not, otherwise

        using Prepare = std::function<void(tst_DebugPackage&)>;
        const auto linkedTo = [](const QString& file) {
            return Prepare([file](tst_DebugPackage& t) {
                QVERIFY(QFile::link(t.data(file), t.data("Sent Snipes/100.html")));
            });
        };
        const auto hardLinkedTo = [](const QString& file) {
            return Prepare([file](tst_DebugPackage& t) {
                QCOMPARE(::link(QFile::encodeName(t.data(file)).constData(),
                                QFile::encodeName(t.data("Sent Snipes/100.html")).constData()),
                         0);
            });
        };
        const QStringList stateOnly{"auctions.xml"};
        const QStringList withPage{"auctions.xml", "Sent Snipes/100.html"};
        const QString isALink = QStringLiteral("\"Sent Snipes/100.html\" is a link");
        const auto sameFile = [](const QString& file) {
            return QStringLiteral("\"Sent Snipes/100.html\" is the file \"%1\" under another name").arg(file);
        };

        QTest::newRow("a plain page") << Prepare([](tst_DebugPackage& t) {
            writeFile(t.data("Sent Snipes/100.html"), "<html>page</html>");
        }) << withPage << QString();
        QTest::newRow("no page") << Prepare([](tst_DebugPackage&) {}) << stateOnly << QString();
        QTest::newRow("no page folder")
            << Prepare([](tst_DebugPackage& t) { QVERIFY(QDir(t.data("Sent Snipes")).removeRecursively()); })
            << stateOnly << QString();
        QTest::newRow("a link that leads nowhere") << Prepare([](tst_DebugPackage& t) {
            QVERIFY(QFile::link(t.data("gone.html"), t.data("Sent Snipes/100.html")));
        }) << stateOnly << QString();
        QTest::newRow("a link to auctions.xml") << linkedTo("auctions.xml") << QStringList() << isALink;
        QTest::newRow("a link to auctions.xml.bak")
            << linkedTo("auctions.xml.bak") << QStringList() << isALink;
        QTest::newRow("a link to another page") << Prepare([](tst_DebugPackage& t) {
            writeFile(t.data("Sent Snipes/200.html"), "<html>other</html>");
            QVERIFY(QFile::link(t.data("Sent Snipes/200.html"), t.data("Sent Snipes/100.html")));
        }) << QStringList() << isALink;
        QTest::newRow("a hard link to auctions.xml")
            << hardLinkedTo("auctions.xml") << QStringList() << sameFile("auctions.xml");
        QTest::newRow("a hard link to auctions.xml.bak")
            << hardLinkedTo("auctions.xml.bak") << QStringList() << sameFile("auctions.xml.bak");
        QTest::newRow("a hard link to a kept unreadable copy")
            << hardLinkedTo("auctions.xml.unreadable-20250102-030405") << QStringList()
            << sameFile("auctions.xml.unreadable-20250102-030405");
        QTest::newRow("a hard link to a file a kept copy's name leads to")
            << Prepare([](tst_DebugPackage& t) {
                   writeFile(t.data("old/state.xml"), stateWithPassword);
                   QVERIFY(QFile::link(t.data("old/state.xml"), t.data("auctions.xml.kept")));
                   QCOMPARE(::link(QFile::encodeName(t.data("old/state.xml")).constData(),
                                   QFile::encodeName(t.data("Sent Snipes/100.html")).constData()),
                            0);
               })
            << QStringList() << sameFile("auctions.xml.kept");
        QTest::newRow("a hard link to a state file a save has since replaced")
            << Prepare([](tst_DebugPackage& t) {
                   QCOMPARE(::link(QFile::encodeName(t.data("auctions.xml")).constData(),
                                   QFile::encodeName(t.data("Sent Snipes/100.html")).constData()),
                            0);
                   writeFile(t.data("auctions.xml.new"), stateWithPassword);
                   QVERIFY(::rename(QFile::encodeName(t.data("auctions.xml.new")).constData(),
                                    QFile::encodeName(t.data("auctions.xml")).constData()) == 0);
                   QVERIFY(QFile::remove(t.data("auctions.xml.bak")));
               })
            << QStringList() << QStringLiteral("\"Sent Snipes/100.html\" is a state file with a password");
        QTest::newRow("the page folder as a link to a folder inside") << Prepare([](tst_DebugPackage& t) {
            QVERIFY(QDir(t.data("Sent Snipes")).removeRecursively());
            writeFile(t.data("pages/100.html"), stateWithPassword);
            QVERIFY(QFile::link(t.data("pages"), t.data("Sent Snipes")));
        }) << QStringList() << QStringLiteral("\"Sent Snipes\" is a link");
    }

    void pagesThatCouldCarryThePassword()
    {
        QFETCH(std::function<void(tst_DebugPackage&)>, prepare);
        QFETCH(QStringList, packed);
        QFETCH(QString, reason);
        writeFile(data("auctions.xml"), stateWithPassword);
        writeFile(data("auctions.xml.bak"), stateWithPassword);
        writeFile(data("auctions.xml.unreadable-20250102-030405"), stateWithPassword);
        QVERIFY(QDir().mkpath(data("Sent Snipes")));
        prepare(*this);
        if (QTest::currentTestFailed())
            return;

        const QString target = outside("package.zip");
        const DebugPackage::Outcome outcome = DebugPackage(m_data->path()).write(target, {"100"});
        if (!reason.isEmpty()) {
            QVERIFY(!outcome.written);
            QVERIFY2(outcome.reason.contains(reason), qPrintable(outcome.reason));
            QVERIFY(!QFileInfo::exists(target));
            return;
        }
        QVERIFY2(outcome.written, qPrintable(outcome.reason));
        const PackageContents package(target);
        QCOMPARE(package.names(), packed);
        for (const QString& name : package.names())
            QVERIFY2(!package.entry(name).contains("s3cr&amp;t"), qPrintable(name));
    }

    // A disk that fills while the archive is written fails the package and keeps the one there before.
    void fullDiskKeepsThePackageBefore()
    {
        writeFile(data("auctions.xml"), stateWithPassword);
        QStringList items;
        for (int i = 1; i <= 3; ++i) {
            items.append(QString::number(i));
            writeFile(data(QStringLiteral("Sent Snipes/%1.html").arg(i)), randomBytes(30000 + i));
        }
        const QString target = outside("package.zip");
        writeFile(target, "the package before");

        DebugPackage::Outcome outcome;
        {
            // Each page fits on its own; the archive of all three does not.
            const FileSizeLimit limit(60000);
            outcome = DebugPackage(m_data->path()).write(target, items);
        }
        QVERIFY(!outcome.written);
        QVERIFY2(outcome.reason.contains("zip error"), qPrintable(outcome.reason));
        QCOMPARE(readFile(target), QByteArray("the package before"));
    }

private:
    QString data(const QString& name) const { return m_data->filePath(name); }
    QString outside(const QString& name) const { return m_elsewhere->filePath(name); }
    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<QTemporaryDir> m_data;
    std::unique_ptr<QTemporaryDir> m_elsewhere;
};

QTEST_GUILESS_MAIN(tst_DebugPackage)
#include "tst_DebugPackage.moc"
