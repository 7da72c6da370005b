// Registers nuvo_Init.RunInit with the component registry.
#pragma once

namespace zostore::modules::init {

void registerInitModule();

} // namespace zostore::modules::init
