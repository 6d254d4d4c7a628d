#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh data folder for one test: points AUCTIONORV_HOME at a temporary folder while it lives.
class TestDataFolder
{
public:
    TestDataFolder();
    ~TestDataFolder();

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    QString stateFile() const { return filePath(QStringLiteral("auctions.xml")); }
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};
