// The components that ship inside the program.
#pragma once

namespace zostore::components {

// Idempotent.
void registerBuiltinComponents();

} // namespace zostore::components
