#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's own pictures, drawn rather than shipped: the five tray lights and the logo.
class OrvPictures
{
public:
    // The tray picture under its key ("GREEN", "YELLOW", "RED", "FLAG", "GREY"); a null icon otherwise.
    static QIcon light(const QString& key);
    static QPixmap logo(int size);

private:
    static QPixmap lamp(const QColor& colour, int size);
    static QPixmap flag(int size);
};
