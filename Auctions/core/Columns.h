#pragma once

#include "IXMLPersist.h"

#include <QObject>

class Columns : public QObject, public IXMLPersist
{
    Q_OBJECT
public:
    explicit Columns(QObject* parent = nullptr);

    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;
};
