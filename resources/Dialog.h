#pragma once

#include "DialogBackend.h"

#include <QString>
#include <array>
#include <memory>
#include <optional>

class QObject;
class QPrinter;

// The common dialogs: open file, save file, file title, colour, font, print and page setup. Each method
// takes its arguments in a record whose fields have the defaults below; the method reads them, runs the
// dialog modally and writes its outcome back into the record, and returns true only when the user
// confirmed. An Owner of nullptr means no owner window. Colours are blue-green-red numbers (0x00BBGGRR).
class Dialog
{
public:
    enum EOpenFile : qint32
    {
        OFN_READONLY = 0x1,
        OFN_OVERWRITEPROMPT = 0x2,
        OFN_HIDEREADONLY = 0x4,
        OFN_NOCHANGEDIR = 0x8,
        OFN_SHOWHELP = 0x10,
        OFN_ENABLEHOOK = 0x20,
        OFN_ENABLETEMPLATE = 0x40,
        OFN_ENABLETEMPLATEHANDLE = 0x80,
        OFN_NOVALIDATE = 0x100,
        OFN_ALLOWMULTISELECT = 0x200,
        OFN_EXTENSIONDIFFERENT = 0x400,
        OFN_PATHMUSTEXIST = 0x800,
        OFN_FILEMUSTEXIST = 0x1000,
        OFN_CREATEPROMPT = 0x2000,
        OFN_SHAREAWARE = 0x4000,
        OFN_NOREADONLYRETURN = 0x8000,
        OFN_NOTESTFILECREATE = 0x10000,
        OFN_NONETWORKBUTTON = 0x20000,
        OFN_NOLONGNAMES = 0x40000,
        OFN_EXPLORER = 0x80000,
        OFN_NODEREFERENCELINKS = 0x100000,
        OFN_LONGNAMES = 0x200000
    };
    enum EChooseColor : qint32
    {
        CC_RGBINIT = 0x1,
        CC_FULLOPEN = 0x2,
        CC_PREVENTFULLOPEN = 0x4,
        CC_SHOWHELP = 0x8,
        CC_ENABLEHOOK = 0x10,
        CC_ENABLETEMPLATE = 0x20,
        CC_ENABLETEMPLATEHANDLE = 0x40,
        CC_SOLIDCOLOR = 0x80,
        CC_ANYCOLOR = 0x100
    };
    enum EChooseFont : qint32
    {
        CF_SCREENFONTS = 0x1,
        CF_PRINTERFONTS = 0x2,
        CF_BOTH = 0x3,
        CF_SHOWHELP = 0x4,
        CF_ENABLEHOOK = 0x8,
        CF_ENABLETEMPLATE = 0x10,
        CF_ENABLETEMPLATEHANDLE = 0x20,
        CF_INITTOLOGFONTSTRUCT = 0x40,
        CF_USESTYLE = 0x80,
        CF_EFFECTS = 0x100,
        CF_APPLY = 0x200,
        CF_ANSIONLY = 0x400,
        CF_NOVECTORFONTS = 0x800,
        CF_NOSIMULATIONS = 0x1000,
        CF_LIMITSIZE = 0x2000,
        CF_FIXEDPITCHONLY = 0x4000,
        CF_WYSIWYG = 0x8000,
        CF_FORCEFONTEXIST = 0x10000,
        CF_SCALABLEONLY = 0x20000,
        CF_TTONLY = 0x40000,
        CF_NOFACESEL = 0x80000,
        CF_NOSTYLESEL = 0x100000,
        CF_NOSIZESEL = 0x200000
    };
    enum EFontType : qint32
    {
        BOLD_FONTTYPE = 0x100,
        ITALIC_FONTTYPE = 0x200,
        REGULAR_FONTTYPE = 0x400,
        SCREEN_FONTTYPE = 0x2000,
        PRINTER_FONTTYPE = 0x4000,
        SIMULATED_FONTTYPE = 0x8000
    };
    enum EPrintDialog : qint32
    {
        PD_ALLPAGES = 0x0,
        PD_SELECTION = 0x1,
        PD_PAGENUMS = 0x2,
        PD_NOSELECTION = 0x4,
        PD_NOPAGENUMS = 0x8,
        PD_COLLATE = 0x10,
        PD_PRINTTOFILE = 0x20,
        PD_PRINTSETUP = 0x40,
        PD_NOWARNING = 0x80,
        PD_RETURNDC = 0x100,
        PD_RETURNIC = 0x200,
        PD_RETURNDEFAULT = 0x400,
        PD_SHOWHELP = 0x800,
        PD_ENABLEPRINTHOOK = 0x1000,
        PD_ENABLESETUPHOOK = 0x2000,
        PD_ENABLEPRINTTEMPLATE = 0x4000,
        PD_ENABLESETUPTEMPLATE = 0x8000,
        PD_ENABLEPRINTTEMPLATEHANDLE = 0x10000,
        PD_ENABLESETUPTEMPLATEHANDLE = 0x20000,
        PD_USEDEVMODECOPIESANDCOLLATE = 0x40000,
        PD_DISABLEPRINTTOFILE = 0x80000,
        PD_HIDEPRINTTOFILE = 0x100000,
        PD_NONETWORKBUTTON = 0x200000
    };
    enum EPaperSize : qint32
    {
        epsLetter = 1,
        epsLetterSmall,
        epsTabloid,
        epsLedger,
        epsLegal,
        epsStatement,
        epsExecutive,
        epsA3,
        epsA4,
        epsA4Small,
        epsA5,
        epsB4,
        epsB5,
        epsFolio,
        epsQuarto,
        eps10x14,
        eps11x17,
        epsNote,
        epsEnv9,
        epsEnv10,
        epsEnv11,
        epsEnv12,
        epsEnv14,
        epsCSheet,
        epsDSheet,
        epsESheet,
        epsEnvDL,
        epsEnvC5,
        epsEnvC3,
        epsEnvC4,
        epsEnvC6,
        epsEnvC65,
        epsEnvB4,
        epsEnvB5,
        epsEnvB6,
        epsEnvItaly,
        epsEnvMonarch,
        epsEnvPersonal,
        epsFanfoldUS,
        epsFanfoldStdGerman,
        epsFanfoldLglGerman,
        epsUser = 256
    };
    enum EPrintQuality : qint32
    {
        epqDraft = -1,
        epqLow = -2,
        epqMedium = -3,
        epqHigh = -4
    };
    enum EOrientation : qint32
    {
        eoPortrait = 1,
        eoLandscape = 2
    };
    enum EPageSetup : qint32
    {
        PSD_DEFAULTMINMARGINS = 0x0,
        PSD_MINMARGINS = 0x1,
        PSD_MARGINS = 0x2,
        PSD_INTHOUSANDTHSOFINCHES = 0x4,
        PSD_INHUNDREDTHSOFMILLIMETERS = 0x8,
        PSD_DISABLEMARGINS = 0x10,
        PSD_DISABLEPRINTER = 0x20,
        PSD_NOWARNING = 0x80,
        PSD_DISABLEORIENTATION = 0x100,
        PSD_DISABLEPAPER = 0x200,
        PSD_RETURNDEFAULT = 0x400,
        PSD_SHOWHELP = 0x800,
        PSD_ENABLEPAGESETUPHOOK = 0x2000,
        PSD_ENABLEPAGESETUPTEMPLATE = 0x8000,
        PSD_ENABLEPAGESETUPTEMPLATEHANDLE = 0x20000,
        PSD_ENABLEPAGEPAINTHOOK = 0x40000,
        PSD_DISABLEPAGEPAINTING = 0x80000
    };
    enum EPageSetupUnits : qint32
    {
        epsuInches = 0,
        epsuMillimeters = 1
    };
    enum EDialogError : qint32
    {
        CDERR_DIALOGFAILURE = 0xFFFF,
        CDERR_GENERALCODES = 0x0,
        CDERR_STRUCTSIZE = 0x1,
        CDERR_INITIALIZATION = 0x2,
        CDERR_NOTEMPLATE = 0x3,
        CDERR_NOHINSTANCE = 0x4,
        CDERR_LOADSTRFAILURE = 0x5,
        CDERR_FINDRESFAILURE = 0x6,
        CDERR_LOADRESFAILURE = 0x7,
        CDERR_LOCKRESFAILURE = 0x8,
        CDERR_MEMALLOCFAILURE = 0x9,
        CDERR_MEMLOCKFAILURE = 0xA,
        CDERR_NOHOOK = 0xB,
        CDERR_REGISTERMSGFAIL = 0xC,
        PDERR_PRINTERCODES = 0x1000,
        PDERR_SETUPFAILURE = 0x1001,
        PDERR_PARSEFAILURE = 0x1002,
        PDERR_RETDEFFAILURE = 0x1003,
        PDERR_LOADDRVFAILURE = 0x1004,
        PDERR_GETDEVMODEFAIL = 0x1005,
        PDERR_INITFAILURE = 0x1006,
        PDERR_NODEVICES = 0x1007,
        PDERR_NODEFAULTPRN = 0x1008,
        PDERR_DNDMMISMATCH = 0x1009,
        PDERR_CREATEICFAILURE = 0x100A,
        PDERR_PRINTERNOTFOUND = 0x100B,
        PDERR_DEFAULTDIFFERENT = 0x100C,
        CFERR_CHOOSEFONTCODES = 0x2000,
        CFERR_NOFONTS = 0x2001,
        CFERR_MAXLESSTHANMIN = 0x2002,
        FNERR_FILENAMECODES = 0x3000,
        FNERR_SUBCLASSFAILURE = 0x3001,
        FNERR_INVALIDFILENAME = 0x3002,
        FNERR_BUFFERTOOSMALL = 0x3003,
        CCERR_CHOOSECOLORCODES = 0x5000
    };
    enum EPrintRange : qint32
    {
        eprAll = 0,
        eprPageNumbers = 1,
        eprSelection = 2
    };
    enum EErrorCommonDialog : qint32
    {
        eeBaseCommonDialog = 13450
    };

    // The filter of a file dialog that gives no other: every file.
    static inline const QString AllFilesFilter = QStringLiteral("All (*.*)| *.*");

    struct OpenFileArguments
    {
        QString Filename;  // in: the name to start from; out: the chosen file ("" when cancelled)
        QString FileTitle; // out: its name without the folder
        bool FileMustExist = true;
        bool MultiSelect = false;
        bool ReadOnly = false; // in and out: the read-only box
        bool HideReadOnly = false;
        QString Filter = AllFilesFilter; // in: "Description|pattern|..."; out: the chosen entry
        qint32 FilterIndex = 1;          // from 1; out: the chosen one, -1 when cancelled
        QString InitDir;
        QString DlgTitle;
        QString DefaultExt;
        QObject* Owner = nullptr;
        qint32 Flags = 0; // in: further OFN_ flags; out: the dialog's, 0 when cancelled
    };

    struct SaveFileArguments
    {
        QString Filename;
        QString FileTitle;
        bool OverWritePrompt = true;
        QString Filter = AllFilesFilter;
        qint32 FilterIndex = 1; // out: 0 when cancelled
        QString InitDir;
        QString DlgTitle;
        QString DefaultExt;
        QObject* Owner = nullptr;
        qint32 Flags = 0;
    };

    struct ChooseColorArguments
    {
        qint32 Color = 0; // in: the colour to start from; out: the chosen one, -1 when cancelled
        bool AnyColor = true;
        bool FullOpen = false;
        bool DisableFullOpen = false;
        QObject* Owner = nullptr;
        qint32 Flags = 0; // not read
    };

    struct Font
    {
        QString Name;
        double Size = 0; // points
        qint32 Weight = 400;
        bool Bold = false;
        bool Italic = false;
        bool Underline = false;
        bool Strikethrough = false;
    };

    struct ChooseFontArguments
    {
        Font CurFont; // in and out; unchanged when cancelled
        // The printer whose fonts to offer; null for none, or the default printer when Flags asks for
        // printer fonts.
        QPrinter* PrinterDC = nullptr;
        QObject* Owner = nullptr;
        qint32 Color = 0; // in and out
        qint32 MinSize = 0;
        qint32 MaxSize = 0;
        qint32 Flags = 0; // in and out
    };

    // The printer settings of a printer object that the print and page-setup dialogs write into.
    struct PrinterObject
    {
        qint32 Copies = 1;
        qint32 Orientation = eoPortrait;
        qint32 PaperSize = epsLetter;
        qint32 PrintQuality = epqDraft;
    };

    struct PrintArguments
    {
        QPrinter* hdc =
            nullptr; // out: the printer to draw on, kept by the Dialog until its next print dialog
        qint32 PrintRange = eprAll;
        bool DisablePageNumbers = false;
        qint32 FromPage = 1;
        qint32 ToPage = -1;
        bool DisableSelection = false;
        qint16 Copies = 0; // out
        bool ShowPrintToFile = false;
        bool DisablePrintToFile = true;
        bool PrintToFile = false;
        bool Collate = false;
        bool PreventWarning = false;
        QObject* Owner = nullptr;
        PrinterObject* Printer = nullptr;
        qint32 Flags = 0; // not read
    };

    struct PageSetupArguments
    {
        QObject* Owner = nullptr;
        bool DisableMargins = false;
        bool DisableOrientation = false;
        bool DisablePaper = false;
        bool DisablePrinter = false;
        qint32 LeftMargin = 0;
        qint32 MinLeftMargin = 0;
        qint32 RightMargin = 0;
        qint32 MinRightMargin = 0;
        qint32 TopMargin = 0;
        qint32 MinTopMargin = 0;
        qint32 BottomMargin = 0;
        qint32 MinBottomMargin = 0;
        qint32 PaperSize = epsLetter;
        qint32 Orientation = eoPortrait;
        qint32 PrintQuality = epqDraft;
        qint32 Units = epsuInches;
        PrinterObject* Printer = nullptr;
        qint32 Flags = 0; // not read
    };

    // The Qt dialogs, or `backend` when one is given.
    explicit Dialog(std::unique_ptr<DialogBackend> backend = nullptr);
    ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // The last dialog's result: 1 confirmed, 0 cancelled; 0 before any dialog.
    qint32 APIReturn() const { return m_apiReturn; }
    // Reset to 0 by every dialog; the Qt dialogs report no further error.
    qint32 ExtendedError() const { return m_extendedError; }

    bool VBGetOpenFileName(OpenFileArguments& arguments);
    bool VBGetSaveFileName(SaveFileArguments& arguments);
    // The file's name without its folder; "" when it has none.
    static QString VBGetFileTitle(const QString& sFile);
    bool VBChooseColor(ChooseColorArguments& arguments);
    // One of the sixteen custom colours that every colour dialog of this object starts from; an index
    // outside 0 to 15 reads as -1 and is ignored on write.
    qint32 CustomColor(qint16 i);
    void setCustomColor(qint16 i, qint32 value);
    bool VBChooseFont(ChooseFontArguments& arguments);
    bool VBPrintDlg(PrintArguments& arguments);
    // Refuses (error 6) margins that overflow in the dialog's unit.
    bool VBPageSetupDlg(PageSetupArguments& arguments);

    // "Description|pattern|..." (each "|" or ":" separates) as Qt name filters, "Description (patterns)".
    static QStringList nameFilters(const QString& filter);

private:
    void ensureCustomColors();
    void finish(bool confirmed);
    static void applyToPrinter(PrinterObject* printer, const DialogBackend::DeviceMode& mode);

    std::unique_ptr<DialogBackend> m_backend;
    qint32 m_apiReturn = 0;
    qint32 m_extendedError = 0;
    std::optional<std::array<qint32, 16>> m_customColors;
    DialogBackend::DeviceMode m_deviceMode;
    std::shared_ptr<QPrinter> m_printer;
};
