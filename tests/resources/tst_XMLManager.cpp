#include "FileSizeLimit.h"
#include "OrvError.h"
#include "XMLManager.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A stored object that nests: it writes its value and a child of its own, and on loading reads them.
class Nested : public IXMLPersist
{
public:
    explicit Nested(int depth) : depth(depth) {}

    void Save(XMLManager& m) override
    {
        m.WriteProperty(QStringLiteral("Value"), value);
        if (depth > 0) {
            Nested child(depth - 1);
            child.value = value + QLatin1Char('+');
            m.Save(child, m.NewNode(QStringLiteral("Child")));
        }
    }
    void Load(XMLManager& m) override
    {
        value = m.ReadProperty(QStringLiteral("Value"), QStringLiteral("none"));
        m.SubNode(QStringLiteral("Scratch"));
        m.NewNode(QStringLiteral("Scratch2"));
        if (depth > 0) {
            Nested child(depth - 1);
            m.Restore(child, m.SubNode(QStringLiteral("Child")));
            loadedChild = child.value;
        }
        if (throwOnLoad)
            throw OrvError(OrvError::InvalidArgument, QStringLiteral("Nested"), QStringLiteral("boom"));
    }

    int depth;
    QString value = QStringLiteral("v");
    QString loadedChild;
    bool throwOnLoad = false;
};

// Reads "Key", and the "Name" of each "Item" of "List", as a stored collection does; an item without a
// name, or with one already read, is dropped and the loader told.
class Listing : public IXMLPersist
{
public:
    void Save(XMLManager&) override {}
    void Load(XMLManager& m) override
    {
        key = m.ReadProperty(QStringLiteral("Key"));
        m.Restore(items, m.SubNode(QStringLiteral("List")));
    }

    struct Name : IXMLPersist
    {
        void Save(XMLManager&) override {}
        void Load(XMLManager& m) override { value = m.ReadProperty(QStringLiteral("Name")); }
        QString value;
    };
    struct Items : IXMLPersist
    {
        void Save(XMLManager&) override {}
        void Load(XMLManager& m) override
        {
            for (const XmlElement& item : m.SelectNodes(QStringLiteral("Item"))) {
                Name name;
                m.Restore(name, item);
                if (name.value.isEmpty() || names.contains(name.value))
                    m.noteSkipped(QStringLiteral("Item \"%1\"").arg(name.value));
                else
                    names << name.value;
            }
        }
        QStringList names;
    };

    QString key;
    Items items;
};

} // namespace

class tst_XMLManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void freshManagerIsEmptyRoot()
    {
        QTemporaryDir dir;
        XMLManager m;
        QCOMPARE(m.Node().tagName(), QStringLiteral("Root"));
        m.SaveFile(dir.filePath(QStringLiteral("a.xml")));
        QCOMPARE(readAll(dir.filePath(QStringLiteral("a.xml"))), QByteArray("<Root/>"));
    }

    void properties()
    {
        XMLManager m;
        m.WriteProperty(QStringLiteral("Key"), QStringLiteral("first"));
        m.WriteProperty(QStringLiteral("Key"), QStringLiteral("second"));
        m.WriteProperty(QStringLiteral("Empty"), QString());
        QCOMPARE(m.SelectNodes(QStringLiteral("Key")).size(), 2);
        QCOMPARE(m.ReadProperty(QStringLiteral("Key")), QStringLiteral("first"));
        QCOMPARE(m.ReadProperty(QStringLiteral("Empty"), QStringLiteral("dflt")), QString());
        QCOMPARE(m.ReadProperty(QStringLiteral("Absent"), QStringLiteral("5")), QStringLiteral("5"));
        QCOMPARE(m.ReadProperty(QStringLiteral("Absent")), QString());
        // Names are exact: a different case is another element.
        QCOMPARE(m.ReadProperty(QStringLiteral("key"), QStringLiteral("x")), QStringLiteral("x"));
    }

    void subNewAndReplaceNode()
    {
        XMLManager m;
        const XmlElement a = m.SubNode(QStringLiteral("A"));
        QCOMPARE(m.SubNode(QStringLiteral("A")), a);
        m.NewNode(QStringLiteral("B"));
        m.NewNode(QStringLiteral("B"));
        QCOMPARE(m.SelectNodes(QStringLiteral("A")).size(), 1);
        QCOMPARE(m.SelectNodes(QStringLiteral("B")).size(), 2);

        // ReplaceNode drops the old subtree and appends an empty element after the other children.
        XmlElement old = m.SubNode(QStringLiteral("A"));
        old.appendElement(QStringLiteral("Inner"));
        const XmlElement fresh = m.ReplaceNode(QStringLiteral("A"));
        QVERIFY(!fresh.hasChildNodes());
        QCOMPARE(m.Node().lastChildElement().tagName(), QStringLiteral("A"));
        QCOMPARE(m.SelectNodes(QStringLiteral("A")).size(), 1);
        QCOMPARE(QString::fromUtf8(m.toBytes()), QStringLiteral("<Root><B/><B/><A/></Root>"));
    }

    void invalidNamesRaise_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("blank inside") << QStringLiteral("1 bad name");
        QTest::newRow("digit first") << QStringLiteral("9Lives");
        QTest::newRow("angle") << QStringLiteral("a<b");
    }
    void invalidNamesRaise()
    {
        QFETCH(QString, name);
        XMLManager m;
        QVERIFY_THROWS_EXCEPTION(OrvError, m.NewNode(name));
        QVERIFY_THROWS_EXCEPTION(OrvError, m.SubNode(name));
        QVERIFY_THROWS_EXCEPTION(OrvError, m.WriteProperty(name, QStringLiteral("v")));
        QCOMPARE(m.toBytes(), QByteArray("<Root/>"));
    }

    void nestingRestoresCursor()
    {
        XMLManager saver;
        Nested top(3);
        saver.Save(top, saver.NewNode(QStringLiteral("Top")));
        QCOMPARE(saver.Node().tagName(), QStringLiteral("Root"));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("n.xml"));
        saver.SaveFile(path);

        XMLManager loader;
        loader.LoadFile(path);
        const XmlElement before = loader.Node();
        Nested loaded(3);
        loader.Restore(loaded, loader.SubNode(QStringLiteral("Top")));
        QCOMPARE(loader.Node(), before);
        QCOMPARE(loaded.value, QStringLiteral("v"));
        QCOMPARE(loaded.loadedChild, QStringLiteral("v+"));

        // The cursor comes back also when the object's Load throws.
        Nested failing(0);
        failing.throwOnLoad = true;
        QVERIFY_THROWS_EXCEPTION(OrvError, loader.Restore(failing, loader.SubNode(QStringLiteral("Top"))));
        QCOMPARE(loader.Node(), before);
    }

    void loadFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("create");
        QTest::addColumn<XMLManager::LoadResult>("result");
        QTest::addColumn<QString>("value");
        using R = XMLManager::LoadResult;
        QTest::newRow("missing") << QByteArray() << false << R::Missing << QString();
        QTest::newRow("empty") << QByteArray() << true << R::Unreadable << QString();
        QTest::newRow("malformed") << QByteArray("<Root><Key>v</Root>") << true << R::Unreadable << QString();
        QTest::newRow("truncated") << QByteArray("<Root><Key>value</Key><Oth") << true << R::Unreadable
                                   << QString();
        QTest::newRow("foreign top element")
            << QByteArray("<Other><Key>v</Key></Other>") << true << R::Unreadable << QString();
        QTest::newRow("good") << QByteArray("<Root><Key>value</Key></Root>") << true << R::Loaded
                              << QStringLiteral("value");
        // Root is the first level: MaxDepth - 1 levels below it still read, one more does not.
        auto nested = [](int levels) -> QByteArray {
            return "<Root><Key>value</Key>" + QByteArray("<a>").repeated(levels) +
                   QByteArray("</a>").repeated(levels) + "</Root>";
        };
        QTest::newRow("nested to the limit")
            << nested(XMLManager::MaxDepth - 1) << true << R::Loaded << QStringLiteral("value");
        QTest::newRow("nested past the limit")
            << nested(XMLManager::MaxDepth) << true << R::Unreadable << QString();
        // A document type's entity can hold elements that the text does not show: they count as well.
        auto throughEntity = [](int levels) -> QByteArray {
            const int inEntity = levels / 2;
            return "<!DOCTYPE Root [<!ENTITY e \"" + QByteArray("<a>").repeated(inEntity) +
                   QByteArray("</a>").repeated(inEntity) + "\">]><Root><Key>value</Key>" +
                   QByteArray("<a>").repeated(levels - inEntity) + "&e;" +
                   QByteArray("</a>").repeated(levels - inEntity) + "</Root>";
        };
        QTest::newRow("nested to the limit through an entity")
            << throughEntity(XMLManager::MaxDepth - 1) << true << R::Loaded << QStringLiteral("value");
        QTest::newRow("nested past the limit through an entity")
            << throughEntity(XMLManager::MaxDepth) << true << R::Unreadable << QString();
    }
    void loadFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, create);
        QFETCH(XMLManager::LoadResult, result);
        QFETCH(QString, value);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("state.xml"));
        if (create)
            writeAll(path, content);

        XMLManager m;
        m.LoadFile(path);
        QCOMPARE(m.lastLoad(), result);
        QCOMPARE(m.Node().tagName(), QStringLiteral("Root"));
        QCOMPARE(m.ReadProperty(QStringLiteral("Key")), value);

        // A save without a name goes to the loaded file's name.
        m.WriteProperty(QStringLiteral("Saved"), QStringLiteral("yes"));
        m.SaveFile();
        XMLManager again;
        again.LoadFile(path);
        QCOMPARE(again.lastLoad(), XMLManager::LoadResult::Loaded);
        QCOMPARE(again.ReadProperty(QStringLiteral("Saved")), QStringLiteral("yes"));
    }

    // What the stored objects did not take of a file that read: whatever the next save would not write.
    void skippedOnLoad_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("skipped");
        const QByteArray list = "<List><Item><Name>a</Name></Item><Item><Name>b</Name></Item></List>";
        QTest::newRow("all taken") << "<Root><Key>v</Key>" + list + "</Root>" << QStringList();
        QTest::newRow("nothing in it") << QByteArray("<Root/>") << QStringList();
        QTest::newRow("markup inside a value, read as its text")
            << "<Root><Key>v<b>w</b></Key>" + list + "</Root>" << QStringList();
        QTest::newRow("nested Root") << "<Root><Root><Key>v</Key>" + list + "</Root></Root>"
                                     << QStringList{"Root/Root"};
        QTest::newRow("second block")
            << "<Root><Key>v</Key>" + list + list + "</Root>" << QStringList{"Root/List"};
        QTest::newRow("second value")
            << "<Root><Key>v</Key><Key>w</Key>" + list + "</Root>" << QStringList{"Root/Key"};
        QTest::newRow("unknown element, once with what is inside")
            << "<Root><Key>v</Key><Wishes><Item><Name>c</Name></Item></Wishes>" + list + "</Root>"
            << QStringList{"Root/Wishes"};
        QTest::newRow("unknown inside a member")
            << QByteArray("<Root><Key>v</Key><List><Item><Name>a</Name><Price>5</Price></Item></List></Root>")
            << QStringList{"Root/List/Item/Price"};
        QTest::newRow("member dropped by its reader")
            << QByteArray("<Root><Key>v</Key><List><Item><Name>a</Name></Item><Item><Name>a</Name></Item>"
                          "<Item/></List></Root>")
            << QStringList{"Item \"a\"", "Item \"\""};
        QTest::newRow("unreadable: nothing was taken, nothing is listed")
            << QByteArray("<Root><Key>v</Root>") << QStringList();
    }
    void skippedOnLoad()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, skipped);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("state.xml"));
        writeAll(path, content);

        XMLManager m;
        m.LoadFile(path);
        Listing listing;
        m.Restore(listing, m.Node());
        QCOMPARE(m.skippedOnLoad(), skipped);
        // A second load starts afresh.
        writeAll(path, "<Root><Key>v</Key></Root>");
        m.LoadFile(path);
        m.Restore(listing, m.Node());
        QCOMPARE(m.skippedOnLoad(), QStringList());
    }

    // Nothing but a regular file is read: a pipe would wait for a writer, a device may never end.
    void onlyRegularFilesAreRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("pipe") << QStringLiteral("pipe");
        QTest::newRow("folder") << QStringLiteral("folder");
        QTest::newRow("link to a device") << QStringLiteral("device");
        QTest::newRow("link to nothing") << QStringLiteral("dangling");
    }
    void onlyRegularFilesAreRead()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("state.xml"));
        if (kind == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(path));
        else if (kind == QLatin1String("device"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        else
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), path));

        XMLManager m;
        m.LoadFile(path);
        QCOMPARE(m.lastLoad(), XMLManager::LoadResult::Unreadable);
        QCOMPARE(m.toBytes(), QByteArray("<Root/>"));
    }

    void saveWithoutNameRaises()
    {
        XMLManager m;
        QVERIFY_THROWS_EXCEPTION(OrvError, m.SaveFile());
    }

    void awkwardTextsRoundTrip_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("read");
        QTest::newRow("markup") << QStringLiteral("a & b < c > d \" e ' f")
                                << QStringLiteral("a & b < c > d \" e ' f");
        QTest::newRow("non-ascii") << QStringLiteral("Zürich €5 日本") << QStringLiteral("Zürich €5 日本");
        QTest::newRow("outer blanks") << QStringLiteral("  padded  ") << QStringLiteral("  padded  ");
        QTest::newRow("line feed") << QStringLiteral("one\ntwo") << QStringLiteral("one\ntwo");
        QTest::newRow("controls dropped")
            << QStringLiteral("bad\x01\x02text\x1f") << QStringLiteral("badtext");
        QTest::newRow("non-characters dropped")
            << (QStringLiteral("a") + QChar(0xFFFE) + QChar(0xFFFF) + QStringLiteral("b"))
            << QStringLiteral("ab");
        QTest::newRow("lone surrogate dropped")
            << (QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y")) << QStringLiteral("xy");
        QTest::newRow("surrogate pair kept")
            << QString::fromUtf8("\xF0\x9F\x94\xA8 hammer") << QString::fromUtf8("\xF0\x9F\x94\xA8 hammer");
    }
    void awkwardTextsRoundTrip()
    {
        QFETCH(QString, written);
        QFETCH(QString, read);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.xml"));
        XMLManager m;
        m.WriteProperty(QStringLiteral("Text"), written);
        m.SaveFile(path);

        XMLManager loader;
        loader.LoadFile(path);
        QCOMPARE(loader.lastLoad(), XMLManager::LoadResult::Loaded);
        QCOMPARE(loader.ReadProperty(QStringLiteral("Text")), read);
    }

    void saveIsOwnerOnlyAndAtomic()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("state.xml"));
        writeAll(path, "<Root><Old>1</Old></Root>");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);

        XMLManager m;
        m.WriteProperty(QStringLiteral("New"), QStringLiteral("2"));
        m.SaveFile(path);
        struct stat info = {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0600));
        QCOMPARE(readAll(path), QByteArray("<Root><New>2</New></Root>"));

        // A save that breaks off half-way (here: the file-size limit, as on a full disk) leaves the old
        // file whole and reports the failure.
        bool threw = false;
        {
            FileSizeLimit limit(64);
            XMLManager failing;
            failing.WriteProperty(QStringLiteral("Lost"), QString(500, QLatin1Char('x')));
            try {
                failing.SaveFile(path);
            } catch (const OrvError&) {
                threw = true;
            }
        }
        QVERIFY(threw);
        QCOMPARE(readAll(path), QByteArray("<Root><New>2</New></Root>"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    }

    void saveToMissingFolderFails()
    {
        QTemporaryDir dir;
        XMLManager m;
        QVERIFY_THROWS_EXCEPTION(OrvError, m.SaveFile(dir.filePath(QStringLiteral("no/such/folder/a.xml"))));
    }
};

QTEST_GUILESS_MAIN(tst_XMLManager)
#include "tst_XMLManager.moc"
