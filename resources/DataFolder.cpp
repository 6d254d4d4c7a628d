#include "DataFolder.h"

#include "OwnerOnlyFile.h"
#include "ResourcesLog.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace DataFolder {

QString path()
{
    QString folder = qEnvironmentVariable("AUCTIONORV_HOME");
    if (folder.isEmpty())
        folder = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                     .filePath(QStringLiteral("auction-orv"));
    // Whatever is stored there later fails and is reported on its own; this says why.
    if (!OwnerOnlyFile::makeFolder(folder))
        qCWarning(lcResources).noquote() << "Cannot create the data folder" << folder;
    return QDir(folder).absolutePath();
}

QString stateFile()
{
    return QDir(path()).filePath(QStringLiteral("auctions.xml"));
}

QString lockFile()
{
    return QDir(path()).filePath(QStringLiteral("auctions.xml.lock"));
}

QString sentSnipesFolder()
{
    return QDir(path()).filePath(QStringLiteral("Sent Snipes"));
}

} // namespace DataFolder
