#include "OwnerOnlyFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Q_LOGGING_CATEGORY(lcFiles, "orv.files")

const QString symbolicLinkText = QStringLiteral("it is a symbolic link, which is never written through");

// What a temporary name adds to its target's name; six random letters or digits follow.
constexpr char temporaryMark[] = ".saving-";
constexpr int temporaryRandomLength = 6;

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
    QByteArray temporary = target + temporaryMark + QByteArray(temporaryRandomLength, 'X');
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
    if (!isLink) {
        static constexpr char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        for (int attempt = 0; attempt < 8; ++attempt) {
            QByteArray linked = target + temporaryMark;
            for (int i = 0; i < temporaryRandomLength; ++i)
                linked += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
            if (::link(source.constData(), linked.constData()) != 0) {
                if (errno == EEXIST)
                    continue;
                break;
            }
            if (::chmod(linked.constData(), info.st_mode & 0700) == 0 &&
                ::rename(linked.constData(), target.constData()) == 0)
                return QString();
            ::unlink(linked.constData());
            break;
        }
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

bool isTemporaryName(const QString& fileName)
{
    const qsizetype mark = fileName.size() - temporaryRandomLength - qsizetype(sizeof temporaryMark - 1);
    if (mark < 1 || !QStringView(fileName).sliced(mark).startsWith(QLatin1String(temporaryMark)))
        return false;
    for (const QChar c : QStringView(fileName).last(temporaryRandomLength)) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z')))
            return false;
    }
    return true;
}

int removeTemporaryFiles(const QString& folder)
{
    int removed = 0;
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (!isTemporaryName(name))
            continue;
        // Never a link (what it points at is not ours to remove), a folder, or another user's file.
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        struct stat info = {};
        if (::lstat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
            continue;
        if (::unlink(path.constData()) == 0) {
            qCInfo(lcFiles) << "Removed a temporary file left by an interrupted save:" << dir.filePath(name);
            ++removed;
        } else {
            qCWarning(lcFiles) << "Could not remove the temporary file" << dir.filePath(name)
                               << systemText(errno);
        }
    }
    return removed;
}

} // namespace OwnerOnlyFile
