#pragma once

#include <QObject>

class Updaters : public QObject
{
    Q_OBJECT
public:
    explicit Updaters(QObject* parent = nullptr);
};
