#include "OwnerOnlyFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace OwnerOnlyFile {

QString write(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk) shows in write()'s count: a buffered flush can
    // lose it and commit a truncated file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(bytes) != bytes.size() || file.size() != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason.isEmpty() ? QStringLiteral("the file could not be written whole") : reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

bool makeFolder(const QString& folder)
{
    if (QFileInfo(folder).isDir())
        return true;
    if (!QDir().mkpath(folder))
        return false;
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return true;
}

} // namespace OwnerOnlyFile
