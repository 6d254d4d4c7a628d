#pragma once

#include <QColor>

// Colours are stored as one number in blue-green-red order (255 is red), as the settings keep them.
class BgrColor
{
public:
    static QColor toColor(qint32 value);
    static qint32 fromColor(const QColor& colour);
};
