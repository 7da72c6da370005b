// Item groups (t_ItemGroup, FParentID 0 at the top): add, rename, move and remove.
#pragma once

#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::modules::items {

class ItemGroups {
public:
    static constexpr int NumberLength = 50;
    static constexpr int NameLength = 100;

    explicit ItemGroups(db::Connection &conn) : m_conn(conn) {}

    // parentId 0 adds a top group. Returns the new group's key.
    int add(const QString &number, const QString &name, int parentId);
    void rename(int id, const QString &name);
    // Refused under itself or one of its own subgroups.
    void move(int id, int newParentId);
    // Refused while any item or subgroup is in it.
    void remove(int id);

    QString name(int id) const;

private:
    void requireGroup(int id) const;

    db::Connection &m_conn;
};

} // namespace zostore::modules::items
