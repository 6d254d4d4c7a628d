#include "Dialog.h"

#include "OrvError.h"
#include "QtDialogBackend.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace {

// The description and pattern of each entry of a filter text, where every "|" and every ":" separates
// and an empty part ends the list.
QList<std::pair<QString, QString>> filterEntries(const QString& filter)
{
    static const QRegularExpression separators(QStringLiteral("[|:]"));
    QList<std::pair<QString, QString>> entries;
    const QStringList parts = filter.split(separators);
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts.at(i).isEmpty() || parts.at(i + 1).isEmpty())
            break;
        entries.append({parts.at(i), parts.at(i + 1)});
    }
    return entries;
}

QStringList patternsOf(const QString& pattern)
{
    QStringList patterns;
    for (const QString& part : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty())
            patterns << trimmed;
    }
    return patterns;
}

QString qtNameFilter(const QString& description, const QString& pattern)
{
    const QStringList patterns = patternsOf(pattern);
    QStringList qtPatterns;
    for (const QString& p : patterns)
        // "*.*" is every file on the system the filters come from; here it would be only names with a point.
        qtPatterns << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
    // A description that already ends with its patterns in brackets does not repeat them.
    QString text = description.trimmed();
    static const QRegularExpression trailing(QStringLiteral("\\(([^()]*)\\)$"));
    const QRegularExpressionMatch match = trailing.match(text);
    if (match.hasMatch() &&
        patternsOf(match.captured(1).replace(QLatin1Char(' '), QLatin1Char(';'))) == patterns)
        text = text.left(match.capturedStart()).trimmed();
    if (qtPatterns.isEmpty())
        qtPatterns << QStringLiteral("*");
    return (text.isEmpty() ? QString() : text + QLatin1Char(' ')) + QLatin1Char('(') +
           qtPatterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

// The hook and template bits, which the dialogs here have no use for.
constexpr qint32 fileHookBits = Dialog::OFN_ENABLEHOOK | Dialog::OFN_ENABLETEMPLATE;
constexpr qint32 colorHookBits = Dialog::CC_ENABLEHOOK | Dialog::CC_ENABLETEMPLATE;
constexpr qint32 fontHookBits = Dialog::CF_ENABLEHOOK | Dialog::CF_ENABLETEMPLATE | Dialog::CF_APPLY;
constexpr qint32 printHookBits = Dialog::PD_ENABLEPRINTHOOK | Dialog::PD_ENABLESETUPHOOK |
                                 Dialog::PD_ENABLEPRINTTEMPLATE | Dialog::PD_ENABLESETUPTEMPLATE;

qint32 scaled(qint32 margin, qint32 factor)
{
    const qint64 value = qint64(margin) * factor;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        throw OrvError(OrvError::Overflow, QStringLiteral("Dialog"), QStringLiteral("Overflow"));
    return qint32(value);
}

qint32 unscaled(qint32 margin, qint32 factor)
{
    return qint32(std::lround(double(margin) / factor));
}

// What a confirmed file dialog writes back: the chosen file, or for several the folder followed by each
// name, separated by NUL characters as the dialog's own buffer has them.
QString chosenFileText(const QStringList& chosen)
{
    if (chosen.size() <= 1)
        return chosen.value(0);
    QStringList parts{QFileInfo(chosen.constFirst()).absolutePath()};
    for (const QString& file : chosen)
        parts << QFileInfo(file).fileName();
    return parts.join(QChar(0));
}

} // namespace

Dialog::Dialog(std::unique_ptr<DialogBackend> backend)
    : m_backend(backend ? std::move(backend) : std::make_unique<QtDialogBackend>())
{
}

Dialog::~Dialog() = default;

QStringList Dialog::nameFilters(const QString& filter)
{
    QStringList filters;
    for (const auto& [description, pattern] : filterEntries(filter))
        filters << qtNameFilter(description, pattern);
    return filters;
}

void Dialog::finish(bool confirmed)
{
    m_apiReturn = confirmed ? 1 : 0;
}

namespace {

// What the open and the save dialog take from their arguments alike.
template <typename Arguments> void describeFileDialog(DialogBackend::FileDialog& d, const Arguments& a)
{
    d.owner = a.Owner;
    d.title = a.DlgTitle;
    d.initDir = a.InitDir;
    d.fileName = a.Filename;
    d.filters = Dialog::nameFilters(a.Filter);
    d.filterIndex = a.FilterIndex;
    d.defaultExt = a.DefaultExt;
}

// Writes the dialog's answer back; a cancelled dialog clears the outputs and leaves `cancelledIndex`.
template <typename Arguments>
bool answerFileDialog(const DialogBackend::FileDialog& d, bool confirmed, Arguments& a, qint32 cancelledIndex)
{
    if (!confirmed) {
        a.Filename.clear();
        a.FileTitle.clear();
        a.Filter.clear();
        a.Flags = 0;
        a.FilterIndex = cancelledIndex;
        return false;
    }
    const auto entries = filterEntries(a.Filter);
    a.Filename = chosenFileText(d.chosen);
    a.FileTitle = Dialog::VBGetFileTitle(d.chosen.value(0));
    a.Flags = d.flags;
    a.FilterIndex = d.filterIndex;
    a.Filter =
        d.filterIndex >= 1 && d.filterIndex <= entries.size()
            ? entries.at(d.filterIndex - 1).first + QLatin1Char('|') + entries.at(d.filterIndex - 1).second
            : QString();
    return true;
}

} // namespace

bool Dialog::VBGetOpenFileName(OpenFileArguments& a)
{
    m_extendedError = 0;
    DialogBackend::FileDialog d;
    d.flags = (a.FileMustExist ? OFN_FILEMUSTEXIST : 0) | (a.MultiSelect ? OFN_ALLOWMULTISELECT : 0) |
              (a.ReadOnly ? OFN_READONLY : 0) | (a.HideReadOnly ? OFN_HIDEREADONLY : 0) |
              (a.Flags & ~fileHookBits);
    describeFileDialog(d, a);
    const bool confirmed = m_backend->runFile(d);
    finish(confirmed);
    if (!answerFileDialog(d, confirmed, a, -1))
        return false;
    a.ReadOnly = (d.flags & OFN_READONLY) != 0;
    return true;
}

bool Dialog::VBGetSaveFileName(SaveFileArguments& a)
{
    m_extendedError = 0;
    DialogBackend::FileDialog d;
    d.save = true;
    d.flags = (a.OverWritePrompt ? OFN_OVERWRITEPROMPT : 0) | OFN_HIDEREADONLY | (a.Flags & ~fileHookBits);
    describeFileDialog(d, a);
    const bool confirmed = m_backend->runFile(d);
    finish(confirmed);
    return answerFileDialog(d, confirmed, a, 0);
}

QString Dialog::VBGetFileTitle(const QString& sFile)
{
    return QFileInfo(sFile).fileName();
}

void Dialog::ensureCustomColors()
{
    if (!m_customColors)
        m_customColors = m_backend->systemColors();
}

qint32 Dialog::CustomColor(qint16 i)
{
    if (i < 0 || i > 15)
        return -1;
    ensureCustomColors();
    return m_customColors->at(i);
}

void Dialog::setCustomColor(qint16 i, qint32 value)
{
    if (i < 0 || i > 15)
        return;
    ensureCustomColors();
    (*m_customColors)[i] = value;
}

bool Dialog::VBChooseColor(ChooseColorArguments& a)
{
    m_extendedError = 0;
    ensureCustomColors();
    DialogBackend::ColorDialog d;
    d.owner = a.Owner;
    d.color = a.Color;
    d.flags = ((a.AnyColor ? CC_ANYCOLOR : CC_SOLIDCOLOR) | CC_RGBINIT | (a.FullOpen ? CC_FULLOPEN : 0) |
               (a.DisableFullOpen ? CC_PREVENTFULLOPEN : 0)) &
              ~colorHookBits;
    d.customColors = *m_customColors;
    const bool confirmed = m_backend->runColor(d);
    finish(confirmed);
    // The user may change the custom colours and still cancel: they stay changed.
    m_customColors = d.customColors;
    a.Color = confirmed ? d.color : -1;
    return confirmed;
}

bool Dialog::VBChooseFont(ChooseFontArguments& a)
{
    m_extendedError = 0;
    qint32 flags = a.Flags;
    const bool printerFonts = a.PrinterDC || (flags & CF_PRINTERFONTS);
    if (printerFonts)
        flags |= CF_PRINTERFONTS;
    else
        flags |= CF_SCREENFONTS;
    if (a.Color != 0)
        flags |= CF_EFFECTS;
    if (a.MinSize != 0 || a.MaxSize != 0)
        flags |= CF_LIMITSIZE;
    flags = (flags & ~fontHookBits) | CF_INITTOLOGFONTSTRUCT;

    DialogBackend::FontDialog d;
    d.owner = a.Owner;
    d.flags = flags;
    d.faceName = a.CurFont.Name;
    d.pointSize10 = qint32(std::lround(a.CurFont.Size * 10));
    d.weight = a.CurFont.Weight;
    d.italic = a.CurFont.Italic;
    d.underline = a.CurFont.Underline;
    d.strikeOut = a.CurFont.Strikethrough;
    d.color = a.Color;
    d.minSize = a.MinSize;
    d.maxSize = a.MaxSize;
    const bool confirmed = m_backend->runFont(d);
    finish(confirmed);
    if (!confirmed)
        return false;
    a.Flags = d.flags;
    a.Color = d.color;
    a.CurFont.Bold = (d.fontType & BOLD_FONTTYPE) != 0;
    a.CurFont.Italic = d.italic;
    a.CurFont.Strikethrough = d.strikeOut;
    a.CurFont.Underline = d.underline;
    a.CurFont.Weight = d.weight;
    a.CurFont.Size = d.pointSize10 / 10.0;
    a.CurFont.Name = d.faceName;
    return true;
}

void Dialog::applyToPrinter(PrinterObject* printer, const DialogBackend::DeviceMode& mode)
{
    if (!printer)
        return;
    printer->Copies = mode.copies;
    printer->Orientation = mode.orientation;
    printer->PaperSize = mode.paperSize;
    printer->PrintQuality = mode.printQuality;
}

bool Dialog::VBPrintDlg(PrintArguments& a)
{
    m_extendedError = 0;
    qint32 flags = PD_USEDEVMODECOPIESANDCOLLATE | PD_RETURNDC;
    if (a.DisablePrintToFile)
        flags |= PD_DISABLEPRINTTOFILE;
    if (!a.ShowPrintToFile)
        flags |= PD_HIDEPRINTTOFILE;
    if (a.DisablePageNumbers)
        flags |= PD_NOPAGENUMS;
    if (a.DisableSelection)
        flags |= PD_NOSELECTION;
    if (a.PrintToFile)
        flags |= PD_PRINTTOFILE;
    if (a.PreventWarning)
        flags |= PD_NOWARNING;
    if (a.Collate)
        flags |= PD_COLLATE;
    if (a.PrintRange == eprPageNumbers)
        flags |= PD_PAGENUMS;
    else if (a.PrintRange == eprSelection)
        flags |= PD_SELECTION;
    flags &= ~printHookBits;

    DialogBackend::PrintDialog d;
    d.owner = a.Owner;
    d.flags = flags;
    d.fromPage = a.FromPage;
    d.toPage = a.ToPage;
    d.deviceMode = m_deviceMode;
    const bool confirmed = m_backend->runPrint(d);
    finish(confirmed);
    if (!confirmed)
        return false;
    m_printer = d.device;
    m_deviceMode = d.deviceMode;
    a.hdc = m_printer.get();
    a.PrintRange = (d.flags & PD_PAGENUMS)    ? eprPageNumbers
                   : (d.flags & PD_SELECTION) ? eprSelection
                                              : eprAll;
    a.FromPage = d.fromPage;
    a.ToPage = d.toPage;
    a.PrintToFile = (d.flags & PD_PRINTTOFILE) != 0;
    a.Copies = m_deviceMode.copies;
    a.Collate = m_deviceMode.collate;
    applyToPrinter(a.Printer, m_deviceMode);
    return true;
}

bool Dialog::VBPageSetupDlg(PageSetupArguments& a)
{
    m_extendedError = 0;
    const bool millimetres = a.Units == epsuMillimeters;
    const qint32 factor = millimetres ? 100 : 1000;
    DialogBackend::PageSetupDialog d;
    d.owner = a.Owner;
    d.flags = PSD_MINMARGINS | PSD_MARGINS | (a.DisableMargins ? PSD_DISABLEMARGINS : 0) |
              (a.DisableOrientation ? PSD_DISABLEORIENTATION : 0) | (a.DisablePaper ? PSD_DISABLEPAPER : 0) |
              (a.DisablePrinter ? PSD_DISABLEPRINTER : 0);
    if (millimetres)
        d.flags |= PSD_INHUNDREDTHSOFMILLIMETERS;
    else if (a.Units == epsuInches)
        d.flags |= PSD_INTHOUSANDTHSOFINCHES;
    d.margins = {scaled(a.LeftMargin, factor), scaled(a.TopMargin, factor), scaled(a.RightMargin, factor),
                 scaled(a.BottomMargin, factor)};
    d.minMargins = {scaled(a.MinLeftMargin, factor), scaled(a.MinTopMargin, factor),
                    scaled(a.MinRightMargin, factor), scaled(a.MinBottomMargin, factor)};
    d.deviceMode.paperSize = qint16(a.PaperSize);
    d.deviceMode.orientation = qint16(a.Orientation);
    d.deviceMode.printQuality = qint16(a.PrintQuality);
    const bool confirmed = m_backend->runPageSetup(d);
    finish(confirmed);
    if (!confirmed)
        return false;
    a.LeftMargin = unscaled(d.margins[0], factor);
    a.TopMargin = unscaled(d.margins[1], factor);
    a.RightMargin = unscaled(d.margins[2], factor);
    a.BottomMargin = unscaled(d.margins[3], factor);
    a.MinLeftMargin = unscaled(d.minMargins[0], factor);
    a.MinTopMargin = unscaled(d.minMargins[1], factor);
    a.MinRightMargin = unscaled(d.minMargins[2], factor);
    a.MinBottomMargin = unscaled(d.minMargins[3], factor);
    a.PaperSize = d.deviceMode.paperSize;
    a.Orientation = d.deviceMode.orientation;
    a.PrintQuality = d.deviceMode.printQuality;
    applyToPrinter(a.Printer, d.deviceMode);
    return true;
}
