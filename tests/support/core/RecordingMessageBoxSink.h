#pragma once

#include "MessageBoxSink.h"

#include <QList>

// Records every message box and answers with `answer`.
class RecordingMessageBoxSink : public MessageBoxSink
{
public:
    struct Box
    {
        Icon icon;
        QString title;
        QString text;
        Buttons buttons;
    };

    Answer show(Icon icon, const QString& title, const QString& text, Buttons buttons = Ok) override
    {
        boxes.append({icon, title, text, buttons});
        return answer;
    }

    QList<Box> boxes;
    Answer answer = AnswerOk;
};
