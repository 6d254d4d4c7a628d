#pragma once

#include "MessageBoxSink.h"

#include <QPointer>
#include <QWidget>

// Message boxes shown as real modal boxes, over `parent` when given, else over the active window.
class WidgetMessageBoxSink : public MessageBoxSink
{
public:
    explicit WidgetMessageBoxSink(QWidget* parent = nullptr) : m_parent(parent) {}
    Answer show(Icon icon, const QString& title, const QString& text, Buttons buttons = Ok) override;

private:
    QPointer<QWidget> m_parent;
};
