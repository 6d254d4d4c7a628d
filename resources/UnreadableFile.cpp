#include "UnreadableFile.h"

#include "TimeSource.h"

#include <QFile>

namespace UnreadableFile {

QString keepAside(const QString& path)
{
    const QString stamp = TimeSource::current().localNow().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = path + QStringLiteral(".unreadable-") + stamp;
    QString aside = base;
    for (int n = 2; QFile::exists(aside); ++n)
        aside = base + QLatin1Char('-') + QString::number(n);
    if (QFile::rename(path, aside) || QFile::copy(path, aside))
        return aside;
    return QString();
}

} // namespace UnreadableFile
