#include "OrvError.h"
#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

const QString section = QStringLiteral("Software\\Auction Orv\\Test");

Registry at(ERegistryClassConstants root, const QString& path, const QString& name = QString(),
            ERegistryValueTypes type = REG_NONE)
{
    Registry registry;
    registry.ClassKey = root;
    registry.SectionKey = path;
    registry.ValueKey = name;
    registry.ValueType = type;
    return registry;
}

QString readText(ERegistryClassConstants root, const QString& path)
{
    return at(root, path).Value().toString();
}

} // namespace

class tst_Registry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ORV_REGISTRY_TEST_DIR", "/srv/orv"); }

    void init()
    {
        m_config = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_config->path().toUtf8());
        m_storeFile = RegistryStore::defaultFilePath();
        QVERIFY(m_storeFile.startsWith(m_config->path()));
    }

    void valuesOfEveryTypeSurviveANewStore_data()
    {
        QTest::addColumn<ERegistryValueTypes>("writeType");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<ERegistryValueTypes>("readType");
        QTest::addColumn<QVariant>("expected");

        QTest::newRow("text") << REG_SZ << QVariant(QStringLiteral("Auction Orv")) << REG_SZ
                              << QVariant(QStringLiteral("Auction Orv"));
        QTest::newRow("non-ASCII text") << REG_SZ << QVariant(QStringLiteral("Zürich – 東京")) << REG_SZ
                                        << QVariant(QStringLiteral("Zürich – 東京"));
        QTest::newRow("empty text") << REG_SZ << QVariant(QString()) << REG_SZ << QVariant(QString());
        QTest::newRow("variable makes it expandable")
            << REG_SZ << QVariant(QStringLiteral("%ORV_REGISTRY_TEST_DIR%/bin")) << REG_EXPAND_SZ
            << QVariant(QStringLiteral("/srv/orv/bin"));
        QTest::newRow("one percent stays plain")
            << REG_SZ << QVariant(QStringLiteral("50% off")) << REG_SZ << QVariant(QStringLiteral("50% off"));
        QTest::newRow("adjacent percents stay plain") << REG_EXPAND_SZ << QVariant(QStringLiteral("100%%"))
                                                      << REG_SZ << QVariant(QStringLiteral("100%%"));
        QTest::newRow("unset variable is kept")
            << REG_EXPAND_SZ << QVariant(QStringLiteral("a%ORV_REGISTRY_UNSET%b")) << REG_EXPAND_SZ
            << QVariant(QStringLiteral("a%ORV_REGISTRY_UNSET%b"));
        QTest::newRow("bytes") << REG_BINARY << QVariant(QByteArray("\x00\x01\xff\x00", 4)) << REG_BINARY
                               << QVariant(QByteArray("\x00\x01\xff\x00", 4));
        QTest::newRow("dword") << REG_DWORD << QVariant(qint32(-5)) << REG_DWORD << QVariant(qint32(-5));
        QTest::newRow("dword from a small unsigned")
            << REG_DWORD << QVariant(quint32(7)) << REG_DWORD << QVariant(qint32(7));
        QTest::newRow("big-endian type is written little-endian")
            << REG_DWORD_BIG_ENDIAN << QVariant(qint32(0x01020304)) << REG_DWORD
            << QVariant(qint32(0x01020304));
    }
    void valuesOfEveryTypeSurviveANewStore()
    {
        QFETCH(ERegistryValueTypes, writeType);
        QFETCH(QVariant, value);
        QFETCH(ERegistryValueTypes, readType);
        QFETCH(QVariant, expected);

        at(HKEY_CURRENT_USER, section, QStringLiteral("Name"), writeType).setValue(value);

        // A new object reads the file afresh, as another process would.
        Registry reader = at(HKEY_CURRENT_USER, section, QStringLiteral("Name"));
        const QVariant read = reader.Value();
        QCOMPARE(reader.ValueType, readType);
        QCOMPARE(read, expected);
    }

    void aDwordStoredBigEndianReadsReversed()
    {
        // Only a file written elsewhere can hold this type: the bytes are read most significant first.
        writeStoreFile(R"({"HKEY_CURRENT_USER": {"values": [], "keys": [
            {"name": "Software", "keys": [], "values": [{"name": "Big", "type": 5, "data": "AQIDBA=="}]}]}})");
        Registry reader = at(HKEY_CURRENT_USER, QStringLiteral("Software"), QStringLiteral("Big"));
        QCOMPARE(reader.Value(), QVariant(qint32(0x01020304)));
        QCOMPARE(reader.ValueType, REG_DWORD_BIG_ENDIAN);
    }

    void whatIsMissingReadsAsTheDefault_data()
    {
        QTest::addColumn<ERegistryClassConstants>("root");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("missing key") << HKEY_CURRENT_USER << QStringLiteral("Software\\Nowhere") << QString();
        QTest::newRow("missing value") << HKEY_CURRENT_USER << section << QStringLiteral("Other");
        QTest::newRow("missing default value") << HKEY_CURRENT_USER << section << QString();
        QTest::newRow("same path, other root") << HKEY_LOCAL_MACHINE << section << QStringLiteral("Name");
        QTest::newRow("no root key") << ERegistryClassConstants(0) << section << QStringLiteral("Name");
    }
    void whatIsMissingReadsAsTheDefault()
    {
        QFETCH(ERegistryClassConstants, root);
        QFETCH(QString, path);
        QFETCH(QString, name);
        at(HKEY_CURRENT_USER, section, QStringLiteral("Name"), REG_SZ).setValue(QStringLiteral("there"));

        Registry reader = at(root, path, name, REG_BINARY);
        reader.Default = QStringLiteral("fallback");
        QCOMPARE(reader.Value(), QVariant(QStringLiteral("fallback")));
        QCOMPARE(reader.ValueType, REG_BINARY);
    }

    void refusedWritesRaiseAndWriteNothing_data()
    {
        QTest::addColumn<ERegistryClassConstants>("root");
        QTest::addColumn<ERegistryValueTypes>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("description");

        const QString setText = QStringLiteral("Failed to set registry value Key: '-2147483647',Section: "
                                               "'Software\\Auction Orv\\Test',Key: 'Name' "
                                               "to value: '%1'");
        const QString registrySource = QStringLiteral("tmresources.Registry");
        QTest::newRow("no type") << HKEY_CURRENT_USER << REG_NONE << QVariant(QStringLiteral("x"))
                                 << Registry::ErrSetValue << registrySource
                                 << setText.arg(QStringLiteral("x"));
        QTest::newRow("dword given text")
            << HKEY_CURRENT_USER << REG_DWORD << QVariant(QStringLiteral("12")) << Registry::ErrSetValue
            << registrySource << setText.arg(QStringLiteral("12"));
        QTest::newRow("dword given a fraction")
            << HKEY_CURRENT_USER << REG_DWORD << QVariant(12.5) << Registry::ErrSetValue << registrySource
            << setText.arg(QStringLiteral("12.5"));
        QTest::newRow("dword too large")
            << HKEY_CURRENT_USER << REG_DWORD << QVariant(qint64(1) << 40) << Registry::ErrSetValue
            << registrySource << setText.arg(QStringLiteral("1099511627776"));
        QTest::newRow("type the store cannot write")
            << HKEY_CURRENT_USER << REG_LINK << QVariant(QStringLiteral("x")) << Registry::ErrSetValue
            << registrySource << setText.arg(QStringLiteral("x"));
        QTest::newRow("binary given text")
            << HKEY_CURRENT_USER << REG_BINARY << QVariant(QStringLiteral("x")) << Registry::ErrRegistry
            << QStringLiteral("tmresources") << QStringLiteral("Application-defined or object-defined error");
        QTest::newRow("no root key") << ERegistryClassConstants(0) << REG_SZ << QVariant(QStringLiteral("x"))
                                     << Registry::ErrRegistry << registrySource
                                     << QStringLiteral(
                                            "Failed to set registry value Key: '0',Section: "
                                            "'Software\\Auction Orv\\Test',Key: 'Name' to value: 'x'");
    }
    void refusedWritesRaiseAndWriteNothing()
    {
        QFETCH(ERegistryClassConstants, root);
        QFETCH(ERegistryValueTypes, type);
        QFETCH(QVariant, value);
        QFETCH(int, number);
        QFETCH(QString, source);
        QFETCH(QString, description);

        Registry writer = at(root, section, QStringLiteral("Name"), type);
        try {
            writer.setValue(value);
            QFAIL("the write was reported as done");
        } catch (const OrvError& error) {
            QCOMPARE(error.number(), number);
            QCOMPARE(error.source(), source);
            QCOMPARE(error.description(), description);
        }
        Registry reader = at(root, section, QStringLiteral("Name"));
        QVERIFY(!reader.Value().isValid());
    }

    void keyPathsAndValueNamesIgnoreLetterCase()
    {
        at(HKEY_CURRENT_USER, QStringLiteral("Software\\Orv\\Sub"), QStringLiteral("Path"), REG_SZ)
            .setValue(QStringLiteral("first"));
        at(HKEY_CURRENT_USER, QStringLiteral("\\SOFTWARE\\orv\\SUB\\"), QStringLiteral("PATH"), REG_SZ)
            .setValue(QStringLiteral("second"));

        QCOMPARE(at(HKEY_CURRENT_USER, QStringLiteral("software\\ORV\\sub"), QStringLiteral("path")).Value(),
                 QVariant(QStringLiteral("second")));
        // One key and one value, still named as first created.
        QStringList names;
        qint32 count = -1;
        at(HKEY_CURRENT_USER, QStringLiteral("Software")).EnumerateSections(names, count);
        QCOMPARE(names, QStringList{QStringLiteral("Orv")});
        at(HKEY_CURRENT_USER, QStringLiteral("Software\\Orv\\Sub")).EnumerateValues(names, count);
        QCOMPARE(names, QStringList{QStringLiteral("Path")});
        QCOMPARE(count, 1);
    }

    void enumerationListsNamesInCreationOrder()
    {
        for (const char* name : {"Zeta", "Alpha", "Mid"})
            at(HKEY_CURRENT_USER, section, QString::fromLatin1(name), REG_SZ).setValue(QStringLiteral("v"));
        for (const char* name : {"Keys", "Are", "Here"})
            QVERIFY(
                at(HKEY_CURRENT_USER, section + QLatin1Char('\\') + QString::fromLatin1(name)).CreateKey());

        QStringList names{QStringLiteral("left over")};
        qint32 count = -1;
        QVERIFY(at(HKEY_CURRENT_USER, section).EnumerateValues(names, count));
        QCOMPARE(count, 3);
        QCOMPARE(names,
                 (QStringList{QStringLiteral("Zeta"), QStringLiteral("Alpha"), QStringLiteral("Mid")}));
        QVERIFY(at(HKEY_CURRENT_USER, section).EnumerateSections(names, count));
        QCOMPARE(count, 3);
        QCOMPARE(names, (QStringList{QStringLiteral("Keys"), QStringLiteral("Are"), QStringLiteral("Here")}));

        // A key that does not open lists nothing and still answers true.
        QVERIFY(at(HKEY_CURRENT_USER, QStringLiteral("Software\\Nowhere")).EnumerateValues(names, count));
        QCOMPARE(count, 0);
        QVERIFY(names.isEmpty());
        QVERIFY(at(HKEY_CURRENT_USER, QStringLiteral("Software\\Nowhere")).EnumerateSections(names, count));
        QCOMPARE(count, 0);
        QVERIFY(names.isEmpty());
    }

    void keysAndValuesAreCreatedAndDeleted()
    {
        Registry key = at(HKEY_CURRENT_USER, section + QStringLiteral("\\Empty"));
        QVERIFY(!key.KeyExists());
        QVERIFY(key.CreateKey());
        QVERIFY(key.KeyExists());
        QVERIFY(key.CreateKey()); // an existing key opens

        Registry value = at(HKEY_CURRENT_USER, section, QStringLiteral("Name"), REG_SZ);
        value.setValue(QStringLiteral("v"));
        QVERIFY(value.DeleteValue());
        QVERIFY(!at(HKEY_CURRENT_USER, section, QStringLiteral("Name")).Value().isValid());
        QVERIFY(at(HKEY_CURRENT_USER, section).KeyExists());

        // The parent still has a subkey, so only the leaf goes.
        expectError(
            [&] { at(HKEY_CURRENT_USER, section).DeleteKey(); }, Registry::ErrRegistry,
            QStringLiteral(
                "Failed to delete registry Key: '-2147483647',Section: 'Software\\Auction Orv\\Test"));
        QVERIFY(key.DeleteKey());
        QVERIFY(!key.KeyExists());
        QVERIFY(at(HKEY_CURRENT_USER, section).DeleteKey());
    }

    void failedKeyOperationsRaiseTheirTexts_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("description");
        QTest::newRow("delete a missing key")
            << QStringLiteral("DeleteKey")
            << QStringLiteral("Failed to delete registry Key: '-2147483647',Section: 'Software\\Nowhere");
        QTest::newRow("delete a value of a missing key")
            << QStringLiteral("DeleteValue")
            << QStringLiteral(
                   "Failed to open key '-2147483647',Section: 'Software\\Nowhere' for delete access");
        QTest::newRow("delete a missing value")
            << QStringLiteral("DeleteExistingKeyValue")
            << QStringLiteral("Failed to delete registry Key: '-2147483647',Section: 'Software\\Auction "
                              "Orv\\Test',Key: 'Gone");
        QTest::newRow("create below no root")
            << QStringLiteral("CreateKeyNoRoot")
            << QStringLiteral("Failed to create registry Key: 'Software\\Nowhere");
    }
    void failedKeyOperationsRaiseTheirTexts()
    {
        QFETCH(QString, operation);
        QFETCH(QString, description);
        at(HKEY_CURRENT_USER, section).CreateKey();
        const QString nowhere = QStringLiteral("Software\\Nowhere");
        expectError(
            [&] {
                if (operation == QLatin1String("DeleteKey"))
                    at(HKEY_CURRENT_USER, nowhere).DeleteKey();
                else if (operation == QLatin1String("DeleteValue"))
                    at(HKEY_CURRENT_USER, nowhere, QStringLiteral("Gone")).DeleteValue();
                else if (operation == QLatin1String("DeleteExistingKeyValue"))
                    at(HKEY_CURRENT_USER, section, QStringLiteral("Gone")).DeleteValue();
                else
                    at(ERegistryClassConstants(0), nowhere).CreateKey();
            },
            Registry::ErrRegistry, description);
    }

    void unreadableStoreFileIsKeptAsideAndReplaced_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("not JSON") << QByteArray("{\"HKEY_CURRENT_USER\": {\"values\": [");
        QTest::newRow("not an object") << QByteArray("[1, 2, 3]");
        QTest::newRow("unknown root") << QByteArray(R"({"HKEY_ELSEWHERE": {"values": [], "keys": []}})");
        QTest::newRow("value without a type")
            << QByteArray(R"({"HKEY_CURRENT_USER": {"values": [{"name": "x", "text": "y"}], "keys": []}})");
        QTest::newRow("bytes that are not base64") << QByteArray(
            R"({"HKEY_CURRENT_USER": {"values": [{"name": "x", "type": 3, "data": "@@"}], "keys": []}})");
        QTest::newRow("key without a name")
            << QByteArray(R"({"HKEY_CURRENT_USER": {"values": [], "keys": [{"values": [], "keys": []}]}})");
    }
    void unreadableStoreFileIsKeptAsideAndReplaced()
    {
        QFETCH(QByteArray, content);
        writeStoreFile(content);

        Registry reader = at(HKEY_CURRENT_USER, QStringLiteral("Software"), QStringLiteral("x"));
        reader.Default = QStringLiteral("fallback");
        QCOMPARE(reader.Value(), QVariant(QStringLiteral("fallback")));
        QVERIFY(!at(HKEY_CURRENT_USER, QStringLiteral("Software")).KeyExists());

        at(HKEY_CURRENT_USER, section, QStringLiteral("Name"), REG_SZ).setValue(QStringLiteral("fresh"));
        QCOMPARE(at(HKEY_CURRENT_USER, section, QStringLiteral("Name")).Value(),
                 QVariant(QStringLiteral("fresh")));

        const QFileInfo store(m_storeFile);
        const QStringList kept =
            store.dir().entryList({store.fileName() + QStringLiteral(".unreadable-*")}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QFile aside(store.dir().filePath(kept.constFirst()));
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), content);
    }

    void aStoreThatCannotBeWrittenRaises()
    {
        // The configuration folder's place is taken by a file, so the store's folder cannot be made.
        QFile blocker(QFileInfo(m_storeFile).absolutePath());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        expectError(
            [] {
                at(HKEY_CURRENT_USER, section, QStringLiteral("Name"), REG_SZ).setValue(QStringLiteral("v"));
            },
            Registry::ErrRegistry,
            QStringLiteral("Failed to set registry value Key: '-2147483647',Section: "
                           "'Software\\Auction Orv\\Test',Key: 'Name' to value: 'v'"));
        expectError([] { at(HKEY_CURRENT_USER, section).CreateKey(); }, Registry::ErrRegistry,
                    QStringLiteral("Failed to create registry Key: 'Software\\Auction Orv\\Test"));
    }

    // A writer that died between making the store's lock file and filling in its process number leaves an
    // empty lock: it must not keep the next writer out. A live holder keeps everyone else out.
    void aLockLeftWithoutItsOwnerDoesNotBlockWriting()
    {
        QVERIFY(QDir().mkpath(QFileInfo(m_storeFile).absolutePath()));
        QFile ownerless(m_storeFile + QStringLiteral(".lock"));
        QVERIFY(ownerless.open(QIODevice::WriteOnly));
        ownerless.close();
        at(HKEY_CURRENT_USER, section, QStringLiteral("Name"), REG_SZ).setValue(QStringLiteral("after"));
        QCOMPARE(at(HKEY_CURRENT_USER, section, QStringLiteral("Name")).Value(),
                 QVariant(QStringLiteral("after")));

        QLockFile holder(m_storeFile + QStringLiteral(".lock"));
        QVERIFY(holder.tryLock(0));
        QVERIFY_THROWS_EXCEPTION(
            OrvError,
            at(HKEY_CURRENT_USER, section, QStringLiteral("Name"), REG_SZ).setValue(QStringLiteral("held")));
        holder.unlock();
        QCOMPARE(at(HKEY_CURRENT_USER, section, QStringLiteral("Name")).Value(),
                 QVariant(QStringLiteral("after")));
    }

    void aStoreFileThatCannotBeOpenedIsNeverOverwritten()
    {
        QVERIFY(QDir().mkpath(m_storeFile)); // exists, but cannot be read as a file
        QVERIFY_THROWS_EXCEPTION(OrvError, at(HKEY_CURRENT_USER, section).CreateKey());
        QVERIFY(QFileInfo(m_storeFile).isDir());
    }

    void fileTypeIsRegisteredBelowBothRoots()
    {
        Registry registry;
        registry.CreateEXEAssociation(QStringLiteral("  /opt/orv/bin/orv "), QStringLiteral("Orv.Doc"),
                                      QStringLiteral("Orv document"), QStringLiteral("orv"), QString(), true,
                                      QString(), false, QStringLiteral("&New"), true, QString(), 2);
        for (const QString& prefix : {QString(), QStringLiteral("SOFTWARE\\Classes\\")}) {
            const ERegistryClassConstants root = prefix.isEmpty() ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
            QCOMPARE(readText(root, prefix + QStringLiteral(".orv")), QStringLiteral("Orv.Doc"));
            QCOMPARE(readText(root, prefix + QStringLiteral("Orv.Doc")), QStringLiteral("Orv document"));
            QCOMPARE(readText(root, prefix + QStringLiteral("Orv.Doc\\shell\\open")),
                     QStringLiteral("&Open"));
            QCOMPARE(readText(root, prefix + QStringLiteral("Orv.Doc\\shell\\open\\command")),
                     QStringLiteral("\"/opt/orv/bin/orv\" \"%1\""));
            QCOMPARE(readText(root, prefix + QStringLiteral("Orv.Doc\\shell\\print")),
                     QStringLiteral("&Print"));
            QCOMPARE(readText(root, prefix + QStringLiteral("Orv.Doc\\shell\\print\\command")),
                     QStringLiteral("\"/opt/orv/bin/orv\" /p \"%1\""));
            QCOMPARE(readText(root, prefix + QStringLiteral("Orv.Doc\\shell\\add")),
                     QStringLiteral("&Install orv"));
            QCOMPARE(readText(root, prefix + QStringLiteral("Orv.Doc\\shell\\add\\command")),
                     QStringLiteral("\"/opt/orv/bin/orv\" /a \"%1\""));
            QVERIFY(!at(root, prefix + QStringLiteral("Orv.Doc\\shell\\new")).KeyExists());
            QCOMPARE(readText(root, prefix + QStringLiteral("Orv.Doc\\DefaultIcon")),
                     QStringLiteral("\"/opt/orv/bin/orv\",2"));
        }
    }

    void additionalVerbsNeedTriplesAndTheClass()
    {
        Registry registry = at(HKEY_CLASSES_ROOT, QString());
        const QVariantList three{QStringLiteral("edit"), QStringLiteral("&Edit"), QStringLiteral("orv -e")};
        const QVariantList four = three + QVariantList{QStringLiteral("stray")};
        expectError(
            [&] { registry.CreateAdditionalEXEAssociations(QStringLiteral("Orv.Doc"), three); },
            Registry::ErrAssociationClass,
            QStringLiteral("Error - attempt to create additional associations before class defined."));
        registry.CreateEXEAssociation(QStringLiteral("/opt/orv/bin/orv"), QStringLiteral("Orv.Doc"),
                                      QStringLiteral("Orv document"), QStringLiteral("orv"));
        expectError([&] { registry.CreateAdditionalEXEAssociations(QStringLiteral("Orv.Doc"), four); },
                    Registry::ErrAssociationList,
                    QStringLiteral("Invalid parameter list passed to CreateAdditionalEXEAssociations - "
                                   "expected Name/Text/Command"));
        QVERIFY(!at(HKEY_CLASSES_ROOT, QStringLiteral("Orv.Doc\\shell\\edit")).KeyExists());

        registry.CreateAdditionalEXEAssociations(QStringLiteral("Orv.Doc"), three);
        for (const QString& prefix : {QString(), QStringLiteral("SOFTWARE\\Classes\\")}) {
            const ERegistryClassConstants root = prefix.isEmpty() ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
            QCOMPARE(readText(root, prefix + QStringLiteral("Orv.Doc\\shell\\edit")),
                     QStringLiteral("&Edit"));
            QCOMPARE(readText(root, prefix + QStringLiteral("Orv.Doc\\shell\\edit\\command")),
                     QStringLiteral("orv -e"));
        }
    }

private:
    void writeStoreFile(const QByteArray& content)
    {
        QVERIFY(QDir().mkpath(QFileInfo(m_storeFile).absolutePath()));
        QFile file(m_storeFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    template <typename Operation>
    void expectError(Operation operation, qint32 number, const QString& description)
    {
        try {
            operation();
            QFAIL("no error was raised");
        } catch (const OrvError& error) {
            QCOMPARE(error.number(), number);
            QCOMPARE(error.source(), Registry::Source);
            QCOMPARE(error.description(), description);
        }
    }

    std::unique_ptr<QTemporaryDir> m_config;
    QString m_storeFile;
};

QTEST_GUILESS_MAIN(tst_Registry)
#include "tst_Registry.moc"
