#include "RemoteBackend.h"

namespace Remote {

Backend::Backend(QObject* parent) : QObject(parent) {}

Backend::~Backend() = default;

void Backend::setBindState(BindState state)
{
    m_bindState = state;
}

} // namespace Remote
