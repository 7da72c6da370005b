#include "modules/InstalledModules.h"

#include "modules/init/InitModule.h"

namespace zostore::modules {

void registerInstalledModules() {
    static bool done = false;
    if (done)
        return;
    done = true;
    init::registerInitModule();
}

} // namespace zostore::modules
