// Grant check of a function by its subsystem code.
#pragma once

#include <QString>

namespace zostore::startup {

// True when the user may use the function (a manager, or a row whose FGrant is "1"). With showMessage, a
// refusal raises the access-denied error instead of returning.
bool CheckGrant(const QString &code, bool showMessage = true);

} // namespace zostore::startup
