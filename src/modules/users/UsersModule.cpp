#include "modules/users/UsersModule.h"

#include "components/Registry.h"
#include "modules/users/UserManComponent.h"

namespace zostore::modules::users {

void registerUsersModule() {
    components::Registry::instance().registerFactory(UserManComponent::ProgId,
                                                     [] { return std::make_shared<UserManComponent>(); });
}

} // namespace zostore::modules::users
