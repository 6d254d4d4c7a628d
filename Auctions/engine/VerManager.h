#pragma once

#include "IXMLPersist.h"

#include <QDateTime>
#include <QObject>

// The version check: the newest version the maker's site offered, and when it was last asked.
class VerManager : public QObject, public IXMLPersist
{
    Q_OBJECT
public:
    explicit VerManager(QObject* parent = nullptr);

    qint32 Major = 0;
    qint32 Minor = 0;
    qint32 Revision = 0;

    QDateTime LastCheck() const { return m_lastCheck; }
    void Check();

    // Serves the state file and the downloaded version file alike.
    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;

private:
    QDateTime m_lastCheck;
};
