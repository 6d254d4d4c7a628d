#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

// A zip archive read back with libzip: its entries in the archive's order, each with its bytes.
class PackageContents
{
public:
    // Empty, with `readable` false, when there is no archive at `path` or it does not open.
    explicit PackageContents(const QString& path);

    bool readable() const { return m_readable; }
    QStringList names() const;
    // The entry's bytes; empty when there is none of that name.
    QByteArray entry(const QString& name) const;

private:
    bool m_readable = false;
    QList<std::pair<QString, QByteArray>> m_entries;
};
