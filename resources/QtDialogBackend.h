#pragma once

#include "DialogBackend.h"

// The common dialogs on Qt's own dialogs: the file dialog always in Qt's own form, so that a default
// extension and the overwrite prompt work alike on every desktop.
class QtDialogBackend : public DialogBackend
{
public:
    bool runFile(FileDialog& dialog) override;
    bool runColor(ColorDialog& dialog) override;
    bool runFont(FontDialog& dialog) override;
    bool runPrint(PrintDialog& dialog) override;
    bool runPageSetup(PageSetupDialog& dialog) override;
    // The colours of the application's palette that stand for the system colours 0 to 15.
    std::array<qint32, 16> systemColors() override;
};
