#include "modules/InstalledModules.h"

#include "modules/bills/RunBillComponent.h"
#include "modules/init/InitModule.h"
#include "modules/members/MembersModule.h"
#include "modules/items/ItemsModule.h"
#include "modules/users/UsersModule.h"

namespace zostore::modules {

void registerInstalledModules() {
    static bool done = false;
    if (done)
        return;
    done = true;
    bills::registerBillsModule();
    init::registerInitModule();
    users::registerUsersModule();
    members::registerMembersModule();
    items::registerItemsModule();
}

} // namespace zostore::modules
