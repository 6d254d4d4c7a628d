#pragma once

#include <QString>

// One cell of a list row as a column fills it: a text, or the key of an image of the list's image list.
// The main window's list, the band and the debug tool each adapt it to their own widgets.
class ListCell
{
public:
    virtual ~ListCell() = default;
    virtual void setText(const QString& text) = 0;
    virtual void setImageKey(const QString& key) = 0;
};
