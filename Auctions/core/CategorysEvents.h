#pragma once

#include <QObject>

// The relay that every member of one Categorys shares.
class CategorysEvents : public QObject
{
    Q_OBJECT
public:
    explicit CategorysEvents(QObject* parent = nullptr) : QObject(parent) {}

    void raiseUpdated() { Q_EMIT Updated(); }

Q_SIGNALS:
    void Updated();
};
