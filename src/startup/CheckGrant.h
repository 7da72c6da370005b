// Grant check of a function by its subsystem code.
#pragma once

#include <QString>

namespace zostore::startup {

// True when the user may use the function. With showMessage, a refusal raises the access-denied error.
bool CheckGrant(const QString &code, bool showMessage = true);

} // namespace zostore::startup
