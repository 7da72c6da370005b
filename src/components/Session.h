// The logged-in user as the built-in components see it; kept in step by the start-up layer.
#pragma once

namespace zostore::components {

int currentUserId();
void setCurrentUserId(int userId);

} // namespace zostore::components
