#pragma once

#include "MessageBoxSink.h"

class QWidget;

// Message boxes shown as real modal boxes.
class WidgetMessageBoxSink : public MessageBoxSink
{
public:
    Answer show(Icon icon, const QString& title, const QString& text, Buttons buttons = Ok) override;
};
