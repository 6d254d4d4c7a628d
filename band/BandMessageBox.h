#pragma once

#include <QObject>
#include <QString>

// How the band shows a message box: the band's window shows real boxes, tests record and answer.
class BandMessageBox
{
    Q_GADGET
public:
    enum Icon
    {
        Information,
        Exclamation,
        Question
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

    virtual ~BandMessageBox() = default;
    virtual Answer show(Icon icon, const QString& title, const QString& text, Buttons buttons = Ok) = 0;
};
