// The modules this build contains; a ProgID of a module left out stays "not installed".
#pragma once

namespace zostore::modules {

void registerInstalledModules();

} // namespace zostore::modules
