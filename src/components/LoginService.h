// Users and passwords of an account set, for the login component's windows.
#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace zostore::components {

struct LoginUser {
    int id = 0;
    QString name;
};

class LoginService {
public:
    static QList<LoginUser> users(const QString &cnstr);
    // Empty when the user does not exist, is disabled or the password is wrong.
    static std::optional<LoginUser> authenticate(const QString &cnstr, const QString &userName,
                                                 const QString &password);
    static bool checkPassword(const QString &cnstr, int userId, const QString &password);
    // Empty text on success, else what the user must correct; nothing is stored then.
    static QString changePassword(const QString &cnstr, const QString &userName, const QString &oldPassword,
                                  const QString &newPassword, const QString &confirmation);

    // What a wrong password gets, in the login window and in the batch tool alike.
    static QString wrongPasswordMessage();

    static constexpr int MinPasswordLength = 6;
};

} // namespace zostore::components
