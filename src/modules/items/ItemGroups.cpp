#include "modules/items/ItemGroups.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "db/Transaction.h"
#include "modules/items/FieldCheck.h"
#include "modules/items/FileLock.h"

namespace zostore::modules::items {

namespace {

const QString Table = QStringLiteral("t_ItemGroup");

} // namespace

QString ItemGroups::name(int id) const {
    return m_conn.scalar(QStringLiteral("select FName from t_ItemGroup where FItemID=?"), {id}).toString();
}

void ItemGroups::requireGroup(int id) const {
    if (m_conn.scalar(QStringLiteral("select count(*) from t_ItemGroup where FItemID=?"), {id}).toInt() == 0)
        throw Error(QStringLiteral("商品类别（编号 %1）不存在，可能已被别人删除。").arg(id));
}

int ItemGroups::add(const QString &number, const QString &name, int parentId) {
    const QString n = requiredText(number, QStringLiteral("类别代码"), NumberLength);
    const QString nm = requiredText(name, QStringLiteral("类别名称"), NameLength);
    db::Transaction tx(m_conn);
    lockFile(m_conn, Table);
    if (parentId != 0)
        requireGroup(parentId);
    if (m_conn.scalar(QStringLiteral("select count(*) from t_ItemGroup where FNumber=?"), {n}).toInt() > 0)
        throw Error(QStringLiteral("类别代码“%1”已经存在。").arg(db::shortened(n)));
    const int id = nextKey(m_conn, Table);
    m_conn.execute(QStringLiteral("insert into t_ItemGroup(FItemID,FNumber,FName,FParentID) values(?,?,?,?)"),
                   {id, n, nm, parentId});
    tx.commit();
    return id;
}

void ItemGroups::rename(int id, const QString &name) {
    const QString nm = requiredText(name, QStringLiteral("类别名称"), NameLength);
    db::Transaction tx(m_conn);
    requireGroup(id);
    m_conn.execute(QStringLiteral("update t_ItemGroup set FName=? where FItemID=?"), {nm, id});
    tx.commit();
}

void ItemGroups::move(int id, int newParentId) {
    db::Transaction tx(m_conn);
    lockFile(m_conn, Table);
    requireGroup(id);
    if (newParentId != 0) {
        requireGroup(newParentId);
        const int inside =
            m_conn
                .scalar(QStringLiteral("with recursive g(id) as (select cast(? as integer) union all "
                                       "select t.FItemID from t_ItemGroup t join g on t.FParentID=g.id) "
                                       "select count(*) from g where id=?"),
                        {id, newParentId})
                .toInt();
        if (inside > 0)
            throw Error(QStringLiteral("不能把类别“%1”移到它自己或它的下级类别下面。").arg(name(id)));
    }
    m_conn.execute(QStringLiteral("update t_ItemGroup set FParentID=? where FItemID=?"), {newParentId, id});
    tx.commit();
}

void ItemGroups::remove(int id) {
    db::Transaction tx(m_conn);
    lockFile(m_conn, Table);
    requireGroup(id);
    if (m_conn.scalar(QStringLiteral("select count(*) from t_ItemGroup where FParentID=?"), {id}).toInt() > 0)
        throw Error(QStringLiteral("类别“%1”下面还有类别，请先删除或移走下级类别。").arg(name(id)));
    // Removed items still point at their group: it must not vanish under them either.
    const int items =
        m_conn.scalar(QStringLiteral("select count(*) from t_ICItem where FParentID=?"), {id}).toInt();
    if (items > 0)
        throw Error(QStringLiteral("类别“%1”中有 %2 种商品，不能删除。").arg(name(id)).arg(items));
    m_conn.execute(QStringLiteral("delete from t_ItemGroup where FItemID=?"), {id});
    tx.commit();
}

} // namespace zostore::modules::items
