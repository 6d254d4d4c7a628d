#include "OwnerOnlyFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Q_LOGGING_CATEGORY(lcFiles, "orv.files")

const QString symbolicLinkText = QStringLiteral("it is a symbolic link, which is never written through");

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool isSymbolicLink(const QByteArray& path)
{
    struct stat info = {};
    return ::lstat(path.constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

} // namespace

namespace OwnerOnlyFile {

QString write(const QString& path, const QByteArray& bytes)
{
    const QByteArray target = QFile::encodeName(path);
    if (isSymbolicLink(target)) {
        qCWarning(lcFiles) << "Refused to write through the symbolic link" << path;
        return symbolicLinkText;
    }
    // A new file of the owner's alone beside the old one; the rename replaces a link planted meanwhile
    // instead of following it. The system's own words for a failure (a full disk, a size limit) are kept.
    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return systemText(errno);
    int error = 0;
    for (qsizetype done = 0; done < bytes.size() && error == 0;) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written > 0)
            done += written;
        else if (written == 0)
            error = EIO;
        else if (errno != EINTR)
            error = errno;
    }
    if (error == 0 && ::fdatasync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        return systemText(error);
    }
    return QString();
}

QString keepCopy(const QString& path, const QString& copy)
{
    const QByteArray source = QFile::encodeName(path);
    struct stat info = {};
    if (::lstat(source.constData(), &info) != 0)
        return errno == ENOENT ? QString() : systemText(errno);
    // A link to a regular file is copied from what it points at, never given a second name itself.
    const bool isLink = S_ISLNK(info.st_mode);
    if (isLink && ::stat(source.constData(), &info) != 0)
        return systemText(errno);
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("it is not a regular file");
    // A second name for the same file takes no space and cannot break off half-way; it is renamed into
    // place, so that a link planted at the copy's name is replaced, not followed.
    const QByteArray target = QFile::encodeName(copy);
    const QByteArray linked = target + ".new";
    ::unlink(linked.constData());
    if (!isLink && ::link(source.constData(), linked.constData()) == 0) {
        if (::chmod(linked.constData(), info.st_mode & 0700) == 0 &&
            ::rename(linked.constData(), target.constData()) == 0)
            return QString();
        ::unlink(linked.constData());
    }
    // A file system without second names, or a file of another owner: a copy of the bytes.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    return write(copy, file.readAll());
}

bool makeFolder(const QString& folder)
{
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return false;
    if (!makeOwnerOnly(folder))
        qCWarning(lcFiles) << "Could not make the folder owner-only:" << folder << systemText(errno);
    return true;
}

bool makeOwnerOnly(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (::lstat(name.constData(), &info) != 0)
        return false;
    // chmod follows links: only a link to a folder (a data folder kept elsewhere) is followed.
    if (S_ISLNK(info.st_mode) && (::stat(name.constData(), &info) != 0 || !S_ISDIR(info.st_mode)))
        return true;
    if ((info.st_mode & 077) == 0)
        return true;
    return ::chmod(name.constData(), info.st_mode & 0700) == 0;
}

} // namespace OwnerOnlyFile
