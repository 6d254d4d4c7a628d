#pragma once

#include "Zip.h"

#include <QString>
#include <QStringList>

// Writes a debug package: one zip archive holding the data folder's state file, with the site password
// taken out, and the saved bid pages ("Sent Snipes/<item>.html") of the auctions asked for. The files go
// into the archive under those names, never under the user's own folder paths.
class DebugPackage
{
public:
    // More bid pages than this do not fit one package: the state file takes one of the archive's names.
    static constexpr int MaxPages = Zip::MaxNames - 1;

    struct Outcome
    {
        bool written = false;
        // Why the package was not written, for the user.
        QString reason;
    };

    // The data folder that holds "auctions.xml" and "Sent Snipes".
    explicit DebugPackage(QString dataFolder);

    // Writes the package to `target`, replacing a file there only once the new one is complete. `items`
    // are item numbers in the order their pages go in; one without a saved page (no file, or a link that
    // leads nowhere) adds nothing. Pages are read only as plain files, never through a link. Fails, and
    // writes nothing, when the state file cannot be read, an item number is not one, a page that is there
    // is a link, is not a plain file, cannot be read or is another name of the state file or of a kept
    // copy of it (any file of the data folder whose name starts with "auctions.xml"), "Sent Snipes" is a
    // link, there are more than MaxPages pages, or the archive cannot be written.
    Outcome write(const QString& target, const QStringList& items) const;

private:
    QString m_dataFolder;
};
