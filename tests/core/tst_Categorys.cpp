#include "Auctions.h"
#include "Categorys.h"
#include "CaughtError.h"
#include "Clock.h"
#include "OrvError.h"
#include "RecordingDialogHost.h"
#include "Settings.h"

#include <QSignalSpy>
#include <QTest>

class tst_Categorys : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void add_data();
    void add();
    void containsComparesExactly();
    void pausedSilencesOnlyTheCollectionsOwnChanges();
    void removeKeepsTheLastCategory();
    void removeLeavesAuctionsAndCurrent();
    void renameIsAddMoveRemove();
    void viewRemove_data();
    void viewRemove();
    void viewRemoveOfTheLastCategoryIsRefused();
    void viewAddAndEdit();

private:
    std::unique_ptr<Clock> m_clock;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<Categorys> m_categorys;
    std::unique_ptr<Auctions> m_auctions;
    RecordingDialogHost m_host;
};

void tst_Categorys::init()
{
    m_clock = std::make_unique<Clock>();
    m_settings = std::make_unique<Settings>();
    m_categorys = std::make_unique<Categorys>();
    m_auctions = std::make_unique<Auctions>();
    m_auctions->Init(*m_clock);
    m_auctions->link(*m_settings, *m_categorys, m_host);
    m_categorys->link(*m_auctions, m_host);
    m_host.calls.clear();
}

void tst_Categorys::cleanup()
{
    m_auctions.reset();
    m_categorys.reset();
    m_settings.reset();
    m_clock.reset();
}

void tst_Categorys::add_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stored"); // empty: refused with `refusalText`
    QTest::addColumn<QString>("refusalText");

    const QString tilde = QStringLiteral("Categories may not end with the ~ character.");
    const QString noName = QStringLiteral("A category must have a name.");
    QTest::newRow("plain") << "Music"
                           << "Music" << QString();
    QTest::newRow("trimmed") << "  Music  "
                             << "Music" << QString();
    QTest::newRow("tilde inside") << "Bo~oks"
                                  << "Bo~oks" << QString();
    QTest::newRow("tilde at the end") << "Music~" << QString() << tilde;
    QTest::newRow("tilde before a blank") << "Music~ " << QString() << tilde;
    QTest::newRow("empty") << "" << QString() << noName;
    QTest::newRow("blanks only") << "   " << QString() << noName;
    QTest::newRow("same name") << "Books" << QString() << "A category named Books already exists.";
    QTest::newRow("other letter case") << "books" << QString() << "A category named books already exists.";
    QTest::newRow("other case, blanks") << " BOOKS " << QString() << "A category named BOOKS already exists.";
}

void tst_Categorys::add()
{
    QFETCH(QString, name);
    QFETCH(QString, stored);
    QFETCH(QString, refusalText);

    m_categorys->Add(QStringLiteral("Books"), false, 1);
    QSignalSpy updated(m_categorys.get(), &Categorys::Updated);
    if (stored.isEmpty()) {
        const auto error = caughtError([&] { m_categorys->Add(name, true, 3); });
        QVERIFY2(error, "the name was accepted");
        QCOMPARE(error->source(), QStringLiteral("Category Add"));
        QCOMPARE(error->number(), OrvError::Refused);
        QCOMPARE(error->description(), refusalText);
        QCOMPARE(m_categorys->Count(), 1);
        QCOMPARE(updated.count(), 0);
        return;
    }
    const CategoryPtr category = m_categorys->Add(name, true, 3);
    QCOMPARE(category->Name, stored);
    QVERIFY(category->Limited);
    QCOMPARE(category->MaxWins, 3);
    QCOMPARE(m_categorys->Count(), 2);
    QCOMPARE(m_categorys->Items().last(), category);
    QCOMPARE(m_categorys->Item(stored.toUpper()), category);
    QCOMPARE(updated.count(), 1);
}

void tst_Categorys::containsComparesExactly()
{
    const CategoryPtr books = m_categorys->Add(QStringLiteral("Books"), false, 1);
    Auction auction;
    auction.Category = QStringLiteral("Books");
    QVERIFY(books->Contains(auction));
    auction.Category = QStringLiteral("books");
    QVERIFY(!books->Contains(auction));
    auction.Category = QStringLiteral("Books ");
    QVERIFY(!books->Contains(auction));
}

void tst_Categorys::pausedSilencesOnlyTheCollectionsOwnChanges()
{
    const CategoryPtr books = m_categorys->Add(QStringLiteral("Books"), false, 1);
    QSignalSpy updated(m_categorys.get(), &Categorys::Updated);
    m_categorys->Paused = true;
    m_categorys->Add(QStringLiteral("Music"), false, 1);
    m_categorys->raiseUpdated();
    m_categorys->Remove(QStringLiteral("Music"));
    QCOMPARE(updated.count(), 0);

    books->Updated();
    QCOMPARE(updated.count(), 1);
    m_categorys->Current = QStringLiteral("Books");
    m_categorys->Clear();
    QCOMPARE(updated.count(), 2);
    QCOMPARE(m_categorys->Count(), 0);
    QCOMPARE(m_categorys->Current, QStringLiteral("Books"));

    m_categorys->Paused = false;
    m_categorys->raiseUpdated();
    QCOMPARE(updated.count(), 3);
}

void tst_Categorys::removeKeepsTheLastCategory()
{
    const CategoryPtr books = m_categorys->Add(QStringLiteral("Books"), false, 1);
    QSignalSpy updated(m_categorys.get(), &Categorys::Updated);
    QCOMPARE(refusal([&] { m_categorys->Remove(QStringLiteral("Books")); }),
             QStringLiteral("You must have at least one Category."));
    QCOMPARE(m_categorys->Count(), 1);

    const CategoryPtr music = m_categorys->Add(QStringLiteral("Music"), false, 1);
    updated.clear();
    m_categorys->Remove(QStringLiteral("BOOKS"));
    QCOMPARE(m_categorys->Count(), 1);
    QCOMPARE(m_categorys->Items().first(), music);
    QCOMPARE(updated.count(), 1);
    // Detached: the removed category no longer reaches the collection.
    books->Updated();
    QCOMPARE(updated.count(), 1);
    QVERIFY_THROWS_EXCEPTION(OrvError, m_categorys->Item(QStringLiteral("Books")));
}

void tst_Categorys::removeLeavesAuctionsAndCurrent()
{
    m_categorys->Add(QStringLiteral("Books"), false, 1);
    m_categorys->Add(QStringLiteral("Music"), false, 1);
    m_categorys->Current = QStringLiteral("Books");
    const AuctionPtr auction = m_auctions->Add(QStringLiteral("1"), QStringLiteral("Books"));
    m_categorys->Remove(QStringLiteral("Books"));
    QCOMPARE(m_categorys->Current, QStringLiteral("Books"));
    QCOMPARE(auction->Category, QStringLiteral("Books"));
    QCOMPARE(m_auctions->Count(), 1);
}

void tst_Categorys::renameIsAddMoveRemove()
{
    // The category editor renames by adding the new name, moving the auctions and removing the old one;
    // a change of letter case alone is refused at the first step.
    m_categorys->Add(QStringLiteral("Books"), false, 1);
    QVERIFY_THROWS_EXCEPTION(OrvError, m_categorys->Add(QStringLiteral("books"), false, 1));
    QCOMPARE(m_categorys->Count(), 1);
    QCOMPARE(m_categorys->Items().first()->Name, QStringLiteral("Books"));

    m_categorys->Add(QStringLiteral("Novels"), false, 1);
    m_categorys->Remove(QStringLiteral("Books"));
    QCOMPARE(m_categorys->Count(), 1);
    QCOMPARE(m_categorys->Item(QStringLiteral("novels"))->Name, QStringLiteral("Novels"));
}

void tst_Categorys::viewRemove_data()
{
    QTest::addColumn<QStringList>("auctionCategories");
    QTest::addColumn<bool>("removerOpened");

    QTest::newRow("no auctions") << QStringList() << false;
    QTest::newRow("auctions elsewhere") << QStringList{"Music"} << false;
    QTest::newRow("other letter case") << QStringList{"books", "BOOKS"} << false;
    QTest::newRow("one auction") << QStringList{"Music", "Books"} << true;
}

void tst_Categorys::viewRemove()
{
    QFETCH(QStringList, auctionCategories);
    QFETCH(bool, removerOpened);

    const CategoryPtr books = m_categorys->Add(QStringLiteral("Books"), false, 1);
    m_categorys->Add(QStringLiteral("Music"), false, 1);
    for (qsizetype i = 0; i < auctionCategories.size(); ++i)
        m_auctions->Add(QString::number(i + 1), auctionCategories.at(i));

    m_categorys->ViewRemove(books);
    if (removerOpened) {
        QCOMPARE(m_host.calls, QStringList{"categoryDelete:Books"});
        QCOMPARE(m_categorys->Count(), 2);
    } else {
        QVERIFY(m_host.calls.isEmpty());
        QCOMPARE(m_categorys->Count(), 1);
        QCOMPARE(m_categorys->Items().first()->Name, QStringLiteral("Music"));
    }
    QCOMPARE(m_auctions->Count(), auctionCategories.size());
}

void tst_Categorys::viewRemoveOfTheLastCategoryIsRefused()
{
    const CategoryPtr only = m_categorys->Add(QStringLiteral("Books"), false, 1);
    QVERIFY_THROWS_EXCEPTION(OrvError, m_categorys->ViewRemove(only));
    QCOMPARE(m_categorys->Count(), 1);
}

void tst_Categorys::viewAddAndEdit()
{
    const CategoryPtr books = m_categorys->Add(QStringLiteral("Books"), false, 1);
    m_categorys->ViewAdd();
    m_categorys->ViewEdit(books);
    QCOMPARE(m_host.calls, (QStringList{"category:", "category:Books"}));
}

QTEST_GUILESS_MAIN(tst_Categorys)
#include "tst_Categorys.moc"
