#pragma once

#include <QString>
#include <QStringList>

// Collects file names and writes them into one zip archive. The list always starts with a
// placeholder entry that stands for no file; names compare without regard to case.
class Zip
{
public:
    static constexpr qint32 ErrAlreadyListed = qint32(0x800407D1);
    static constexpr qint32 ErrNotListed = qint32(0x800407D2);
    static constexpr qint32 ErrTooManyNames = 9;
    // At most this many list entries, the placeholder included.
    static constexpr int MaxNames = 100;

    // Result codes of MakeZipFile besides 0.
    enum Result : qint32
    {
        NothingToDo = 12,
        WriteFailed = 14,
        CannotCreate = 15,
        CannotRead = 18,
    };

    static QString placeholder() { return QStringLiteral("querty"); }

    Zip();

    bool RecurseFolders() const { return m_recurse; }
    void setRecurseFolders(bool on) { m_recurse = on; }
    QString ZipFileName() const { return m_zipFileName; }
    void setZipFileName(const QString& name) { m_zipFileName = name; }
    bool Encrypted() const { return m_encrypted; }
    void setEncrypted(bool on) { m_encrypted = on; }
    bool IncludeSystemFiles() const { return m_systemFiles; }
    void setIncludeSystemFiles(bool on) { m_systemFiles = on; }
    // Listed names other than the placeholder.
    qint32 ZipFileCount() const;
    QString RootDirectory() const { return m_rootDirectory; }
    void setRootDirectory(const QString& folder) { m_rootDirectory = folder; }
    bool UpdatingZip() const { return m_updating; }
    void setUpdatingZip(bool on) { m_updating = on; }

    // Throws OrvError ErrAlreadyListed when the name is listed in any case.
    void AddFile(const QString& sFileName);
    // Throws OrvError ErrNotListed when the name is not listed.
    void RemoveFile(const QString& sFileName);
    // Writes the archive; 0 on success, else one of Result with the reason in GetLastMessage. Throws
    // OrvError ErrTooManyNames, writing nothing, when the list holds more than MaxNames entries.
    qint32 MakeZipFile();
    // What the most recent MakeZipFile of any Zip in this process reported.
    static QString GetLastMessage();

    // The entries in list order, the placeholder included while it is listed.
    QStringList names() const { return m_names; }

private:
    QStringList m_names;
    bool m_recurse = false;
    QString m_zipFileName;
    bool m_encrypted = false;
    bool m_systemFiles = false;
    QString m_rootDirectory = QStringLiteral("\\");
    bool m_updating = false;
};
