// The question asked before the main window closes.
#pragma once

namespace zostore::startup {

// True when the user answered Yes.
bool confirmExit();

} // namespace zostore::startup
