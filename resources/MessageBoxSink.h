#pragma once

#include <QObject>
#include <QString>

// How the model and the engine show a message box: windows implement it with real boxes, tests record
// and answer.
class MessageBoxSink
{
    Q_GADGET
public:
    enum Icon
    {
        NoIcon,
        Information,
        Exclamation,
        Question,
        Critical
    };
    Q_ENUM(Icon)
    enum Buttons
    {
        Ok,
        OkCancel,
        YesNo
    };
    Q_ENUM(Buttons)
    enum Answer
    {
        AnswerOk,
        AnswerCancel,
        AnswerYes,
        AnswerNo
    };
    Q_ENUM(Answer)

    virtual ~MessageBoxSink() = default;
    virtual Answer show(Icon icon, const QString& title, const QString& text, Buttons buttons = Ok) = 0;
};
