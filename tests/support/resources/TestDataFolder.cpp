#include "TestDataFolder.h"

#include <QFile>

TestDataFolder::TestDataFolder() : m_previous(qgetenv("AUCTIONORV_HOME"))
{
    qputenv("AUCTIONORV_HOME", m_dir.path().toUtf8());
}

TestDataFolder::~TestDataFolder()
{
    qputenv("AUCTIONORV_HOME", m_previous);
}

void TestDataFolder::write(const QString& name, const QByteArray& bytes) const
{
    QFile file(filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QByteArray TestDataFolder::read(const QString& name) const
{
    QFile file(filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
