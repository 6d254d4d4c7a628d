#pragma once

#include "BandMessageBox.h"

#include <QPointer>

class QWidget;

// Message boxes as real modal boxes over the band.
class WidgetBandMessageBox : public BandMessageBox
{
public:
    explicit WidgetBandMessageBox(QWidget* parent = nullptr) : m_parent(parent) {}

    Answer show(Icon icon, const QString& title, const QString& text, Buttons buttons = Ok) override;

private:
    QPointer<QWidget> m_parent;
};
