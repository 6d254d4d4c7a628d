#include "DebugPackage.h"

#include "DebugToolLog.h"
#include "ItemLinks.h"
#include "OrvError.h"
#include "StateFileCopy.h"
#include "Zip.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

const QString stateFileName = QStringLiteral("auctions.xml");
const QString sentSnipesName = QStringLiteral("Sent Snipes");
// Far above any page the bid sender keeps (8 MB) or any state file; a larger file is no page.
constexpr qint64 MaxFileBytes = qint64(64) << 20;

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A file descriptor closed when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

private:
    int m_fd;
};

// A file as the system knows it, whatever its names.
struct FileIdentity
{
    dev_t device;
    ino_t inode;
    QString name;
};

// Every regular file of the data folder whose name starts with the state file's name: the state file,
// its kept copies and whatever else keeps its text. A link among them counts for the file it leads to.
QList<FileIdentity> stateFileCopies(int rootFd, const QString& root)
{
    QList<FileIdentity> copies;
    const QStringList names =
        QDir(root).entryList({stateFileName + QLatin1Char('*')},
                             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        // Followed: a plain file is itself, a link counts for what it leads to.
        struct stat info;
        if (::fstatat(rootFd, QFile::encodeName(name).constData(), &info, 0) == 0 && S_ISREG(info.st_mode))
            copies.append({info.st_dev, info.st_ino, name});
    }
    return copies;
}

// Where a page stands among the bid pages.
enum class PageKind
{
    Missing, // no page, or a link that leads nowhere
    Present,
    Refused
};

// What is at `name` in the bid page folder, looked at without following a link.
PageKind pageKind(int folderFd, const QString& name, const QString& shown, QString& why)
{
    const QByteArray encoded = QFile::encodeName(name);
    struct stat info;
    if (::fstatat(folderFd, encoded.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return PageKind::Missing;
        why = QStringLiteral("\"%1\" could not be read: %2").arg(shown, systemText(errno));
        return PageKind::Refused;
    }
    if (!S_ISLNK(info.st_mode))
        return PageKind::Present;
    // A link that leads nowhere is no saved page; one that leads somewhere is not read.
    if (::fstatat(folderFd, encoded.constData(), &info, 0) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        qCInfo(lcDebugTool).noquote() << shown << "is a link that leads nowhere; no bid page for it";
        return PageKind::Missing;
    }
    why = QStringLiteral("\"%1\" is a link; bid pages are packed only as plain files").arg(shown);
    return PageKind::Refused;
}

// Reads the plain file open at `fd`, whose status is `info`, within the size limit.
std::optional<QByteArray> readOpened(int fd, const struct stat& info, const QString& shown, QString& why)
{
    if (info.st_size > MaxFileBytes) {
        why = QStringLiteral("\"%1\" is too large (%2 bytes)").arg(shown).arg(qint64(info.st_size));
        return std::nullopt;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
        why = QStringLiteral("\"%1\" could not be read: %2").arg(shown, file.errorString());
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        why = QStringLiteral("\"%1\" could not be read: %2").arg(shown, file.errorString());
        return std::nullopt;
    }
    return bytes;
}

// Reads the page `name` of the bid page folder as a plain file, without following a link; nothing when
// it went away meanwhile (`why` empty) or is refused (`why` says why).
std::optional<QByteArray> readPage(int folderFd, const QString& name, const QString& shown,
                                   const QList<FileIdentity>& stateCopies, QString& why)
{
    why.clear();
    // A pipe in its place cannot hold the open.
    Descriptor fd(::openat(folderFd, QFile::encodeName(name).constData(),
                           O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        if (errno == ENOENT)
            return std::nullopt;
        why = errno == ELOOP
                  ? QStringLiteral("\"%1\" is a link; bid pages are packed only as plain files").arg(shown)
                  : QStringLiteral("\"%1\" could not be read: %2").arg(shown, systemText(errno));
        return std::nullopt;
    }
    struct stat info;
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        why = QStringLiteral("\"%1\" is not a plain file").arg(shown);
        return std::nullopt;
    }
    for (const FileIdentity& copy : stateCopies) {
        if (copy.device == info.st_dev && copy.inode == info.st_ino) {
            why =
                QStringLiteral("\"%1\" is the file \"%2\" under another name; it holds the password and was "
                               "not packed")
                    .arg(shown, copy.name);
            return std::nullopt;
        }
    }
    return readOpened(fd.get(), info, shown, why);
}

// The file at `path` (a name under the data folder, for messages: `shown`), read only where it is a
// plain file inside the data folder `root` (canonical): a link is followed only while it stays inside.
std::optional<QByteArray> readInside(const QString& root, const QString& path, const QString& shown,
                                     QString& why)
{
    const QString real = QFileInfo(path).canonicalFilePath();
    if (real.isEmpty()) {
        why = QStringLiteral("\"%1\" could not be read: %2").arg(shown, systemText(ENOENT));
        return std::nullopt;
    }
    if (!real.startsWith(root + QLatin1Char('/'))) {
        why = QStringLiteral("\"%1\" leads out of the data folder (to \"%2\"); it was not packed")
                  .arg(shown, real);
        return std::nullopt;
    }
    // No link is followed from here on, and a pipe in its place cannot hold the open.
    Descriptor fd(
        ::open(QFile::encodeName(real).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        why = QStringLiteral("\"%1\" could not be read: %2").arg(shown, systemText(errno));
        return std::nullopt;
    }
    struct stat info;
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        why = QStringLiteral("\"%1\" is not a plain file").arg(shown);
        return std::nullopt;
    }
    return readOpened(fd.get(), info, shown, why);
}

// Writes a staged copy; false with the reason on failure.
bool stage(const QString& path, const QByteArray& bytes, QString& why)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() ||
        !file.flush()) {
        why = QStringLiteral("a copy for the package could not be written: %1").arg(file.errorString());
        return false;
    }
    return true;
}

DebugPackage::Outcome failed(QString reason)
{
    return {false, std::move(reason)};
}

} // namespace

DebugPackage::DebugPackage(QString dataFolder) : m_dataFolder(std::move(dataFolder)) {}

DebugPackage::Outcome DebugPackage::write(const QString& target, const QStringList& items) const
{
    const QString root = QFileInfo(m_dataFolder).canonicalFilePath();
    if (root.isEmpty())
        return failed(QStringLiteral("The data folder \"%1\" could not be read: %2")
                          .arg(m_dataFolder, systemText(ENOENT)));
    const QDir data(m_dataFolder);
    for (const QString& item : items) {
        if (!ItemLinks::isValidItem(item))
            return failed(
                QStringLiteral("\"%1\" is not an item number; no bid page is read for it").arg(item));
    }

    // The bid pages are read only through the data folder and its own page folder, never through a link.
    const Descriptor rootFd(::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!rootFd.valid())
        return failed(
            QStringLiteral("The data folder \"%1\" could not be read: %2").arg(root, systemText(errno)));
    const int pagesFdNumber = items.isEmpty()
                                  ? -1
                                  : ::openat(rootFd.get(), QFile::encodeName(sentSnipesName).constData(),
                                             O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int error = errno;
    const Descriptor pagesFd(pagesFdNumber);
    if (!items.isEmpty() && !pagesFd.valid()) {
        // No page folder is no saved page.
        if (error != ENOENT) {
            struct stat info;
            const bool link = ::fstatat(rootFd.get(), QFile::encodeName(sentSnipesName).constData(), &info,
                                        AT_SYMLINK_NOFOLLOW) == 0 &&
                              S_ISLNK(info.st_mode);
            if (link)
                return failed(
                    QStringLiteral("\"%1\" is a link; no bid page is read through it").arg(sentSnipesName));
            return failed(QStringLiteral("\"%1\" could not be read: %2")
                              .arg(sentSnipesName, error == ENOTDIR ? QStringLiteral("it is not a folder")
                                                                    : systemText(error)));
        }
    }

    // The pages are found before anything is read, so that too many of them cost no reading.
    QStringList pages;
    QString why;
    if (pagesFd.valid()) {
        for (const QString& item : items) {
            const QString file = item + QStringLiteral(".html");
            const QString name = sentSnipesName + QLatin1Char('/') + file;
            switch (pageKind(pagesFd.get(), file, name, why)) {
            case PageKind::Missing:
                break;
            case PageKind::Present:
                pages.append(item);
                break;
            case PageKind::Refused:
                return failed(QStringLiteral("The bid page %1").arg(why));
            }
        }
    }
    if (pages.size() > MaxPages)
        return failed(
            QStringLiteral("%1 of the ticked auctions have a bid page; one package holds at most %2")
                .arg(pages.size())
                .arg(MaxPages));

    // The package is made from copies in a private folder of this process: the state file without its
    // password, and the pages as they were read here, so that nothing changes between test and packing.
    QTemporaryDir staging;
    if (!staging.isValid())
        return failed(QStringLiteral("No working folder for the package: %1").arg(staging.errorString()));
    const std::optional<QByteArray> state =
        readInside(root, data.filePath(stateFileName), stateFileName, why);
    if (!state)
        return failed(QStringLiteral("The state file %1").arg(why));
    const std::optional<QByteArray> withoutPassword = StateFileCopy::withoutPassword(*state, why);
    if (!withoutPassword)
        return failed(
            QStringLiteral("The password could not be taken out: %1; the package was not written").arg(why));
    if (!stage(staging.filePath(stateFileName), *withoutPassword, why))
        return failed(QStringLiteral("The state file: %1").arg(why));
    if (!pages.isEmpty() && !QDir(staging.path()).mkdir(sentSnipesName))
        return failed(QStringLiteral("No working folder for the bid pages"));
    // Taken now, so that no copy the program kept meanwhile is missed.
    const QList<FileIdentity> stateCopies = stateFileCopies(rootFd.get(), root);
    QStringList packed;
    for (const QString& item : std::as_const(pages)) {
        const QString file = item + QStringLiteral(".html");
        const QString name = sentSnipesName + QLatin1Char('/') + file;
        const std::optional<QByteArray> bytes = readPage(pagesFd.get(), file, name, stateCopies, why);
        if (!bytes && why.isEmpty())
            continue; // gone since it was found: no saved page
        if (!bytes)
            return failed(QStringLiteral("The bid page %1").arg(why));
        // A copy of the state file from before a save (a second name the save has since left behind) is
        // no other name of any copy now, but still holds a password.
        if (StateFileCopy::holdsPassword(*bytes))
            return failed(
                QStringLiteral("The bid page \"%1\" is a state file with a password; it was not packed")
                    .arg(name));
        if (!stage(staging.filePath(name), *bytes, why))
            return failed(QStringLiteral("The bid page %1").arg(why));
        packed.append(name);
    }

    Zip zip;
    zip.setZipFileName(target);
    zip.setUpdatingZip(false);
    zip.setRootDirectory(staging.path());
    try {
        // Without the placeholder, the state file and 99 pages fill the list's 100 names.
        zip.RemoveFile(Zip::placeholder());
        zip.AddFile(stateFileName);
        for (const QString& page : std::as_const(packed))
            zip.AddFile(page);
        if (zip.MakeZipFile() != 0)
            return failed(Zip::GetLastMessage().trimmed());
    } catch (const OrvError& error) {
        return failed(error.description());
    }
    return {true, {}};
}
