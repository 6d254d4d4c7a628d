#include "RemoteBackend.h"

namespace Remote {

Backend::Backend(QObject* parent) : QObject(parent) {}

Backend::~Backend() = default;

void Backend::setBindState(BindState state)
{
    if (state == m_bindState)
        return;
    m_bindState = state;
    Q_EMIT bindStateChanged(state);
}

} // namespace Remote
