// Current user for the built-in components.
#include "components/Session.h"

namespace zostore::components {

namespace {
int g_userId = 0;
}

int currentUserId() { return g_userId; }
void setCurrentUserId(int userId) { g_userId = userId; }

} // namespace zostore::components
