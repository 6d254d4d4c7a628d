#include "Categorys.h"
#include "DialogFixture.h"
#include "frmCategory.h"
#include "frmCategoryDelete.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

// The category editor and remover on the fixture's application, with the categories "Default",
// "Books" and "Music" and auctions in them.
struct Windows : DialogFixture
{
    QPointer<frmCategory> editor = new frmCategory(services());
    QPointer<frmCategoryDelete> remover = new frmCategoryDelete(services());

    Windows()
    {
        app.Categorys().Add(QStringLiteral("Books"), true, 3);
        app.Categorys().Add(QStringLiteral("Music"), false, 1);
        for (const auto& [item, category] :
             {std::pair{"1", "Books"}, {"2", "Books"}, {"3", "books"}, {"4", "Music"}, {"5", "Default"}})
            app.Auctions().Add(QString::fromLatin1(item), QString::fromLatin1(category));
        events.clear();
    }
    ~Windows()
    {
        delete editor;
        delete remover;
    }

    CategoryPtr category(const char* name) const { return app.Categorys().Item(QString::fromLatin1(name)); }
    QStringList names() const
    {
        QStringList all;
        for (const CategoryPtr& category : app.Categorys().Items())
            all << category->Name;
        return all;
    }
    // The category of each auction, in item order.
    QStringList placed() const
    {
        QStringList all;
        for (const AuctionPtr& auction : app.Auctions().Items())
            all << auction->Category;
        return all;
    }
    QLineEdit* name() const { return control<QLineEdit>(editor, QStringLiteral("txtName")); }
    QLineEdit* max() const { return control<QLineEdit>(editor, QStringLiteral("txtMax")); }
    QCheckBox* limit() const { return control<QCheckBox>(editor, QStringLiteral("chkLimit")); }
    QComboBox* targets() const { return control<QComboBox>(remover, QStringLiteral("cboCategory")); }
    void edit(const CategoryPtr& category) { editor->View(app.Categorys(), app.Auctions(), category); }
    void saveEditor() const { control<QPushButton>(editor, QStringLiteral("cmdSave"))->click(); }
    void removeWith(const char* name) { remover->View(app.Auctions(), app.Categorys(), category(name)); }
    void move() const { control<QPushButton>(remover, QStringLiteral("cmdSelect"))->click(); }
    template <typename T> static bool closed(const QPointer<T>& window)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window == nullptr;
    }
};

} // namespace

// The category editor and the category remover: the win limit's box, the name check, the rename that
// moves the old name's auctions, and the remover that never leaves an auction without a category.
class tst_frmCategory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void limitBox();
    void nameRefusals_data();
    void nameRefusals();
    void wordsThatReadAsNumbersElsewhere_data();
    void wordsThatReadAsNumbersElsewhere();
    void maxWins_data();
    void maxWins();
    void addsANewCategory();
    void editKeepingTheName();
    void renameMovesTheOldNamesAuctions();
    void renameToAnotherCaseOfTheName();
    void categoryRemovedWhileEditing();
    void removerListsTheOtherCategories();
    void removerMovesAndRemoves();
    void removerWithOneCategoryOnly();
    void removerTargetGoneMeanwhile();
    void removerCategoryGoneMeanwhile();
};

void tst_frmCategory::limitBox()
{
    Windows w;
    QCOMPARE(w.editor->windowTitle(), QStringLiteral("Category Editor"));
    QCOMPARE(w.limit()->text(), QStringLiteral("Limit Items Won"));
    w.edit(w.category("Books"));
    QCOMPARE(w.name()->text(), QStringLiteral("Books"));
    QVERIFY(w.limit()->isChecked());
    QVERIFY(w.max()->isEnabled());
    QCOMPARE(w.max()->text(), QStringLiteral("3"));
    w.limit()->click();
    QCOMPARE(w.max()->text(), QStringLiteral("N/A"));
    QVERIFY(!w.max()->isEnabled());
    // Checked again: the stored most wins, not 1.
    w.limit()->click();
    QCOMPARE(w.max()->text(), QStringLiteral("3"));

    // A new category starts empty, even in the window that edited another.
    w.edit(CategoryPtr());
    QCOMPARE(w.name()->text(), QString());
    QVERIFY(!w.limit()->isChecked());
    QVERIFY(!w.max()->isEnabled());
    QCOMPARE(w.max()->text(), QStringLiteral("N/A"));
    w.limit()->click();
    QCOMPARE(w.max()->text(), QStringLiteral("1"));
}

void tst_frmCategory::nameRefusals_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    const QString incomplete = QStringLiteral("Information Not Complete");
    const QString incompleteText = QStringLiteral("Please make sure each field is properly completed.");
    QTest::newRow("empty") << "en_US"
                           << "" << incomplete << incompleteText;
    QTest::newRow("blanks") << "en_US"
                            << "   " << incomplete << incompleteText;
    QTest::newRow("a year") << "en_US"
                            << "2004" << incomplete << incompleteText;
    QTest::newRow("a year with blanks") << "en_US"
                                        << " 2004 " << incomplete << incompleteText;
    QTest::newRow("exponent") << "en_US"
                              << "1e5" << incomplete << incompleteText;
    QTest::newRow("negative") << "en_US"
                              << "-3" << incomplete << incompleteText;
    QTest::newRow("grouped") << "en_US"
                             << "1,000" << incomplete << incompleteText;
    QTest::newRow("grouped with a point") << "de_DE"
                                          << "1.000" << incomplete << incompleteText;
    QTest::newRow("tilde at the end") << "en_US"
                                      << "A~"
                                      << "Category Save Error"
                                      << "Categories may not end with the ~ character.";
    QTest::newRow("another case of a name") << "en_US"
                                            << "music"
                                            << "Category Save Error"
                                            << "A category named music already exists.";
}

void tst_frmCategory::nameRefusals()
{
    QFETCH(QString, locale);
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(locale));
    Windows w;
    const QStringList before = w.names();
    w.edit(CategoryPtr());
    w.name()->setText(name);
    w.saveEditor();
    QCOMPARE(w.boxes.boxes.size(), 1);
    QCOMPARE(w.boxes.boxes.first().title, title);
    QCOMPARE(w.boxes.boxes.first().text, text);
    QCOMPARE(w.boxes.boxes.first().icon, MessageBoxSink::Exclamation);
    QCOMPARE(w.names(), before);
    QVERIFY(w.events.isEmpty());
    QVERIFY(!w.closed(w.editor));
}

// Words that a number reader would take for a number, but that are no number to a user, are names.
void tst_frmCategory::wordsThatReadAsNumbersElsewhere_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("name");
    QTest::newRow("Nan") << "en_US"
                         << "Nan";
    QTest::newRow("Inf") << "en_US"
                         << "Inf";
    QTest::newRow("-inf") << "en_US"
                          << "-inf";
    QTest::newRow("Infinity") << "de_DE"
                              << "Infinity";
    QTest::newRow("NAN") << "de_DE"
                         << "NAN";
}

void tst_frmCategory::wordsThatReadAsNumbersElsewhere()
{
    QFETCH(QString, locale);
    QFETCH(QString, name);
    QLocale::setDefault(QLocale(locale));
    Windows w;
    w.edit(CategoryPtr());
    w.name()->setText(name);
    w.saveEditor();
    QVERIFY2(w.boxes.boxes.isEmpty(), qPrintable(w.titles().join(QLatin1Char(','))));
    QCOMPARE(w.names(), QStringList({"Default", "Books", "Music", name}));
    QVERIFY(w.closed(w.editor));
}

void tst_frmCategory::maxWins_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("stored"); // -1: refused
    QTest::newRow("0") << "0" << 1;
    QTest::newRow("letters") << "abc" << 1;
    QTest::newRow("N/A") << "N/A" << 1;
    QTest::newRow("2.7") << "2.7" << 3;
    QTest::newRow("2.5 to even") << "2.5" << 2;
    QTest::newRow("3.5 to even") << "3.5" << 4;
    QTest::newRow("negative") << "-3" << 1;
    QTest::newRow("0.4 rounds to 0") << "0.4" << 0;
    QTest::newRow("leading number") << "5 wins" << 5;
    QTest::newRow("beyond 32 bits") << "1e308" << -1;
}

void tst_frmCategory::maxWins()
{
    QFETCH(QString, text);
    QFETCH(int, stored);
    Windows w;
    const CategoryPtr books = w.category("Books");
    w.edit(books);
    w.max()->setText(text);
    w.saveEditor();
    if (stored < 0) {
        QCOMPARE(w.titles(), QStringList{QStringLiteral("Information Not Complete")});
        QCOMPARE(books->MaxWins, 3);
    } else {
        QVERIFY(w.boxes.boxes.isEmpty());
        QCOMPARE(books->MaxWins, stored);
        QVERIFY(books->Limited);
    }
}

void tst_frmCategory::addsANewCategory()
{
    Windows w;
    w.edit(CategoryPtr());
    w.name()->setText(QStringLiteral("  Garden "));
    w.limit()->click();
    w.max()->setText(QStringLiteral("2"));
    w.saveEditor();
    QVERIFY(w.boxes.boxes.isEmpty());
    QCOMPARE(w.names(), QStringList({"Default", "Books", "Music", "Garden"}));
    QVERIFY(w.category("Garden")->Limited);
    QCOMPARE(w.category("Garden")->MaxWins, 2);
    QCOMPARE(w.events, QStringList{QStringLiteral("save")});
    QVERIFY(w.closed(w.editor));
}

void tst_frmCategory::editKeepingTheName()
{
    Windows w;
    QSignalSpy updated(&w.app.Categorys(), &Categorys::Updated);
    const CategoryPtr books = w.category("Books");
    w.edit(books);
    w.limit()->click();
    w.saveEditor();
    QVERIFY(w.boxes.boxes.isEmpty());
    QVERIFY(!books->Limited);
    QCOMPARE(books->MaxWins, 1); // "N/A" reads as no number
    QCOMPARE(updated.count(), 1);
    QCOMPARE(w.names(), QStringList({"Default", "Books", "Music"}));
    QCOMPARE(w.placed(), QStringList({"Books", "Books", "books", "Music", "Default"}));
    QCOMPARE(w.events, QStringList{QStringLiteral("save")});
}

void tst_frmCategory::renameMovesTheOldNamesAuctions()
{
    Windows w;
    w.app.Categorys().Current = QStringLiteral("Books");
    w.edit(w.category("Books"));
    w.name()->setText(QStringLiteral(" Novels "));
    w.max()->setText(QStringLiteral("4"));
    w.saveEditor();
    QVERIFY2(w.boxes.boxes.isEmpty(), qPrintable(w.titles().join(QLatin1Char(','))));
    // The new name goes to the end; only the exact old name's auctions move, to the trimmed name.
    QCOMPARE(w.names(), QStringList({"Default", "Music", "Novels"}));
    QCOMPARE(w.placed(), QStringList({"Novels", "Novels", "books", "Music", "Default"}));
    QVERIFY(w.category("Novels")->Limited);
    QCOMPARE(w.category("Novels")->MaxWins, 4);
    QCOMPARE(w.events, QStringList{QStringLiteral("save")});
    QVERIFY(w.closed(w.editor));
}

void tst_frmCategory::renameToAnotherCaseOfTheName()
{
    Windows w;
    const CategoryPtr books = w.category("Books");
    w.edit(books);
    w.name()->setText(QStringLiteral("books"));
    w.limit()->click();
    w.saveEditor();
    QCOMPARE(w.titles(), QStringList{QStringLiteral("Category Save Error")});
    QCOMPARE(w.boxes.boxes.first().text, QStringLiteral("A category named books already exists."));
    QCOMPARE(w.names(), QStringList({"Default", "Books", "Music"}));
    QCOMPARE(w.placed(), QStringList({"Books", "Books", "books", "Music", "Default"}));
    QVERIFY(books->Limited);
    QVERIFY(w.events.isEmpty());
    QVERIFY(!w.closed(w.editor));
}

void tst_frmCategory::categoryRemovedWhileEditing()
{
    Windows w;
    const CategoryPtr music = w.category("Music");
    w.edit(music);
    w.app.Categorys().Remove(QStringLiteral("Music"));
    w.name()->setText(QStringLiteral("Records"));
    w.saveEditor();
    QCOMPARE(w.titles(), QStringList{QStringLiteral("Category Save Error")});
    QCOMPARE(w.boxes.boxes.first().text, QStringLiteral("The category Music no longer exists."));
    QCOMPARE(w.names(), QStringList({"Default", "Books"}));
    QVERIFY(w.events.isEmpty());
}

void tst_frmCategory::removerListsTheOtherCategories()
{
    Windows w;
    QCOMPARE(w.remover->windowTitle(), QStringLiteral("Category Remover"));
    w.removeWith("Books");
    QStringList listed;
    for (int i = 0; i < w.targets()->count(); ++i)
        listed << w.targets()->itemText(i);
    QCOMPARE(listed, QStringList({"Default", "Music"}));
    QCOMPARE(w.targets()->currentIndex(), 0);
    QVERIFY(!w.targets()->isEditable());
    QVERIFY(w.remover->isVisible());
}

void tst_frmCategory::removerMovesAndRemoves()
{
    Windows w;
    w.removeWith("Books");
    w.targets()->setCurrentIndex(w.targets()->findText(QStringLiteral("Music")));
    w.move();
    QVERIFY(w.boxes.boxes.isEmpty());
    QCOMPARE(w.names(), QStringList({"Default", "Music"}));
    QCOMPARE(w.placed(), QStringList({"Music", "Music", "books", "Music", "Default"}));
    // Saved at once, as every other edit is.
    QCOMPARE(w.events, QStringList{QStringLiteral("save")});
    QVERIFY(w.closed(w.remover));
}

void tst_frmCategory::removerWithOneCategoryOnly()
{
    Windows w;
    w.app.Categorys().Remove(QStringLiteral("Books"));
    w.app.Categorys().Remove(QStringLiteral("Music"));
    w.removeWith("Default");
    QCOMPARE(w.targets()->count(), 0);
    w.move();
    w.move();
    QCOMPARE(w.titles(), QStringList({"Information Not Complete", "Information Not Complete"}));
    QCOMPARE(w.names(), QStringList{QStringLiteral("Default")});
    QVERIFY(w.events.isEmpty());
}

void tst_frmCategory::removerTargetGoneMeanwhile()
{
    Windows w;
    w.removeWith("Books");
    w.targets()->setCurrentIndex(w.targets()->findText(QStringLiteral("Music")));
    // Another window removes the chosen category while the remover is open.
    w.app.Categorys().Remove(QStringLiteral("Music"));
    w.move();
    QCOMPARE(w.titles(), QStringList{QStringLiteral("Category Remove Error")});
    QCOMPARE(w.boxes.boxes.first().text, QStringLiteral("There is no category named Music."));
    // Nothing moved and the category stays: no auction names a category that no view shows.
    QCOMPARE(w.names(), QStringList({"Default", "Books"}));
    QCOMPARE(w.placed(), QStringList({"Books", "Books", "books", "Music", "Default"}));
    QVERIFY(w.events.isEmpty());
    QVERIFY(!w.closed(w.remover));
}

void tst_frmCategory::removerCategoryGoneMeanwhile()
{
    Windows w;
    w.removeWith("Books");
    w.app.Categorys().Remove(QStringLiteral("Books"));
    w.move();
    QCOMPARE(w.titles(), QStringList{QStringLiteral("Category Remove Error")});
    QCOMPARE(w.boxes.boxes.first().text, QStringLiteral("The category Books no longer exists."));
    QCOMPARE(w.placed(), QStringList({"Books", "Books", "books", "Music", "Default"}));
    QVERIFY(w.events.isEmpty());
}

QTEST_MAIN(tst_frmCategory)
#include "tst_frmCategory.moc"
