// Registers nuvo_VipMan.VipMan with the component registry.
#pragma once

namespace zostore::modules::members {

void registerMembersModule();

} // namespace zostore::modules::members
