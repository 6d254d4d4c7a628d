#pragma once

#include "IXMLPersist.h"

#include <QDateTime>
#include <QObject>

class VerManager : public QObject, public IXMLPersist
{
    Q_OBJECT
public:
    explicit VerManager(QObject* parent = nullptr);

    QDateTime LastCheck() const { return m_lastCheck; }
    void Check();

    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;

private:
    QDateTime m_lastCheck;
};
