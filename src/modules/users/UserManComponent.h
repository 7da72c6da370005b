// nuvo_User.UserMan: the users-and-rights window, for managers.
#pragma once

#include "components/Component.h"

namespace zostore::modules::users {

class UserManComponent : public components::Component {
public:
    static inline const QString ProgId = QStringLiteral("nuvo_User.UserMan");
    UserManComponent();

    void UserMan(const QString &cnstr, int userId);
};

} // namespace zostore::modules::users
