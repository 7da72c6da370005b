#include "modules/members/MembersModule.h"

#include "components/Registry.h"
#include "modules/members/VipManComponent.h"

namespace zostore::modules::members {

void registerMembersModule() {
    components::Registry::instance().registerFactory(VipManComponent::ProgId,
                                                     [] { return std::make_shared<VipManComponent>(); });
}

} // namespace zostore::modules::members
