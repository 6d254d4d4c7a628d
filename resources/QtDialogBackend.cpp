#include "QtDialogBackend.h"

#include "Dialog.h"
#include "GuardedDialog.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPalette>
#include <QPrintDialog>
#include <QPrinter>
#include <cmath>

namespace {

QWidget* ownerWidget(QObject* owner)
{
    return qobject_cast<QWidget*>(owner);
}

QColor fromBgr(qint32 color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

qint32 toBgr(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

void applyDeviceMode(QPrinter& printer, const DialogBackend::DeviceMode& mode)
{
    if (!mode.deviceName.isEmpty())
        printer.setPrinterName(mode.deviceName);
    printer.setCopyCount(qMax<int>(1, mode.copies));
    printer.setCollateCopies(mode.collate);
    printer.setPageOrientation(mode.orientation == Dialog::eoLandscape ? QPageLayout::Landscape
                                                                       : QPageLayout::Portrait);
    const QPageSize size(QPageSize::id(mode.paperSize));
    if (size.isValid())
        printer.setPageSize(size);
}

DialogBackend::DeviceMode deviceModeOf(const QPrinter& printer, qint16 printQuality)
{
    DialogBackend::DeviceMode mode;
    mode.deviceName = printer.printerName();
    mode.copies = qint16(printer.copyCount());
    mode.collate = printer.collateCopies();
    mode.orientation =
        qint16(printer.pageLayout().orientation() == QPageLayout::Landscape ? Dialog::eoLandscape
                                                                            : Dialog::eoPortrait);
    mode.paperSize = qint16(printer.pageLayout().pageSize().windowsId());
    // Qt's dialogs have no print quality: it stays as it was asked for.
    mode.printQuality = printQuality;
    return mode;
}

} // namespace

bool QtDialogBackend::runFile(FileDialog& d)
{
    GuardedDialog<QFileDialog> dialog(ownerWidget(d.owner), d.title, d.initDir);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    if (d.save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setOption(QFileDialog::DontConfirmOverwrite, !(d.flags & Dialog::OFN_OVERWRITEPROMPT));
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode((d.flags & Dialog::OFN_ALLOWMULTISELECT) ? QFileDialog::ExistingFiles
                            : (d.flags & Dialog::OFN_FILEMUSTEXIST)  ? QFileDialog::ExistingFile
                                                                     : QFileDialog::AnyFile);
    }
    if (!d.filters.isEmpty()) {
        dialog->setNameFilters(d.filters);
        if (d.filterIndex >= 1 && d.filterIndex <= d.filters.size())
            dialog->selectNameFilter(d.filters.at(d.filterIndex - 1));
    }
    if (!d.defaultExt.isEmpty())
        dialog->setDefaultSuffix(d.defaultExt);
    if (!d.fileName.isEmpty())
        dialog->selectFile(d.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    d.chosen = dialog->selectedFiles();
    d.fileName = d.chosen.value(0);
    d.filterIndex = d.filters.indexOf(dialog->selectedNameFilter()) + 1;
    return true;
}

bool QtDialogBackend::runColor(ColorDialog& d)
{
    // Qt keeps one set of custom colours for the whole program: each dialog gets this object's own.
    for (int i = 0; i < int(d.customColors.size()) && i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, fromBgr(d.customColors.at(i)));
    GuardedDialog<QColorDialog> dialog(fromBgr(d.color), ownerWidget(d.owner));
    dialog->setOption(QColorDialog::DontUseNativeDialog);
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    for (int i = 0; i < int(d.customColors.size()) && i < QColorDialog::customCount(); ++i)
        d.customColors[i] = toBgr(QColorDialog::customColor(i));
    if (confirmed)
        d.color = toBgr(dialog->selectedColor());
    return confirmed;
}

bool QtDialogBackend::runFont(FontDialog& d)
{
    QFont initial(d.faceName);
    if (d.pointSize10 > 0)
        initial.setPointSizeF(d.pointSize10 / 10.0);
    initial.setWeight(QFont::Weight(d.weight > 0 ? qBound(1, d.weight, 1000) : 400));
    initial.setItalic(d.italic);
    initial.setUnderline(d.underline);
    initial.setStrikeOut(d.strikeOut);
    GuardedDialog<QFontDialog> dialog(initial, ownerWidget(d.owner));
    QFontDialog::FontDialogOptions options = QFontDialog::DontUseNativeDialog;
    if (d.flags & Dialog::CF_FIXEDPITCHONLY)
        options |= QFontDialog::MonospacedFonts;
    if (d.flags & Dialog::CF_SCALABLEONLY)
        options |= QFontDialog::ScalableFonts;
    dialog->setOptions(options);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QFont font = dialog->selectedFont();
    d.faceName = font.family();
    d.pointSize10 = qint32(std::lround(font.pointSizeF() * 10));
    d.weight = font.weight();
    d.italic = font.italic();
    d.underline = font.underline();
    d.strikeOut = font.strikeOut();
    d.fontType = (font.bold() ? Dialog::BOLD_FONTTYPE : Dialog::REGULAR_FONTTYPE) |
                 (font.italic() ? Dialog::ITALIC_FONTTYPE : 0) | Dialog::SCREEN_FONTTYPE;
    return true;
}

bool QtDialogBackend::runPrint(PrintDialog& d)
{
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    applyDeviceMode(*printer, d.deviceMode);
    GuardedDialog<QPrintDialog> dialog(printer.get(), ownerWidget(d.owner));
    QAbstractPrintDialog::PrintDialogOptions options =
        QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize;
    if (!(d.flags & (Dialog::PD_HIDEPRINTTOFILE | Dialog::PD_DISABLEPRINTTOFILE)))
        options |= QAbstractPrintDialog::PrintToFile;
    if (!(d.flags & Dialog::PD_NOSELECTION))
        options |= QAbstractPrintDialog::PrintSelection;
    if (!(d.flags & Dialog::PD_NOPAGENUMS))
        options |= QAbstractPrintDialog::PrintPageRange;
    dialog->setOptions(options);
    dialog->setMinMax(d.minPage, d.maxPage);
    if (d.fromPage >= d.minPage && d.toPage >= d.fromPage && d.toPage <= d.maxPage)
        printer->setFromTo(d.fromPage, d.toPage);
    if (d.flags & Dialog::PD_PAGENUMS)
        dialog->setPrintRange(QAbstractPrintDialog::PageRange);
    else if (d.flags & Dialog::PD_SELECTION)
        dialog->setPrintRange(QAbstractPrintDialog::Selection);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    d.flags &= ~(Dialog::PD_PAGENUMS | Dialog::PD_SELECTION | Dialog::PD_PRINTTOFILE);
    if (dialog->printRange() == QAbstractPrintDialog::PageRange)
        d.flags |= Dialog::PD_PAGENUMS;
    else if (dialog->printRange() == QAbstractPrintDialog::Selection)
        d.flags |= Dialog::PD_SELECTION;
    if (!printer->outputFileName().isEmpty())
        d.flags |= Dialog::PD_PRINTTOFILE;
    if (printer->fromPage() > 0) {
        d.fromPage = printer->fromPage();
        d.toPage = printer->toPage();
    }
    d.deviceMode = deviceModeOf(*printer, d.deviceMode.printQuality);
    d.device = printer;
    return true;
}

bool QtDialogBackend::runPageSetup(PageSetupDialog& d)
{
    const bool millimetres = d.flags & Dialog::PSD_INHUNDREDTHSOFMILLIMETERS;
    const QPageLayout::Unit unit = millimetres ? QPageLayout::Millimeter : QPageLayout::Inch;
    const double factor = millimetres ? 100.0 : 1000.0;
    const auto margins = [factor](const std::array<qint32, 4>& m) {
        return QMarginsF(m[0] / factor, m[1] / factor, m[2] / factor, m[3] / factor);
    };
    QPageSize size(QPageSize::id(d.deviceMode.paperSize));
    if (!size.isValid())
        size = QPageSize(QPageSize::Letter);
    QPrinter printer;
    printer.setPageLayout(QPageLayout(size,
                                      d.deviceMode.orientation == Dialog::eoLandscape ? QPageLayout::Landscape
                                                                                      : QPageLayout::Portrait,
                                      margins(d.margins), unit, margins(d.minMargins)));
    GuardedDialog<QPageSetupDialog> dialog(&printer, ownerWidget(d.owner));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(unit);
    const auto back = [factor](const QMarginsF& m) {
        return std::array<qint32, 4>{
            qint32(std::lround(m.left() * factor)), qint32(std::lround(m.top() * factor)),
            qint32(std::lround(m.right() * factor)), qint32(std::lround(m.bottom() * factor))};
    };
    d.margins = back(layout.margins());
    d.minMargins = back(layout.minimumMargins());
    d.deviceMode = deviceModeOf(printer, d.deviceMode.printQuality);
    return true;
}

std::array<qint32, 16> QtDialogBackend::systemColors()
{
    // Scroll bar, desktop, active and inactive caption, menu, window, window frame, menu text, window
    // text, caption text, active and inactive border, workspace, highlight, highlighted text, button face.
    static constexpr std::array<QPalette::ColorRole, 16> roles{QPalette::Button,
                                                               QPalette::Dark,
                                                               QPalette::Highlight,
                                                               QPalette::Mid,
                                                               QPalette::Window,
                                                               QPalette::Base,
                                                               QPalette::Shadow,
                                                               QPalette::WindowText,
                                                               QPalette::Text,
                                                               QPalette::HighlightedText,
                                                               QPalette::Button,
                                                               QPalette::Button,
                                                               QPalette::Mid,
                                                               QPalette::Highlight,
                                                               QPalette::HighlightedText,
                                                               QPalette::Button};
    const QPalette palette = qGuiApp ? QGuiApplication::palette() : QPalette();
    std::array<qint32, 16> colors{};
    for (std::size_t i = 0; i < roles.size(); ++i)
        colors[i] = toBgr(palette.color(QPalette::Active, roles[i]));
    return colors;
}
