#include "DataFolder.h"

#include "OwnerOnlyFile.h"

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
    OwnerOnlyFile::makeFolder(folder);
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
