// Registers VnitemGy.ViewItem with the component registry.
#pragma once

namespace zostore::modules::items {

void registerItemsModule();

} // namespace zostore::modules::items
