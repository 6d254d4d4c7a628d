#include "OrvError.h"
#include "Zip.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <zip.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Every entry of the archive with its contents (folders with an empty text); empty when unreadable.
QMap<QString, QByteArray> readBack(const QString& path)
{
    QMap<QString, QByteArray> entries;
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return entries;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, zip_uint64_t(i), 0, &stat);
        QByteArray data(qsizetype(stat.size), '\0');
        if (stat.size > 0) {
            zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(i), 0);
            zip_fread(file, data.data(), stat.size);
            zip_fclose(file);
        }
        entries.insert(QString::fromUtf8(stat.name), data);
    }
    zip_close(archive);
    return entries;
}

} // namespace

class tst_Zip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        writeFile(path("a.txt"), "alpha");
        writeFile(path("b.txt"), "beta");
    }

    void listErrors_data()
    {
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<bool>("remove");
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint32>("error");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QStringList>("after");

        const QString addSrc = "CGZip::AddFile", already = "File is already in Zip List";
        const QString removeSrc = "CGZip::RemoveFile", missing = "File is not in Zip List";
        QTest::newRow("add new") << QStringList{"a.txt"} << false << "b.txt" << 0 << QString() << QString()
                                 << QStringList{"querty", "a.txt", "b.txt"};
        QTest::newRow("add differs only in case")
            << QStringList{"a.txt"} << false << "A.TXT" << Zip::ErrAlreadyListed << addSrc << already
            << QStringList{"querty", "a.txt"};
        QTest::newRow("add the placeholder") << QStringList{} << false << "querty" << Zip::ErrAlreadyListed
                                             << addSrc << already << QStringList{"querty"};
        QTest::newRow("add the placeholder in capitals")
            << QStringList{} << false << "QUERTY" << Zip::ErrAlreadyListed << addSrc << already
            << QStringList{"querty"};
        QTest::newRow("remove in another case") << QStringList{"a.txt", "b.txt"} << true << "A.Txt" << 0
                                                << QString() << QString() << QStringList{"querty", "b.txt"};
        QTest::newRow("remove never added") << QStringList{"a.txt"} << true << "b.txt" << Zip::ErrNotListed
                                            << removeSrc << missing << QStringList{"querty", "a.txt"};
        QTest::newRow("remove the placeholder") << QStringList{"a.txt"} << true << "querty" << 0 << QString()
                                                << QString() << QStringList{"a.txt"};
    }

    void listErrors()
    {
        QFETCH(QStringList, added);
        QFETCH(bool, remove);
        QFETCH(QString, name);
        QFETCH(qint32, error);
        QFETCH(QStringList, after);

        Zip zip;
        QCOMPARE(zip.ZipFileCount(), 0);
        for (const QString& file : added)
            zip.AddFile(file);
        try {
            remove ? zip.RemoveFile(name) : zip.AddFile(name);
            QCOMPARE(error, 0);
        } catch (const OrvError& e) {
            QCOMPARE(e.number(), error);
            QTEST(e.source(), "source");
            QTEST(e.description(), "description");
        }
        QCOMPARE(zip.names(), after);
        QCOMPARE(zip.ZipFileCount(), qint32(after.size() - after.count("querty")));
    }

    // The archive holds the added files under names below the root folder, and no placeholder; a
    // root folder in lower case is used as it stands.
    void writesAddedFilesOnly()
    {
        Zip zip;
        zip.setRootDirectory(m_dir->path());
        zip.AddFile(path("a.txt"));
        zip.AddFile("b.txt");
        zip.setZipFileName(path("out.zip"));
        QCOMPARE(zip.ZipFileCount(), 2);
        QCOMPARE(zip.MakeZipFile(), 0);
        const QMap<QString, QByteArray> expected{{"a.txt", "alpha"}, {"b.txt", "beta"}};
        QCOMPARE(readBack(path("out.zip")), expected);
        QVERIFY(Zip::GetLastMessage().contains("adding: a.txt"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    }

    // A file taking the placeholder's first slot is written, not dropped.
    void firstSlotIsNotSkipped()
    {
        Zip zip;
        zip.setRootDirectory(m_dir->path());
        zip.RemoveFile("querty");
        zip.AddFile("a.txt");
        zip.setZipFileName(path("out.zip"));
        QCOMPARE(zip.MakeZipFile(), 0);
        QCOMPARE(readBack(path("out.zip")).keys(), QStringList{"a.txt"});
    }

    void nameLimit()
    {
        Zip zip;
        zip.setRootDirectory(m_dir->path());
        for (int i = 1; i <= 99; ++i) {
            writeFile(path(QString("many/%1.txt").arg(i)), QByteArray::number(i));
            zip.AddFile(QString("many/%1.txt").arg(i));
        }
        zip.setZipFileName(path("99.zip"));
        QCOMPARE(zip.MakeZipFile(), 0);
        const auto entries = readBack(path("99.zip"));
        QCOMPARE(entries.size(), 99);
        QCOMPARE(entries.value("many/99.txt"), QByteArray("99"));

        zip.AddFile("a.txt");
        zip.setZipFileName(path("100.zip"));
        try {
            zip.MakeZipFile();
            QFAIL("a hundredth file was accepted");
        } catch (const OrvError& e) {
            QCOMPARE(e.number(), Zip::ErrTooManyNames);
            QCOMPARE(e.source(), QString("CGZipFiles::MakeZipFile"));
        }
        QVERIFY(!QFile::exists(path("100.zip")));
        QVERIFY(Zip::GetLastMessage().contains("at most 99"));
    }

    void lastMessageOfLatestRun()
    {
        Zip first, second;
        for (Zip* zip : {&first, &second})
            zip->setRootDirectory(m_dir->path());
        first.AddFile("a.txt");
        first.setZipFileName(path("1.zip"));
        second.AddFile("b.txt");
        second.setZipFileName(path("2.zip"));
        QCOMPARE(first.MakeZipFile(), 0);
        QVERIFY(Zip::GetLastMessage().contains("a.txt"));
        QCOMPARE(second.MakeZipFile(), 0);
        QVERIFY(Zip::GetLastMessage().contains("b.txt"));
        QVERIFY(!Zip::GetLastMessage().contains("a.txt"));
    }

    // Every failure is a code with its reason, and the archive already there stays as it was.
    void failures_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("target");
        QTest::addColumn<qint32>("code");
        QTest::addColumn<QString>("reason");

        QTest::newRow("missing input")
            << QStringList{"a.txt", "gone.txt"} << "out.zip" << qint32(Zip::CannotRead) << "gone.txt";
        QTest::newRow("empty list") << QStringList{} << "out.zip" << qint32(Zip::NothingToDo)
                                    << "Nothing to do";
        QTest::newRow("target below a plain file")
            << QStringList{"a.txt"} << "a.txt/out.zip" << qint32(Zip::CannotCreate) << "could not create";
        QTest::newRow("no target") << QStringList{"a.txt"} << "" << qint32(Zip::CannotCreate)
                                   << "no archive name";
    }

    void failures()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, target);
        QFETCH(qint32, code);
        QFETCH(QString, reason);

        writeFile(path("out.zip"), "old archive");
        Zip zip;
        zip.setRootDirectory(m_dir->path());
        for (const QString& file : files)
            zip.AddFile(file);
        zip.setZipFileName(target.isEmpty() ? QString() : path(target));
        QCOMPARE(zip.MakeZipFile(), code);
        QVERIFY2(Zip::GetLastMessage().contains(reason), qPrintable(Zip::GetLastMessage()));
        QFile old(path("out.zip"));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old archive"));
        // No temporary file is left behind.
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    }

    void update_data()
    {
        QTest::addColumn<bool>("updating");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("new archive") << false << QStringList{"b.txt"};
        QTest::newRow("update") << true << QStringList{"a.txt", "b.txt"};
    }

    void update()
    {
        QFETCH(bool, updating);
        Zip first;
        first.setRootDirectory(m_dir->path());
        first.AddFile("a.txt");
        first.setZipFileName(path("out.zip"));
        QCOMPARE(first.MakeZipFile(), 0);

        Zip second;
        second.setRootDirectory(m_dir->path());
        second.AddFile("b.txt");
        second.setZipFileName(path("out.zip"));
        second.setUpdatingZip(updating);
        QCOMPARE(second.MakeZipFile(), 0);
        QTEST(readBack(path("out.zip")).keys(), "entries");
    }

    void folders_data()
    {
        QTest::addColumn<bool>("recurse");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("without recursion") << false << QStringList{"d/"};
        QTest::newRow("with recursion")
            << true << QStringList{"d/", "d/.hidden", "d/sub/", "d/sub/y.txt", "d/x.txt"};
    }

    void folders()
    {
        QFETCH(bool, recurse);
        writeFile(path("d/x.txt"), "x");
        writeFile(path("d/.hidden"), "h");
        writeFile(path("d/sub/y.txt"), "y");
        Zip zip;
        zip.setRootDirectory(m_dir->path());
        zip.AddFile("d");
        zip.setRecurseFolders(recurse);
        zip.setZipFileName(path("out.zip"));
        QCOMPARE(zip.MakeZipFile(), 0);
        const auto entries = readBack(path("out.zip"));
        QTEST(entries.keys(), "entries");
        if (entries.contains("d/sub/y.txt"))
            QCOMPARE(entries.value("d/sub/y.txt"), QByteArray("y"));
    }

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(tst_Zip)
#include "tst_Zip.moc"
