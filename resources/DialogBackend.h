#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <memory>

class QObject;
class QPrinter;

// What runs the common dialogs for Dialog: the Qt dialogs in the program, a script in tests. Each run
// takes the dialog's record, shows the dialog modally and, only when the user confirms, writes the
// outcome back into the record and returns true. Flags are the Windows-style flag numbers that Dialog
// works with; a backend honours those it can.
class DialogBackend
{
public:
    // The printer settings that a print dialog returns and the next one starts from.
    struct DeviceMode
    {
        QString deviceName;
        qint16 copies = 1;
        bool collate = false;
        qint16 orientation = 1;   // 1 portrait, 2 landscape
        qint16 paperSize = 1;     // a paper number: 1 letter, 9 A4, ...
        qint16 printQuality = -1; // -1 draft to -4 high, or dots per inch
    };

    struct FileDialog
    {
        bool save = false;
        QObject* owner = nullptr;
        QString title;
        QString initDir;
        QString fileName;       // in: the name to start from; out: the first chosen file
        QStringList chosen;     // out: every chosen file, full paths
        QStringList filters;    // name filters such as "Zip (*.zip)"
        qint32 filterIndex = 1; // from 1; in and out
        QString defaultExt;
        qint32 flags = 0; // OFN_ flags; in and out
    };

    struct ColorDialog
    {
        QObject* owner = nullptr;
        qint32 color = 0;                      // blue-green-red number; in and out
        qint32 flags = 0;                      // CC_ flags
        std::array<qint32, 16> customColors{}; // in and out, also when cancelled
    };

    struct FontDialog
    {
        QObject* owner = nullptr;
        qint32 flags = 0; // CF_ flags; in and out
        QString faceName;
        qint32 pointSize10 = 0; // tenths of a point
        qint32 weight = 400;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;
        qint32 color = 0; // blue-green-red number; in and out
        qint32 minSize = 0;
        qint32 maxSize = 0;
        qint32 fontType = 0; // out: BOLD_FONTTYPE, ITALIC_FONTTYPE, REGULAR_FONTTYPE bits
    };

    struct PrintDialog
    {
        QObject* owner = nullptr;
        qint32 flags = 0; // PD_ flags; in and out (PD_PAGENUMS, PD_SELECTION, PD_PRINTTOFILE as chosen)
        qint32 fromPage = 1;
        qint32 toPage = -1;
        qint32 minPage = 1;
        qint32 maxPage = 65535;
        DeviceMode deviceMode;            // in and out
        std::shared_ptr<QPrinter> device; // out: the printer to draw on
    };

    struct PageSetupDialog
    {
        QObject* owner = nullptr;
        qint32 flags =
            0; // PSD_ flags; PSD_INHUNDREDTHSOFMILLIMETERS or PSD_INTHOUSANDTHSOFINCHES give the unit
        // Margins and minimum margins in that unit: left, top, right, bottom; in and out.
        std::array<qint32, 4> margins{};
        std::array<qint32, 4> minMargins{};
        DeviceMode deviceMode; // in and out
    };

    virtual ~DialogBackend() = default;

    virtual bool runFile(FileDialog& dialog) = 0;
    virtual bool runColor(ColorDialog& dialog) = 0;
    virtual bool runFont(FontDialog& dialog) = 0;
    virtual bool runPrint(PrintDialog& dialog) = 0;
    virtual bool runPageSetup(PageSetupDialog& dialog) = 0;
    // The system's colours of indexes 0 to 15, as blue-green-red numbers: the custom colours that a
    // Dialog starts with.
    virtual std::array<qint32, 16> systemColors() = 0;
};
