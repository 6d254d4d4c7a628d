#pragma once

#include "MessageBoxSink.h"

#include <QList>
#include <functional>
#include <utility>

// Records every message box and answers with `answer`; `whileOpen`, when set, runs once while the next
// box is open, as the heartbeat or a client could while the user reads it.
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
        if (whileOpen)
            std::exchange(whileOpen, {})();
        return answer;
    }

    QList<Box> boxes;
    Answer answer = AnswerOk;
    std::function<void()> whileOpen;
};
