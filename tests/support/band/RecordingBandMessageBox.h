#pragma once

#include "BandMessageBox.h"

#include <QList>

// Records every box the band shows and answers with `answer`.
class RecordingBandMessageBox : public BandMessageBox
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
