#include "UnreadableFile.h"

#include "OwnerOnlyFile.h"
#include "TimeSource.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace UnreadableFile {

QString keepAside(const QString& path)
{
    const QString stamp = TimeSource::current().localNow().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = path + QStringLiteral(".unreadable-") + stamp;
    QString aside = base;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = base + QLatin1Char('-') + QString::number(n);
    // The system's rename, which moves a pipe or a link as it is; only a regular file is copied when that
    // fails, since opening a pipe or a device to copy it could wait for ever.
    const QFileInfo info(path);
    if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0 &&
        !(info.isFile() && !info.isSymLink() && QFile::copy(path, aside)))
        return QString();
    OwnerOnlyFile::makeOwnerOnly(aside);
    return aside;
}

} // namespace UnreadableFile
