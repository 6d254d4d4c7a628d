#include "DebugPackage.h"

#include "Auctions.h"
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

// Whether there is a directory entry at `path`, a dangling link included.
bool present(const QString& path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
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
    const int fd =
        ::open(QFile::encodeName(real).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = QStringLiteral("\"%1\" could not be read: %2").arg(shown, systemText(errno));
        return std::nullopt;
    }
    QFile file;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        why = QStringLiteral("\"%1\" is not a plain file").arg(shown);
        return std::nullopt;
    }
    if (info.st_size > MaxFileBytes) {
        ::close(fd);
        why = QStringLiteral("\"%1\" is too large (%2 bytes)").arg(shown).arg(qint64(info.st_size));
        return std::nullopt;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
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

    // The pages are found before anything is read, so that too many of them cost no reading.
    QStringList pages;
    for (const QString& item : items) {
        if (!Auctions::isValidItemNumber(item))
            return failed(
                QStringLiteral("\"%1\" is not an item number; no bid page is read for it").arg(item));
        const QString name = sentSnipesName + QLatin1Char('/') + item + QStringLiteral(".html");
        if (present(data.filePath(name)))
            pages.append(name);
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
    QString why;
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
    for (const QString& page : std::as_const(pages)) {
        const std::optional<QByteArray> bytes = readInside(root, data.filePath(page), page, why);
        if (!bytes || !stage(staging.filePath(page), *bytes, why))
            return failed(QStringLiteral("The bid page %1").arg(why));
    }

    Zip zip;
    zip.setZipFileName(target);
    zip.setUpdatingZip(false);
    zip.setRootDirectory(staging.path());
    try {
        // Without the placeholder, the state file and 99 pages fill the list's 100 names.
        zip.RemoveFile(Zip::placeholder());
        zip.AddFile(stateFileName);
        for (const QString& page : std::as_const(pages))
            zip.AddFile(page);
        if (zip.MakeZipFile() != 0)
            return failed(Zip::GetLastMessage().trimmed());
    } catch (const OrvError& error) {
        return failed(error.description());
    }
    return {true, {}};
}
