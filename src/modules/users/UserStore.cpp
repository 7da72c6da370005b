#include "modules/users/UserStore.h"

#include "accountdb/PasswordHash.h"
#include "components/LoginService.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "db/Transaction.h"

namespace zostore::modules::users {

UserStore::UserStore(db::Connection &conn, int loggedInUserId) : m_conn(conn), m_self(loggedInUserId) {}

QList<UserRow> UserStore::users() const {
    QList<UserRow> out;
    for (db::Recordset rs = m_conn.open(QStringLiteral("select FUserID,FName,FManager,FDisabled,FDescription "
                                                       "from t_User order by FUserID"));
         !rs.eof(); rs.moveNext())
        out.append({rs.toInt(QStringLiteral("FUserID")), rs.text(QStringLiteral("FName")),
                    rs.toInt(QStringLiteral("FManager")) != 0, rs.toInt(QStringLiteral("FDisabled")) != 0,
                    rs.text(QStringLiteral("FDescription"))});
    return out;
}

UserRow UserStore::user(int id) const {
    for (const UserRow &u : users())
        if (u.id == id)
            return u;
    throw Error(QStringLiteral("编号为 %1 的用户不存在（可能已被别人删除）。").arg(id));
}

QString UserStore::checkedName(const QString &name) {
    const QString n = name.trimmed();
    if (n.isEmpty())
        throw Error(QStringLiteral("用户名不能为空。"));
    if (n.size() > NameLength)
        throw Error(QStringLiteral("用户名最长 %1 个字符（现在是 %2 个）。").arg(NameLength).arg(n.size()));
    return n;
}

void UserStore::checkPassword(const QString &password, const QString &confirmation) {
    const int min = components::LoginService::MinPasswordLength;
    if (password.size() < min)
        throw Error(QStringLiteral("密码至少要有 %1 个字符！").arg(min));
    if (password != confirmation)
        throw Error(QStringLiteral("两次输入的密码不一致！"));
}

void UserStore::requireUniqueName(const QString &name, int exceptId) const {
    if (m_conn
            .scalar(QStringLiteral("select count(*) from t_User where FName=? and FUserID<>?"),
                    {name, exceptId})
            .toInt() > 0)
        throw Error(QStringLiteral("用户名“%1”已经存在。").arg(db::shortened(name)));
}

void UserStore::requireNotSelf(int id, const QString &what) const {
    if (id == m_self)
        throw Error(QStringLiteral("不能%1正在使用本程序的用户（您自己）。").arg(what));
}

void UserStore::requireOtherManager(int id, const QString &what) const {
    const UserRow u = user(id);
    if (!u.manager || u.disabled)
        return;
    if (m_conn
            .scalar(
                QStringLiteral("select count(*) from t_User where FManager<>0 and coalesce(FDisabled,0)=0 "
                               "and FUserID<>?"),
                {id})
            .toInt() == 0)
        throw Error(QStringLiteral("“%1”是最后一个管理员，不能%2。").arg(u.name, what));
}

int UserStore::addUser(const QString &name, const QString &password, const QString &confirmation,
                       bool manager, const QString &description) {
    const QString n = checkedName(name);
    if (description.size() > DescriptionLength)
        throw Error(QStringLiteral("说明最长 %1 个字符。").arg(DescriptionLength));
    checkPassword(password, confirmation);
    const QString hash = accountdb::hashPassword(password);
    db::Transaction tx(m_conn);
    requireUniqueName(n, 0);
    const int id = m_conn.scalar(QStringLiteral("select coalesce(max(FUserID),0)+1 from t_User")).toInt();
    m_conn.execute(
        QStringLiteral("insert into t_User(FUserID,FName,FPassword,FManager,FDisabled,FDescription) "
                       "values(?,?,?,?,0,?)"),
        {id, n, hash, manager ? 1 : 0, description.trimmed()});
    tx.commit();
    return id;
}

void UserStore::rename(int id, const QString &name) {
    const QString n = checkedName(name);
    // The login context and the password change know the logged-in user by name until the next login.
    requireNotSelf(id, QStringLiteral("改名"));
    db::Transaction tx(m_conn);
    user(id);
    requireUniqueName(n, id);
    m_conn.execute(QStringLiteral("update t_User set FName=? where FUserID=?"), {n, id});
    tx.commit();
}

void UserStore::setDescription(int id, const QString &description) {
    if (description.size() > DescriptionLength)
        throw Error(QStringLiteral("说明最长 %1 个字符。").arg(DescriptionLength));
    user(id);
    m_conn.execute(QStringLiteral("update t_User set FDescription=? where FUserID=?"),
                   {description.trimmed(), id});
}

void UserStore::setManager(int id, bool manager) {
    db::Transaction tx(m_conn);
    if (!manager) {
        requireNotSelf(id, QStringLiteral("取消管理员身份的"));
        requireOtherManager(id, QStringLiteral("取消管理员身份"));
    }
    user(id);
    m_conn.execute(QStringLiteral("update t_User set FManager=? where FUserID=?"), {manager ? 1 : 0, id});
    tx.commit();
}

void UserStore::setDisabled(int id, bool disabled) {
    db::Transaction tx(m_conn);
    if (disabled) {
        requireNotSelf(id, QStringLiteral("停用"));
        requireOtherManager(id, QStringLiteral("停用"));
    }
    user(id);
    m_conn.execute(QStringLiteral("update t_User set FDisabled=? where FUserID=?"), {disabled ? 1 : 0, id});
    tx.commit();
}

bool UserStore::hasBills(int id) const {
    return m_conn.scalar(QStringLiteral("select count(*) from ICStockBill where FBillerID=?"), {id}).toInt() >
           0;
}

void UserStore::remove(int id) {
    db::Transaction tx(m_conn);
    requireNotSelf(id, QStringLiteral("删除"));
    requireOtherManager(id, QStringLiteral("删除"));
    const UserRow u = user(id);
    if (hasBills(id))
        throw Error(QStringLiteral("用户“%1”做过单据，不能删除，只能停用。").arg(u.name));
    m_conn.execute(QStringLiteral("delete from t_Grant where FUserID=?"), {id});
    m_conn.execute(QStringLiteral("delete from t_User where FUserID=?"), {id});
    tx.commit();
}

void UserStore::setPassword(int id, const QString &password, const QString &confirmation) {
    checkPassword(password, confirmation);
    const QString hash = accountdb::hashPassword(password);
    user(id);
    m_conn.execute(QStringLiteral("update t_User set FPassword=? where FUserID=?"), {hash, id});
}

} // namespace zostore::modules::users
