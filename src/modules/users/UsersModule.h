// Registers nuvo_User.UserMan with the component registry.
#pragma once

namespace zostore::modules::users {

void registerUsersModule();

} // namespace zostore::modules::users
