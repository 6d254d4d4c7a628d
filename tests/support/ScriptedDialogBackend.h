#pragma once

#include "DialogBackend.h"

#include <QList>
#include <functional>

// Common dialogs that tests answer: each run records the record as the dialog got it, then lets the
// test's answer change it and decide whether the user confirmed. Without an answer the user cancels.
class ScriptedDialogBackend : public DialogBackend
{
public:
    template <typename Record> using Answer = std::function<bool(Record&)>;

    bool runFile(FileDialog& dialog) override { return run(fileRuns, fileAnswer, dialog); }
    bool runColor(ColorDialog& dialog) override { return run(colorRuns, colorAnswer, dialog); }
    bool runFont(FontDialog& dialog) override { return run(fontRuns, fontAnswer, dialog); }
    bool runPrint(PrintDialog& dialog) override { return run(printRuns, printAnswer, dialog); }
    bool runPageSetup(PageSetupDialog& dialog) override
    {
        return run(pageSetupRuns, pageSetupAnswer, dialog);
    }
    std::array<qint32, 16> systemColors() override
    {
        ++systemColorReads;
        return system;
    }

    Answer<FileDialog> fileAnswer;
    Answer<ColorDialog> colorAnswer;
    Answer<FontDialog> fontAnswer;
    Answer<PrintDialog> printAnswer;
    Answer<PageSetupDialog> pageSetupAnswer;

    QList<FileDialog> fileRuns;
    QList<ColorDialog> colorRuns;
    QList<FontDialog> fontRuns;
    QList<PrintDialog> printRuns;
    QList<PageSetupDialog> pageSetupRuns;

    std::array<qint32, 16> system{0x111111, 0x222222, 0x333333, 0x444444, 0x555555, 0x666666,
                                  0x777777, 0x888888, 0x999999, 0xAAAAAA, 0xBBBBBB, 0xCCCCCC,
                                  0xDDDDDD, 0xEEEEEE, 0xFFFFFF, 0x000001};
    int systemColorReads = 0;

private:
    template <typename Record>
    static bool run(QList<Record>& runs, const Answer<Record>& answer, Record& dialog)
    {
        runs.append(dialog);
        return answer ? answer(dialog) : false;
    }
};
