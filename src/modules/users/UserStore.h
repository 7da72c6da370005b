// The users of an account set: adding, renaming, disabling, removing, manager flag and passwords.
#pragma once

#include <QList>
#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::modules::users {

struct UserRow {
    int id = 0;
    QString name;
    bool manager = false;
    bool disabled = false;
    QString description;
};

// Every change is refused with a Chinese message (zostore::Error) that names the field or the rule, and
// then changes nothing. The logged-in user is the one the window was opened for.
class UserStore {
public:
    static constexpr int NameLength = 80;
    static constexpr int DescriptionLength = 255;

    UserStore(db::Connection &conn, int loggedInUserId);

    QList<UserRow> users() const;
    UserRow user(int id) const;

    int addUser(const QString &name, const QString &password, const QString &confirmation, bool manager,
                const QString &description);
    void rename(int id, const QString &name);
    void setDescription(int id, const QString &description);
    void setManager(int id, bool manager);
    void setDisabled(int id, bool disabled);
    // Refuses a user who made bills: his rows would point at nobody.
    void remove(int id);
    void setPassword(int id, const QString &password, const QString &confirmation);

    bool hasBills(int id) const;

    static QString checkedName(const QString &name);
    static void checkPassword(const QString &password, const QString &confirmation);

private:
    void requireNotSelf(int id, const QString &what) const;
    // The last enabled manager must stay one, or nobody could manage users again.
    void requireOtherManager(int id, const QString &what) const;
    void requireUniqueName(const QString &name, int exceptId) const;

    db::Connection &m_conn;
    int m_self;
};

} // namespace zostore::modules::users
