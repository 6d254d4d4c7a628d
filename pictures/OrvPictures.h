#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

// The program's one set of pictures, drawn rather than shipped, under the keys its image lists use: the
// list's report icons ("blank", "category", "ieyellow", ... "basket"), the lights ("grey", "yellow",
// "red", "green"), the buttons ("stop", "updateall", ... "addcat") and the tray's pictures ("GREEN",
// "YELLOW", "RED", "FLAG", "GREY"), and the band's tree ("item", "dollar", ... "comment", the folders
// "closed", "open", "closed2", "open2"). A key names the same picture in every list; letter case is ignored.
// Each picture is drawn at the size asked for, and greyed out for a disabled button.
class OrvPictures
{
public:
    // The picture under `key`; a null icon for a key that names none.
    static QIcon icon(const QString& key);
    // Every key that names a picture, in lower case.
    static QStringList keys();
    // The tray's picture under its key ("GREEN", "YELLOW", "RED", "FLAG", "GREY"); a null icon otherwise.
    static QIcon light(const QString& key);
    static QPixmap logo(int size);
};
