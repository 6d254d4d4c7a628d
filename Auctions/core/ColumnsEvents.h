#pragma once

#include <QObject>

class Column;

// The relay that every member of one Columns shares.
class ColumnsEvents : public QObject
{
    Q_OBJECT
public:
    explicit ColumnsEvents(QObject* parent = nullptr) : QObject(parent) {}

    void raiseColumnUpdated(Column* column) { Q_EMIT ColumnUpdated(column); }

Q_SIGNALS:
    void ColumnUpdated(Column* column);
};
