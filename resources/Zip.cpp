#include "Zip.h"

#include "OrvError.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <zip.h>

namespace {

// One per process: the report of the latest run of any archive.
QString& lastMessage()
{
    static QString text;
    return text;
}

void report(const QString& line)
{
    lastMessage() += line + QLatin1Char('\n');
}

QString zipErrorText(zip_error_t* error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

// The base folder of stored names; "\" (the default) and other backslashes are read as "/".
QString rootFolder(const QString& root)
{
    QString folder = root;
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (folder.isEmpty())
        folder = QStringLiteral("/");
    return QDir::cleanPath(QDir(folder).absolutePath());
}

// The stored name: the path below the root folder, else the whole path without its leading "/".
QString entryName(const QString& root, const QString& path)
{
    const QString relative = QDir(root).relativeFilePath(path);
    if (!relative.startsWith(QLatin1String("..")) && !QDir::isAbsolutePath(relative))
        return relative;
    QString name = path;
    while (name.startsWith(QLatin1Char('/')))
        name.remove(0, 1);
    return name;
}

class ArchiveWriter
{
public:
    ArchiveWriter(zip_t* archive, QString root) : m_archive(archive), m_root(std::move(root)) {}

    // False, with the reason reported, when the name cannot be read or stored.
    bool addPath(const QString& path, bool recurse)
    {
        const QFileInfo info(path);
        if (info.isDir()) {
            if (!addFolder(path))
                return false;
            if (!recurse)
                return true;
            QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString child = it.next();
                const bool ok = it.fileInfo().isDir() ? addFolder(child) : addFile(child);
                if (!ok)
                    return false;
            }
            return true;
        }
        return addFile(path);
    }

    qint32 failure() const { return m_failure; }

private:
    bool addFolder(const QString& path)
    {
        const QByteArray name = (entryName(m_root, path) + QLatin1Char('/')).toUtf8();
        if (zip_dir_add(m_archive, name.constData(), ZIP_FL_ENC_UTF_8) < 0 &&
            zip_error_code_zip(zip_get_error(m_archive)) != ZIP_ER_EXISTS) {
            return fail(Zip::WriteFailed, QStringLiteral("zip error: could not add %1 (%2)")
                                              .arg(path, zipErrorText(zip_get_error(m_archive))));
        }
        report(QStringLiteral("  adding: %1").arg(QString::fromUtf8(name)));
        return true;
    }

    bool addFile(const QString& path)
    {
        // Checked now so that the reason names the file; the source itself is read at closing.
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly)) {
            return fail(Zip::CannotRead, QStringLiteral("zip error: could not open %1 for reading (%2)")
                                             .arg(path, probe.errorString()));
        }
        probe.close();
        const QByteArray local = QFile::encodeName(path);
        zip_source_t* source = zip_source_file(m_archive, local.constData(), 0, -1);
        const QByteArray name = entryName(m_root, path).toUtf8();
        if (!source ||
            zip_file_add(m_archive, name.constData(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
            if (source)
                zip_source_free(source);
            return fail(Zip::WriteFailed, QStringLiteral("zip error: could not add %1 (%2)")
                                              .arg(path, zipErrorText(zip_get_error(m_archive))));
        }
        report(QStringLiteral("  adding: %1").arg(QString::fromUtf8(name)));
        return true;
    }

    bool fail(qint32 code, const QString& why)
    {
        report(why);
        m_failure = code;
        return false;
    }

    zip_t* m_archive;
    QString m_root;
    qint32 m_failure = 0;
};

} // namespace

Zip::Zip() : m_names{placeholder()} {}

qint32 Zip::ZipFileCount() const
{
    // The placeholder counts wherever it stands, and not at all once removed.
    return qint32(m_names.size() - m_names.count(placeholder()));
}

void Zip::AddFile(const QString& sFileName)
{
    if (m_names.contains(sFileName, Qt::CaseInsensitive))
        throw OrvError(ErrAlreadyListed, QStringLiteral("CGZip::AddFile"),
                       QStringLiteral("File is already in Zip List"));
    m_names.append(sFileName);
}

void Zip::RemoveFile(const QString& sFileName)
{
    for (qsizetype i = 0; i < m_names.size(); ++i) {
        if (m_names.at(i).compare(sFileName, Qt::CaseInsensitive) == 0) {
            m_names.removeAt(i);
            return;
        }
    }
    throw OrvError(ErrNotListed, QStringLiteral("CGZip::RemoveFile"),
                   QStringLiteral("File is not in Zip List"));
}

qint32 Zip::MakeZipFile()
{
    lastMessage().clear();
    if (m_names.size() > MaxNames) {
        const QString why = QStringLiteral("Subscript out of range: %1 names, at most %2 fit one archive")
                                .arg(m_names.size() - 1)
                                .arg(MaxNames - 1);
        report(QStringLiteral("zip error: ") + why);
        throw OrvError(ErrTooManyNames, QStringLiteral("CGZipFiles::MakeZipFile"), why);
    }

    const QString root = rootFolder(m_rootDirectory);
    QStringList files;
    for (const QString& name : m_names) {
        // Only the placeholder's exact text stands for no file; a real name in its slot is kept.
        if (name != placeholder())
            files.append(QDir::isAbsolutePath(name) ? QDir::cleanPath(name)
                                                    : QDir(root).absoluteFilePath(name));
    }
    if (files.isEmpty()) {
        report(QStringLiteral("zip error: Nothing to do! (no files listed)"));
        return NothingToDo;
    }
    if (m_zipFileName.isEmpty()) {
        report(QStringLiteral("zip error: no archive name given"));
        return CannotCreate;
    }

    // Built beside the target and renamed over it only when complete, so a failure never leaves a
    // half archive nor spoils the one already there.
    const QFileInfo target(m_zipFileName);
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!temp.open()) {
        report(QStringLiteral("zip error: could not create output file %1 (%2)")
                   .arg(m_zipFileName, temp.errorString()));
        return CannotCreate;
    }
    const bool update = m_updating && target.exists();
    if (update) {
        QFile old(target.absoluteFilePath());
        if (!old.open(QIODevice::ReadOnly) || temp.write(old.readAll()) != old.size()) {
            report(QStringLiteral("zip error: could not copy the archive %1 (%2)")
                       .arg(m_zipFileName, old.errorString()));
            return CannotRead;
        }
    }
    temp.close();

    const QByteArray tempPath = QFile::encodeName(temp.fileName());
    int openError = 0;
    zip_t* archive = zip_open(tempPath.constData(), ZIP_CREATE | (update ? 0 : ZIP_TRUNCATE), &openError);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, openError);
        report(QStringLiteral("zip error: could not open the archive %1 (%2)")
                   .arg(m_zipFileName, zipErrorText(&error)));
        zip_error_fini(&error);
        return update ? CannotRead : CannotCreate;
    }

    ArchiveWriter writer(archive, root);
    for (const QString& file : std::as_const(files)) {
        if (!QFileInfo::exists(file) && !QFileInfo(file).isSymLink()) {
            report(QStringLiteral("zip error: name not matched: %1").arg(file));
            zip_discard(archive);
            return CannotRead;
        }
        if (!writer.addPath(file, m_recurse)) {
            zip_discard(archive);
            return writer.failure();
        }
    }
    if (zip_close(archive) < 0) {
        report(QStringLiteral("zip error: could not write the archive %1 (%2)")
                   .arg(m_zipFileName, zipErrorText(zip_get_error(archive))));
        zip_discard(archive);
        return WriteFailed;
    }
    if (std::rename(tempPath.constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        report(QStringLiteral("zip error: could not create output file %1 (%2)")
                   .arg(m_zipFileName, QString::fromLocal8Bit(std::strerror(errno))));
        return CannotCreate;
    }
    return 0;
}

QString Zip::GetLastMessage()
{
    return lastMessage();
}
