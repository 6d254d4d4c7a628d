#pragma once

#include <QString>

// How the model and the engine show a message box: windows implement it with real boxes, tests record
// and answer.
class MessageBoxSink
{
public:
    enum Icon
    {
        NoIcon,
        Information,
        Exclamation,
        Question,
        Critical
    };
    enum Buttons
    {
        Ok,
        OkCancel,
        YesNo
    };
    enum Answer
    {
        AnswerOk,
        AnswerCancel,
        AnswerYes,
        AnswerNo
    };

    virtual ~MessageBoxSink() = default;
    virtual Answer show(Icon icon, const QString& title, const QString& text, Buttons buttons = Ok) = 0;
};
