#pragma once

#include <QObject>

namespace Remote {

// The main program's connection watch: its status lines.
class NetManager : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The replica's side.
    void takeStatus(const QString& text) { Q_EMIT StatusChange(text); }

Q_SIGNALS:
    void StatusChange(const QString& sStatus);
};

} // namespace Remote
