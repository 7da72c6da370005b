#include "modules/init/InitModule.h"

#include "components/Registry.h"
#include "modules/init/RunInitComponent.h"

namespace zostore::modules::init {

void registerInitModule() {
    components::Registry::instance().registerFactory(RunInitComponent::ProgId,
                                                     [] { return std::make_shared<RunInitComponent>(); });
}

} // namespace zostore::modules::init
