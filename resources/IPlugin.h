#pragma once

#include <QString>

// A component that a host program starts and stops. The bodies here do nothing.
class IPlugin
{
public:
    virtual ~IPlugin();

    // Starts the component, told the path of the file that starts it.
    virtual void Begin(QString& sCallingFile);
    virtual void ShutDown();
    // The component's unique key.
    virtual QString Key() const;
};
