// The band on the bus beside the real program, in this process: the program's category editor renames
// a category and its remover moves a category's auctions into another, and the band's tree shows the
// auctions where the program's own list does.
#include "Auction.h"
#include "Auctions.h"
#include "BandTree.h"
#include "BusFace.h"
#include "Categorys.h"
#include "DialogServices.h"
#include "OrvBus.h"
#include "ProgramOnTheBus.h"
#include "RecordingMessageBoxSink.h"
#include "RemoteApp.h"
#include "RemoteBusBackend.h"
#include "RemotecApp.h"
#include "cApp.h"
#include "ctlAuctionsBand.h"
#include "frmCategory.h"
#include "frmCategoryDelete.h"

#include <QComboBox>
#include <QDBusConnection>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

QStringList rootTexts(const QTreeWidget* tree)
{
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0);
    return texts;
}

// The categories of the program's own list, as the band's root lines read them.
QStringList listed(cApp& app)
{
    QStringList texts;
    for (const CategoryPtr& category : app.Categorys().Items()) {
        int count = 0;
        for (const AuctionPtr& auction : app.Auctions().Items())
            count += category->Contains(*auction) ? 1 : 0;
        texts << QStringLiteral("%1 (%2)").arg(category->Name).arg(count);
    }
    texts.sort(Qt::CaseInsensitive);
    return texts;
}

} // namespace

class tst_BandCategoriesOnTheBus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theTreeFollowsTheEditorAndTheRemover()
    {
        ProgramOnTheBus program;
        QVERIFY(program.start());
        cApp& app = program.app;
        app.Categorys().Add(QStringLiteral("Books"), false, 1);
        app.Categorys().Add(QStringLiteral("Music"), false, 1);
        for (const auto& [item, category] :
             {std::pair{"100", "Default"}, {"200", "Books"}, {"201", "Books"}, {"300", "Music"}})
            app.Auctions().Add(QString::fromLatin1(item), QString::fromLatin1(category));

        // The band's link on a connection of its own, as the band's process has.
        const QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "band");
        QVERIFY(client.isConnected());
        {
            Remote::cApp link(std::make_unique<Remote::BusBackend>(client, OrvBus::serviceName));
            RecordingMessageBoxSink bandBoxes;
            ctlAuctionsBand band(bandBoxes);
            band.View(link.App(), nullptr);
            QTreeWidget* tree = band.TreeView();
            QTRY_COMPARE(rootTexts(tree), QStringList({"Books (2)", "Default (1)", "Music (1)"}));

            // Renamed in the program's editor.
            QPointer<frmCategory> editor = new frmCategory(DialogServices::of(app));
            editor->View(app.Categorys(), app.Auctions(), app.Categorys().Item(QStringLiteral("Books")));
            editor->findChild<QLineEdit*>(QStringLiteral("txtName"))->setText(QStringLiteral("Novels"));
            editor->findChild<QPushButton*>(QStringLiteral("cmdSave"))->click();
            QTRY_COMPARE(rootTexts(tree), listed(app));
            QCOMPARE(rootTexts(tree), QStringList({"Default (1)", "Music (1)", "Novels (2)"}));
            QCOMPARE(band.node(QStringLiteral("201~"))->parent(), band.node(QStringLiteral("Novels:CAT")));

            // Removed in the program's remover, its auction moved into the renamed category.
            QPointer<frmCategoryDelete> remover = new frmCategoryDelete(DialogServices::of(app));
            remover->View(app.Auctions(), app.Categorys(), app.Categorys().Item(QStringLiteral("Music")));
            auto* targets = remover->findChild<QComboBox*>(QStringLiteral("cboCategory"));
            targets->setCurrentIndex(targets->findData(QStringLiteral("Novels")));
            remover->findChild<QPushButton*>(QStringLiteral("cmdSelect"))->click();
            QTRY_COMPARE(rootTexts(tree), listed(app));
            QCOMPARE(rootTexts(tree), QStringList({"Default (1)", "Novels (3)"}));
            QCOMPARE(band.node(QStringLiteral("300~"))->parent(), band.node(QStringLiteral("Novels:CAT")));
            QVERIFY(program.boxes.boxes.isEmpty());
            QVERIFY(bandBoxes.boxes.isEmpty());
            delete editor;
            delete remover;
            band.Release();
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("band"));
    }
};

QTEST_MAIN(tst_BandCategoriesOnTheBus)
#include "tst_BandCategoriesOnTheBus.moc"
