// A user's grant rows in t_Grant: which codes grant, and writing ticks and unticks together.
#pragma once

#include <QMap>
#include <QSet>
#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::modules::users {

class Grants {
public:
    // Codes whose row grants the way the main window reads it (FGrant not zero).
    static QSet<QString> granted(db::Connection &conn, int userId);
    // One transaction: each code gets one row, FGrant 1 when true and 0 when false; other codes stay.
    static void write(db::Connection &conn, int userId, const QMap<QString, bool> &codes);
};

} // namespace zostore::modules::users
