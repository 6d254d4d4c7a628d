#pragma once

#include "IXMLPersist.h"

#include <QObject>

class Categorys : public QObject, public IXMLPersist
{
    Q_OBJECT
public:
    explicit Categorys(QObject* parent = nullptr);

    void Load(XMLManager& loader) override;
    void Save(XMLManager& loader) override;
};
