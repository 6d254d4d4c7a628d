#include "UnreadableFile.h"

#include "OwnerOnlyFile.h"
#include "ResourcesLog.h"
#include "TimeSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

const QString unreadableMark = QStringLiteral(".unreadable-");
const QString originalMark = QStringLiteral(".original-");

// "<path><mark><timestamp>", with a number added when that name is taken.
QString freeName(const QString& path, const QString& mark)
{
    const QString stamp = TimeSource::current().localNow().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = path + mark + stamp;
    QString name = base;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = base + QLatin1Char('-') + QString::number(n);
    return name;
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

namespace UnreadableFile {

QString keepAside(const QString& path)
{
    const QString aside = freeName(path, unreadableMark);
    // The system's rename, which moves a pipe or a link as it is; only a regular file is copied when that
    // fails, since opening a pipe or a device to copy it could wait for ever.
    const QFileInfo info(path);
    if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0 &&
        !(info.isFile() && !info.isSymLink() && QFile::copy(path, aside)))
        return QString();
    OwnerOnlyFile::makeOwnerOnly(aside);
    return aside;
}

QString keepCopyAside(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return QString();
    // The same file started again before any save: the copy kept the first time holds it already.
    const QByteArray content = contentOf(path);
    const QDir folder = info.absoluteDir();
    const QStringList earlier = folder.entryList({info.fileName() + originalMark + QLatin1Char('*')},
                                                 QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : earlier) {
        const QFileInfo copy(folder.filePath(name));
        if (!copy.isSymLink() && copy.size() == info.size() && contentOf(copy.filePath()) == content)
            return copy.filePath();
    }
    const QString copy = freeName(path, originalMark);
    const QString failure = OwnerOnlyFile::keepCopy(path, copy);
    if (!failure.isEmpty()) {
        qCWarning(lcResources).noquote()
            << "Could not keep a copy of" << path << "as" << copy << ":" << failure;
        return QString();
    }
    return copy;
}

} // namespace UnreadableFile
