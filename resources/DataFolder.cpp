#include "DataFolder.h"

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
    QDir dir(folder);
    if (!dir.exists() && QDir().mkpath(folder))
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir.absolutePath();
}

QString stateFile()
{
    return QDir(path()).filePath(QStringLiteral("auctions.xml"));
}

QString sentSnipesFolder()
{
    return QDir(path()).filePath(QStringLiteral("Sent Snipes"));
}

} // namespace DataFolder
