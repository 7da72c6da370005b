// Salted Argon2id password hashes for t_User.FPassword.
#pragma once

#include <QString>

namespace zostore::accountdb {

// Throws zostore::Error when the hash cannot be made (out of memory).
QString hashPassword(const QString &password);
// False for a wrong password and for anything that is not a hash this program made.
bool verifyPassword(const QString &hash, const QString &password);

} // namespace zostore::accountdb
