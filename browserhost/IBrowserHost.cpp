#include "IBrowserHost.h"

IBrowserHost::IBrowserHost(QObject* parent) : QObject(parent) {}

IBrowserHost::~IBrowserHost() = default;
