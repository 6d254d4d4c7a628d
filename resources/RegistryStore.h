#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// The registry of this system: a tree of keys below four root keys, each key holding typed values.
// It lives in one file in the user's configuration folder; every change reads the file afresh, changes
// it and writes it back whole under a lock (temporary file, then rename), so that several processes
// share one registry and a crash never leaves half a file. Key and value names are compared without
// regard to letter case and keep the case they were created with. A file that does not read is kept
// aside under another name and replaced by the next change.
class RegistryStore
{
public:
    struct Value
    {
        qint32 type = 0;
        QByteArray data;
    };

    // The file named by `filePath`; the default is "registry.json" in the user's configuration folder.
    explicit RegistryStore(QString filePath = defaultFilePath());

    static QString defaultFilePath();
    const QString& filePath() const { return m_filePath; }

    // Key paths are the names from the root down, separated by "\"; empty parts are skipped, so ""
    // and "\" name the root key itself. `root` is one of the four root-key numbers; any other number
    // names no key.
    bool keyExists(qint32 root, const QString& path) const;
    std::optional<Value> value(qint32 root, const QString& path, const QString& name) const;
    // Names in the order they were created; nullopt when the key does not exist.
    std::optional<QStringList> valueNames(qint32 root, const QString& path) const;
    std::optional<QStringList> keyNames(qint32 root, const QString& path) const;

    // Changes return false when nothing was changed: no such key or value, or the file could not be
    // written (the previous file then stays as it was).
    [[nodiscard]] bool createKey(qint32 root, const QString& path);
    // Only a key without subkeys can be deleted, and never a root key.
    [[nodiscard]] bool deleteKey(qint32 root, const QString& path);
    // Creates the key when it is missing.
    [[nodiscard]] bool setValue(qint32 root, const QString& path, const QString& name, const Value& value);
    [[nodiscard]] bool deleteValue(qint32 root, const QString& path, const QString& name);

    // Whether a value of this type is held as text (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ): its data is
    // UTF-8 ending in one NUL.
    static bool isTextType(qint32 type);

private:
    QString m_filePath;
};
