// The error branch every handler has: show the description, leave the handler.
#pragma once

#include <functional>

namespace zostore::ui {

// Runs handler; any error is shown in an information box. Returns true when the handler finished.
bool errorTrap(const std::function<void()> &handler);

} // namespace zostore::ui
