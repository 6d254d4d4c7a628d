#pragma once

#include "OrvEnums.h"

#include <QObject>

// The main program's enumerations as a client names them: the same types, so the numbers that travel on
// the bus are defined once, plus the client's own binding state.
namespace Remote {
Q_NAMESPACE

using namespace OrvEnums;

// Whether a client is bound to the main program.
enum BindState
{
    Unbound = 0,
    // The program is being started or found, and the first snapshot fetched.
    Binding = 1,
    Bound = 2
};
Q_ENUM_NS(BindState)

} // namespace Remote
