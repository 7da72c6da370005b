#include "modules/items/ItemsModule.h"

#include "components/Registry.h"
#include "modules/items/ViewItemComponent.h"

namespace zostore::modules::items {

void registerItemsModule() {
    components::Registry::instance().registerFactory(ViewItemComponent::ProgId,
                                                     [] { return std::make_shared<ViewItemComponent>(); });
}

} // namespace zostore::modules::items
