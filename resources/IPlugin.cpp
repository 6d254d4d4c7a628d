#include "IPlugin.h"

IPlugin::~IPlugin() = default;

void IPlugin::Begin(QString&) {}

void IPlugin::ShutDown() {}

QString IPlugin::Key() const
{
    return {};
}
