#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// While it lives, the data folder is a path below a plain file: no save there can succeed ("Not a
// directory"), not even for root, whom folder permissions do not stop.
class UnwritableDataFolder
{
public:
    // `plainFile` is created (empty) where the folder's parent would be.
    explicit UnwritableDataFolder(const QString& plainFile) : m_previous(qgetenv("AUCTIONORV_HOME"))
    {
        QFile file(plainFile);
        if (file.open(QIODevice::WriteOnly))
            file.close();
        qputenv("AUCTIONORV_HOME", (plainFile + QStringLiteral("/data")).toUtf8());
    }
    ~UnwritableDataFolder() { qputenv("AUCTIONORV_HOME", m_previous); }
    UnwritableDataFolder(const UnwritableDataFolder&) = delete;
    UnwritableDataFolder& operator=(const UnwritableDataFolder&) = delete;

private:
    QByteArray m_previous;
};
