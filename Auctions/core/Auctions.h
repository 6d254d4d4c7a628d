#pragma once

#include "IXMLPersist.h"

#include <QObject>

class Clock;

class Auctions : public QObject, public IXMLPersist
{
    Q_OBJECT
public:
    explicit Auctions(QObject* parent = nullptr);

    void Init(Clock& clock);

    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;
};
