#include "CaughtError.h"
#include "Dialog.h"
#include "ScriptedDialogBackend.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// A Dialog on a scripted backend that the test keeps a hand on.
struct Scripted
{
    ScriptedDialogBackend* backend = new ScriptedDialogBackend;
    Dialog dialog{std::unique_ptr<DialogBackend>(backend)};
};

// Runs `act` on the first modal dialog of type T once it is up; gives up after a few seconds.
template <typename T> void whenModal(std::function<void(T*)> act, int triesLeft = 200)
{
    QTimer::singleShot(20, [act, triesLeft] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            act(dialog);
        } else if (triesLeft > 0) {
            whenModal<T>(act, triesLeft - 1);
        }
    });
}

} // namespace

class tst_Dialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void nameFilters_data();
    void nameFilters();
    void fileTitle_data();
    void fileTitle();
    void openFileArguments();
    void saveFileArguments();
    void cancelledFileDialogsClearTheirOutputs_data();
    void cancelledFileDialogsClearTheirOutputs();
    void severalChosenFiles();
    void customColorsPerObject();
    void chooseColor_data();
    void chooseColor();
    void chooseFont_data();
    void chooseFont();
    void printDialog();
    void pageSetup_data();
    void pageSetup();
    void pageSetupMarginOverflow();

    void realSaveDialogAppendsTheExtension();
    void realColorDialogUsesBlueGreenRed();
    void aDialogWhoseOwnerIsDeletedIsCancelled();
};

void tst_Dialog::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("qt");
    QTest::newRow("zip") << "Zip (*.zip)|*.zip" << QStringList{"Zip (*.zip)"};
    // Every file: "*.*" would ask for a point in the name here.
    QTest::newRow("default") << Dialog::AllFilesFilter << QStringList{"All (*)"};
    QTest::newRow("two entries") << "Text|*.txt;*.log|All|*.*"
                                 << QStringList{"Text (*.txt *.log)", "All (*)"};
    QTest::newRow("patterns in brackets")
        << "Pictures (*.png;*.jpg)|*.png;*.jpg" << QStringList{"Pictures (*.png *.jpg)"};
    QTest::newRow("other bracket") << "Backups (old)|*.bak" << QStringList{"Backups (old) (*.bak)"};
    // A colon separates like a bar does.
    QTest::newRow("colon") << "Log: all|*.log" << QStringList{"Log (all)"};
    QTest::newRow("empty part ends") << "Zip|*.zip||Text|*.txt" << QStringList{"Zip (*.zip)"};
    QTest::newRow("no pattern") << "Zip" << QStringList{};
    QTest::newRow("empty") << "" << QStringList{};
}

void tst_Dialog::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, qt);
    QCOMPARE(Dialog::nameFilters(filter), qt);
}

void tst_Dialog::fileTitle_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("title");
    QTest::newRow("path") << "/home/ann/Auction Orv Debug Package.zip"
                          << "Auction Orv Debug Package.zip";
    QTest::newRow("bare name") << "report.txt"
                               << "report.txt";
    QTest::newRow("folder") << "/home/ann/"
                            << "";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_Dialog::fileTitle()
{
    QFETCH(QString, file);
    QFETCH(QString, title);
    QCOMPARE(Dialog::VBGetFileTitle(file), title);
}

void tst_Dialog::openFileArguments()
{
    Scripted s;
    QCOMPARE(s.dialog.APIReturn(), 0);
    s.backend->fileAnswer = [](DialogBackend::FileDialog& d) {
        d.chosen = {QStringLiteral("/data/logs/day.log")};
        d.filterIndex = 2;
        d.flags = Dialog::OFN_READONLY | Dialog::OFN_FILEMUSTEXIST;
        return true;
    };
    QObject owner;
    Dialog::OpenFileArguments a{.Filename = QStringLiteral("start.txt"),
                                .MultiSelect = true,
                                .HideReadOnly = true,
                                .Filter = QStringLiteral("Text|*.txt|Logs|*.log"),
                                .FilterIndex = 2,
                                .InitDir = QStringLiteral("/data"),
                                .DlgTitle = QStringLiteral("Open Log"),
                                .DefaultExt = QStringLiteral("log"),
                                .Owner = &owner,
                                .Flags = Dialog::OFN_PATHMUSTEXIST | Dialog::OFN_ENABLEHOOK |
                                         Dialog::OFN_ENABLETEMPLATE};
    QVERIFY(s.dialog.VBGetOpenFileName(a));

    const DialogBackend::FileDialog& asked = s.backend->fileRuns.constFirst();
    QVERIFY(!asked.save);
    // The arguments' flags and the caller's own, without the hook and template bits.
    QCOMPARE(asked.flags, Dialog::OFN_FILEMUSTEXIST | Dialog::OFN_ALLOWMULTISELECT |
                              Dialog::OFN_HIDEREADONLY | Dialog::OFN_PATHMUSTEXIST);
    QCOMPARE(asked.fileName, QStringLiteral("start.txt"));
    QCOMPARE(asked.filters, QStringList({"Text (*.txt)", "Logs (*.log)"}));
    QCOMPARE(asked.filterIndex, 2);
    QCOMPARE(asked.initDir, QStringLiteral("/data"));
    QCOMPARE(asked.title, QStringLiteral("Open Log"));
    QCOMPARE(asked.defaultExt, QStringLiteral("log"));
    QCOMPARE(asked.owner, &owner);

    QCOMPARE(a.Filename, QStringLiteral("/data/logs/day.log"));
    QCOMPARE(a.FileTitle, QStringLiteral("day.log"));
    QCOMPARE(a.Filter, QStringLiteral("Logs|*.log"));
    QCOMPARE(a.FilterIndex, 2);
    QCOMPARE(a.Flags, Dialog::OFN_READONLY | Dialog::OFN_FILEMUSTEXIST);
    QVERIFY(a.ReadOnly);
    QCOMPARE(s.dialog.APIReturn(), 1);
    QCOMPARE(s.dialog.ExtendedError(), 0);

    // A read-only box left clear comes back clear.
    s.backend->fileAnswer = [](DialogBackend::FileDialog& d) {
        d.chosen = {QStringLiteral("/data/a.txt")};
        d.flags = 0;
        return true;
    };
    Dialog::OpenFileArguments again{.ReadOnly = true};
    QVERIFY(s.dialog.VBGetOpenFileName(again));
    QCOMPARE(s.backend->fileRuns.constLast().flags, Dialog::OFN_FILEMUSTEXIST | Dialog::OFN_READONLY);
    QCOMPARE(s.backend->fileRuns.constLast().filters, QStringList{"All (*)"});
    QVERIFY(!again.ReadOnly);
}

void tst_Dialog::saveFileArguments()
{
    Scripted s;
    s.backend->fileAnswer = [](DialogBackend::FileDialog& d) {
        d.chosen = {QStringLiteral("/home/ann/Auction Orv Debug Package.zip")};
        return true;
    };
    Dialog::SaveFileArguments a{.Filename = QStringLiteral("Auction Orv Debug Package"),
                                .Filter = QStringLiteral("Zip (*.zip)|*.zip"),
                                .DlgTitle = QStringLiteral("Save Debug Package"),
                                .DefaultExt = QStringLiteral("zip")};
    QVERIFY(s.dialog.VBGetSaveFileName(a));
    const DialogBackend::FileDialog& asked = s.backend->fileRuns.constFirst();
    QVERIFY(asked.save);
    QCOMPARE(asked.flags, Dialog::OFN_OVERWRITEPROMPT | Dialog::OFN_HIDEREADONLY);
    QCOMPARE(asked.filters, QStringList{"Zip (*.zip)"});
    QCOMPARE(a.Filename, QStringLiteral("/home/ann/Auction Orv Debug Package.zip"));
    QCOMPARE(a.FileTitle, QStringLiteral("Auction Orv Debug Package.zip"));
    QCOMPARE(a.Filter, QStringLiteral("Zip (*.zip)|*.zip"));
    QCOMPARE(a.FilterIndex, 1);

    Dialog::SaveFileArguments noPrompt{.OverWritePrompt = false};
    QVERIFY(s.dialog.VBGetSaveFileName(noPrompt));
    QCOMPARE(s.backend->fileRuns.constLast().flags, Dialog::OFN_HIDEREADONLY);
}

void tst_Dialog::cancelledFileDialogsClearTheirOutputs_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<int>("filterIndex");
    QTest::newRow("open") << false << -1;
    QTest::newRow("save") << true << 0;
}

void tst_Dialog::cancelledFileDialogsClearTheirOutputs()
{
    QFETCH(bool, save);
    QFETCH(int, filterIndex);
    Scripted s;
    s.backend->fileAnswer = [](DialogBackend::FileDialog& d) {
        d.chosen = {QStringLiteral("/ignored")};
        return true;
    };
    Dialog::OpenFileArguments confirmed;
    QVERIFY(s.dialog.VBGetOpenFileName(confirmed));
    QCOMPARE(s.dialog.APIReturn(), 1);

    s.backend->fileAnswer = {};
    bool result = true;
    QString filename, title, filter;
    qint32 flags = -1, index = 7;
    if (save) {
        Dialog::SaveFileArguments a{
            .Filename = QStringLiteral("x"), .FileTitle = QStringLiteral("x"), .Flags = 16};
        result = s.dialog.VBGetSaveFileName(a);
        std::tie(filename, title, filter, flags, index) =
            std::tie(a.Filename, a.FileTitle, a.Filter, a.Flags, a.FilterIndex);
    } else {
        Dialog::OpenFileArguments a{
            .Filename = QStringLiteral("x"), .FileTitle = QStringLiteral("x"), .Flags = 16};
        result = s.dialog.VBGetOpenFileName(a);
        std::tie(filename, title, filter, flags, index) =
            std::tie(a.Filename, a.FileTitle, a.Filter, a.Flags, a.FilterIndex);
    }
    QVERIFY(!result);
    QCOMPARE(filename, QString());
    QCOMPARE(title, QString());
    QCOMPARE(filter, QString());
    QCOMPARE(flags, 0);
    QCOMPARE(index, filterIndex);
    QCOMPARE(s.dialog.APIReturn(), 0);
}

void tst_Dialog::severalChosenFiles()
{
    Scripted s;
    s.backend->fileAnswer = [](DialogBackend::FileDialog& d) {
        d.chosen = {QStringLiteral("/data/a.txt"), QStringLiteral("/data/b.txt")};
        return true;
    };
    Dialog::OpenFileArguments a{.MultiSelect = true};
    QVERIFY(s.dialog.VBGetOpenFileName(a));
    // The folder, then each name, as the dialog's own buffer lists them.
    QCOMPARE(a.Filename.split(QChar(0)), QStringList({"/data", "a.txt", "b.txt"}));
    QCOMPARE(a.FileTitle, QStringLiteral("a.txt"));
}

void tst_Dialog::customColorsPerObject()
{
    Scripted s;
    QCOMPARE(s.dialog.CustomColor(16), -1);
    QCOMPARE(s.dialog.CustomColor(-1), -1);
    QCOMPARE(s.backend->systemColorReads, 0);
    QCOMPARE(s.dialog.CustomColor(0), s.backend->system[0]);
    QCOMPARE(s.dialog.CustomColor(15), s.backend->system[15]);
    s.dialog.setCustomColor(3, 0x123456);
    s.dialog.setCustomColor(16, 0x654321);
    QCOMPARE(s.dialog.CustomColor(3), 0x123456);

    // The colour dialog gets the object's sixteen, and the user's changes stay, even when cancelled.
    s.backend->colorAnswer = [](DialogBackend::ColorDialog& d) {
        d.customColors[5] = 0x00ABCD;
        return false;
    };
    Dialog::ChooseColorArguments a;
    QVERIFY(!s.dialog.VBChooseColor(a));
    QCOMPARE(s.backend->colorRuns.constFirst().customColors[3], 0x123456);
    QCOMPARE(s.backend->colorRuns.constFirst().customColors[0], s.backend->system[0]);
    QCOMPARE(s.dialog.CustomColor(5), 0x00ABCD);
    QVERIFY(!s.dialog.VBChooseColor(a));
    QCOMPARE(s.backend->colorRuns.constLast().customColors[5], 0x00ABCD);
    QCOMPARE(s.backend->systemColorReads, 1);

    // Another object has its own.
    Scripted other;
    QCOMPARE(other.dialog.CustomColor(3), other.backend->system[3]);
}

void tst_Dialog::chooseColor_data()
{
    QTest::addColumn<bool>("anyColor");
    QTest::addColumn<bool>("fullOpen");
    QTest::addColumn<bool>("disableFullOpen");
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<int>("color");
    QTest::newRow("any colour, chosen")
        << true << false << false << (Dialog::CC_ANYCOLOR | Dialog::CC_RGBINIT) << true << 0x00FF00;
    QTest::newRow("solid, full open")
        << false << true << true
        << (Dialog::CC_SOLIDCOLOR | Dialog::CC_RGBINIT | Dialog::CC_FULLOPEN | Dialog::CC_PREVENTFULLOPEN)
        << true << 0x0000FF;
    QTest::newRow("cancelled") << true << false << false << (Dialog::CC_ANYCOLOR | Dialog::CC_RGBINIT)
                               << false << -1;
}

void tst_Dialog::chooseColor()
{
    QFETCH(bool, anyColor);
    QFETCH(bool, fullOpen);
    QFETCH(bool, disableFullOpen);
    QFETCH(int, flags);
    QFETCH(bool, confirm);
    QFETCH(int, color);
    Scripted s;
    s.backend->colorAnswer = [&](DialogBackend::ColorDialog& d) {
        d.color = color;
        return confirm;
    };
    Dialog::ChooseColorArguments a{.Color = 0x804020,
                                   .AnyColor = anyColor,
                                   .FullOpen = fullOpen,
                                   .DisableFullOpen = disableFullOpen,
                                   .Flags = Dialog::CC_ENABLEHOOK};
    QCOMPARE(s.dialog.VBChooseColor(a), confirm);
    QCOMPARE(s.backend->colorRuns.constFirst().flags, flags);
    QCOMPARE(s.backend->colorRuns.constFirst().color, 0x804020);
    QCOMPARE(a.Color, color);
    QCOMPARE(s.dialog.APIReturn(), confirm ? 1 : 0);
}

void tst_Dialog::chooseFont_data()
{
    QTest::addColumn<int>("flagsIn");
    QTest::addColumn<int>("color");
    QTest::addColumn<int>("minSize");
    QTest::addColumn<int>("flagsAsked");
    QTest::newRow("plain") << 0 << 0 << 0 << (Dialog::CF_SCREENFONTS | Dialog::CF_INITTOLOGFONTSTRUCT);
    QTest::newRow("printer fonts") << int(Dialog::CF_PRINTERFONTS) << 0 << 0
                                   << (Dialog::CF_PRINTERFONTS | Dialog::CF_INITTOLOGFONTSTRUCT);
    QTest::newRow("colour and limits") << 0 << 0x0000FF << 8
                                       << (Dialog::CF_SCREENFONTS | Dialog::CF_EFFECTS |
                                           Dialog::CF_LIMITSIZE | Dialog::CF_INITTOLOGFONTSTRUCT);
    QTest::newRow("hook bits dropped")
        << (Dialog::CF_ENABLEHOOK | Dialog::CF_ENABLETEMPLATE | Dialog::CF_APPLY | Dialog::CF_FIXEDPITCHONLY)
        << 0 << 0 << (Dialog::CF_FIXEDPITCHONLY | Dialog::CF_SCREENFONTS | Dialog::CF_INITTOLOGFONTSTRUCT);
}

void tst_Dialog::chooseFont()
{
    QFETCH(int, flagsIn);
    QFETCH(int, color);
    QFETCH(int, minSize);
    QFETCH(int, flagsAsked);
    Scripted s;
    const Dialog::Font initial{QStringLiteral("Sans"), 10.5, 400, false, true, false, true};
    Dialog::ChooseFontArguments a{.CurFont = initial, .Color = color, .MinSize = minSize, .Flags = flagsIn};

    // Cancelled: the font stays.
    QVERIFY(!s.dialog.VBChooseFont(a));
    const DialogBackend::FontDialog& asked = s.backend->fontRuns.constFirst();
    QCOMPARE(asked.flags, flagsAsked);
    QCOMPARE(asked.faceName, QStringLiteral("Sans"));
    QCOMPARE(asked.pointSize10, 105);
    QVERIFY(asked.italic && asked.strikeOut && !asked.underline);
    QCOMPARE(asked.color, color);
    QCOMPARE(asked.minSize, minSize);
    QCOMPARE(a.CurFont.Name, initial.Name);
    QCOMPARE(a.Flags, flagsIn);

    s.backend->fontAnswer = [](DialogBackend::FontDialog& d) {
        d.faceName = QStringLiteral("Serif");
        d.pointSize10 = 125;
        d.weight = 700;
        d.italic = false;
        d.underline = true;
        d.strikeOut = false;
        d.fontType = Dialog::BOLD_FONTTYPE;
        d.color = 0x00FF00;
        d.flags = 99;
        return true;
    };
    QVERIFY(s.dialog.VBChooseFont(a));
    QCOMPARE(a.CurFont.Name, QStringLiteral("Serif"));
    QCOMPARE(a.CurFont.Size, 12.5);
    QCOMPARE(a.CurFont.Weight, 700);
    QVERIFY(a.CurFont.Bold && a.CurFont.Underline && !a.CurFont.Italic && !a.CurFont.Strikethrough);
    QCOMPARE(a.Color, 0x00FF00);
    QCOMPARE(a.Flags, 99);
}

void tst_Dialog::printDialog()
{
    Scripted s;
    const qint32 always = Dialog::PD_USEDEVMODECOPIESANDCOLLATE | Dialog::PD_RETURNDC;
    Dialog::PrintArguments defaults;
    QVERIFY(!s.dialog.VBPrintDlg(defaults));
    QCOMPARE(s.backend->printRuns.constFirst().flags,
             always | Dialog::PD_DISABLEPRINTTOFILE | Dialog::PD_HIDEPRINTTOFILE);
    QCOMPARE(s.backend->printRuns.constFirst().fromPage, 1);
    QCOMPARE(s.backend->printRuns.constFirst().toPage, -1);

    s.backend->printAnswer = [](DialogBackend::PrintDialog& d) {
        d.flags = Dialog::PD_SELECTION | Dialog::PD_PRINTTOFILE;
        d.fromPage = 2;
        d.toPage = 4;
        d.deviceMode.copies = 3;
        d.deviceMode.collate = true;
        d.deviceMode.orientation = Dialog::eoLandscape;
        d.deviceMode.paperSize = Dialog::epsA4;
        d.deviceMode.printQuality = Dialog::epqHigh;
        return true;
    };
    Dialog::PrinterObject printer;
    Dialog::PrintArguments a{.PrintRange = Dialog::eprPageNumbers,
                             .DisablePageNumbers = true,
                             .FromPage = 2,
                             .ToPage = 9,
                             .DisableSelection = true,
                             .ShowPrintToFile = true,
                             .DisablePrintToFile = false,
                             .PrintToFile = true,
                             .Collate = true,
                             .PreventWarning = true,
                             .Printer = &printer,
                             .Flags = Dialog::PD_ENABLEPRINTHOOK};
    QVERIFY(s.dialog.VBPrintDlg(a));
    QCOMPARE(s.backend->printRuns.constLast().flags, always | Dialog::PD_NOPAGENUMS | Dialog::PD_NOSELECTION |
                                                         Dialog::PD_PRINTTOFILE | Dialog::PD_NOWARNING |
                                                         Dialog::PD_COLLATE | Dialog::PD_PAGENUMS);
    QCOMPARE(s.backend->printRuns.constLast().toPage, 9);
    QCOMPARE(a.PrintRange, Dialog::eprSelection);
    QCOMPARE(a.FromPage, 2);
    QCOMPARE(a.ToPage, 4);
    QVERIFY(a.PrintToFile);
    QCOMPARE(a.Copies, 3);
    QVERIFY(a.Collate);
    QCOMPARE(printer.Copies, 3);
    QCOMPARE(printer.Orientation, Dialog::eoLandscape);
    QCOMPARE(printer.PaperSize, Dialog::epsA4);
    QCOMPARE(printer.PrintQuality, Dialog::epqHigh);

    // The printer settings are kept for the next print dialog.
    Dialog::PrintArguments next{.PrintRange = Dialog::eprSelection};
    s.backend->printAnswer = {};
    QVERIFY(!s.dialog.VBPrintDlg(next));
    QCOMPARE(s.backend->printRuns.constLast().deviceMode.copies, 3);
    QCOMPARE(s.backend->printRuns.constLast().deviceMode.paperSize, Dialog::epsA4);
    QVERIFY(s.backend->printRuns.constLast().flags & Dialog::PD_SELECTION);
}

void tst_Dialog::pageSetup_data()
{
    QTest::addColumn<int>("units");
    QTest::addColumn<int>("unitFlag");
    QTest::addColumn<int>("factor");
    QTest::newRow("millimetres") << int(Dialog::epsuMillimeters) << int(Dialog::PSD_INHUNDREDTHSOFMILLIMETERS)
                                 << 100;
    QTest::newRow("inches") << int(Dialog::epsuInches) << int(Dialog::PSD_INTHOUSANDTHSOFINCHES) << 1000;
}

void tst_Dialog::pageSetup()
{
    QFETCH(int, units);
    QFETCH(int, unitFlag);
    QFETCH(int, factor);
    Scripted s;
    s.backend->pageSetupAnswer = [factor](DialogBackend::PageSetupDialog& d) {
        // Rounded back to whole units: 10.49 and 10.51.
        d.margins = {factor * 1049 / 100, d.margins[1], factor * 1051 / 100, d.margins[3]};
        d.deviceMode.paperSize = Dialog::epsLegal;
        d.deviceMode.orientation = Dialog::eoLandscape;
        return true;
    };
    Dialog::PrinterObject printer;
    Dialog::PageSetupArguments a{.DisableOrientation = true,
                                 .DisablePrinter = true,
                                 .LeftMargin = 10,
                                 .MinLeftMargin = 1,
                                 .RightMargin = 10,
                                 .TopMargin = 20,
                                 .BottomMargin = 5,
                                 .MinBottomMargin = 2,
                                 .PaperSize = Dialog::epsA4,
                                 .Units = units,
                                 .Printer = &printer};
    QVERIFY(s.dialog.VBPageSetupDlg(a));
    const DialogBackend::PageSetupDialog& asked = s.backend->pageSetupRuns.constFirst();
    QCOMPARE(asked.flags, Dialog::PSD_MINMARGINS | Dialog::PSD_MARGINS | Dialog::PSD_DISABLEORIENTATION |
                              Dialog::PSD_DISABLEPRINTER | unitFlag);
    QCOMPARE(asked.margins, (std::array<qint32, 4>{10 * factor, 20 * factor, 10 * factor, 5 * factor}));
    QCOMPARE(asked.minMargins, (std::array<qint32, 4>{1 * factor, 0, 0, 2 * factor}));
    QCOMPARE(asked.deviceMode.paperSize, Dialog::epsA4);
    QCOMPARE(a.LeftMargin, 10);
    QCOMPARE(a.RightMargin, 11);
    QCOMPARE(a.TopMargin, 20);
    QCOMPARE(a.MinBottomMargin, 2);
    QCOMPARE(a.PaperSize, Dialog::epsLegal);
    QCOMPARE(a.Orientation, Dialog::eoLandscape);
    QCOMPARE(printer.PaperSize, Dialog::epsLegal);
    QCOMPARE(printer.Orientation, Dialog::eoLandscape);
}

void tst_Dialog::pageSetupMarginOverflow()
{
    Scripted s;
    Dialog::PageSetupArguments a{.LeftMargin = 3'000'000, .Units = Dialog::epsuInches};
    const std::optional<OrvError> error = caughtError([&] { s.dialog.VBPageSetupDlg(a); });
    QVERIFY(error);
    QCOMPARE(error->number(), 6);
    QVERIFY(s.backend->pageSetupRuns.isEmpty());
    QCOMPARE(a.LeftMargin, 3'000'000);
}

void tst_Dialog::realSaveDialogAppendsTheExtension()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    Dialog dialog;
    bool typed = false;
    whenModal<QFileDialog>([&](QFileDialog* shown) {
        QCOMPARE(shown->windowTitle(), QStringLiteral("Save Debug Package"));
        QCOMPARE(shown->nameFilters(), QStringList{"Zip (*.zip)"});
        auto* name = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(QStringLiteral("bare"));
        typed = true;
        // Through the base class: the file dialog's own accept is protected.
        static_cast<QDialog*>(shown)->accept();
    });
    Dialog::SaveFileArguments a{.Filename = QString(),
                                .Filter = QStringLiteral("Zip (*.zip)|*.zip"),
                                .InitDir = folder.path(),
                                .DlgTitle = QStringLiteral("Save Debug Package"),
                                .DefaultExt = QStringLiteral("zip")};
    QVERIFY(dialog.VBGetSaveFileName(a));
    QVERIFY(typed);
    QCOMPARE(a.Filename, folder.filePath(QStringLiteral("bare.zip")));
    QCOMPARE(a.FileTitle, QStringLiteral("bare.zip"));
    QCOMPARE(a.FilterIndex, 1);

    // Cancelled: nothing chosen.
    whenModal<QFileDialog>([](QFileDialog* shown) { shown->reject(); });
    QVERIFY(!dialog.VBGetSaveFileName(a));
    QCOMPARE(a.Filename, QString());
}

void tst_Dialog::realColorDialogUsesBlueGreenRed()
{
    Dialog dialog;
    dialog.setCustomColor(0, 0x00FF00);
    QColor shownAtStart;
    QColor shownCustom;
    whenModal<QColorDialog>([&](QColorDialog* shown) {
        shownAtStart = shown->currentColor();
        shownCustom = QColorDialog::customColor(0);
        shown->setCurrentColor(QColor(0, 0, 255));
        shown->accept();
    });
    Dialog::ChooseColorArguments a{.Color = 0x0000FF};
    QVERIFY(dialog.VBChooseColor(a));
    QCOMPARE(shownAtStart, QColor(255, 0, 0));
    QCOMPARE(shownCustom, QColor(0, 255, 0));
    QCOMPARE(a.Color, 0xFF0000);
}

// The owner window deleted while its dialog waits (the program closes windows of its own accord): the
// dialog goes with it and counts as cancelled.
void tst_Dialog::aDialogWhoseOwnerIsDeletedIsCancelled()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    auto* owner = new QWidget;
    owner->setAttribute(Qt::WA_DeleteOnClose);
    owner->show();
    QPointer<QWidget> ownerAlive = owner;
    QPointer<QFileDialog> shownAlive;
    whenModal<QFileDialog>([&](QFileDialog* shown) {
        shownAlive = shown;
        QCOMPARE(shown->parentWidget(), owner);
        owner->close();
    });
    Dialog dialog;
    Dialog::SaveFileArguments a{.Filename = QStringLiteral("kept"),
                                .InitDir = folder.path(),
                                .DlgTitle = QStringLiteral("Save Debug Package"),
                                .Owner = owner};
    QVERIFY(!dialog.VBGetSaveFileName(a));
    QCOMPARE(a.Filename, QString());
    QTRY_VERIFY(ownerAlive.isNull());
    QVERIFY(shownAlive.isNull());
}

QTEST_MAIN(tst_Dialog)
#include "tst_Dialog.moc"
