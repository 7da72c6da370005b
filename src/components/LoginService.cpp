// Password checks against t_User.
#include "components/LoginService.h"

#include "accountdb/PasswordHash.h"
#include "db/Connection.h"

namespace zostore::components {

QList<LoginUser> LoginService::users(const QString &cnstr) {
    db::Connection conn(cnstr);
    QList<LoginUser> out;
    for (db::Recordset rs = conn.open(QStringLiteral("select FUserID, FName from t_User where coalesce(FDisabled,0)=0 order by FUserID")); !rs.eof();
         rs.moveNext())
        out.append({rs.toInt(QStringLiteral("FUserID")), rs.text(QStringLiteral("FName"))});
    return out;
}

std::optional<LoginUser> LoginService::authenticate(const QString &cnstr, const QString &userName,
                                                    const QString &password) {
    db::Connection conn(cnstr);
    db::Recordset rs =
        conn.open(QStringLiteral("select FUserID, FName, FPassword from t_User where FName=? and coalesce(FDisabled,0)=0"), {userName});
    if (rs.eof() || !accountdb::verifyPassword(rs.text(QStringLiteral("FPassword")), password))
        return std::nullopt;
    return LoginUser{rs.toInt(QStringLiteral("FUserID")), rs.text(QStringLiteral("FName"))};
}

QString LoginService::wrongPasswordMessage() { return QStringLiteral("密码错误，请重新输入！"); }

bool LoginService::checkPassword(const QString &cnstr, int userId, const QString &password) {
    db::Connection conn(cnstr);
    db::Recordset rs = conn.open(QStringLiteral("select FPassword from t_User where FUserID=?"), {userId});
    return !rs.eof() && accountdb::verifyPassword(rs.text(QStringLiteral("FPassword")), password);
}

QString LoginService::changePassword(const QString &cnstr, const QString &userName, const QString &oldPassword,
                                     const QString &newPassword, const QString &confirmation) {
    if (!authenticate(cnstr, userName, oldPassword))
        return QStringLiteral("原密码不正确！");
    if (newPassword.size() < MinPasswordLength)
        return QStringLiteral("新密码至少要有 %1 个字符！").arg(MinPasswordLength);
    if (newPassword == oldPassword)
        return QStringLiteral("新密码不能与原密码相同！");
    if (newPassword != confirmation)
        return QStringLiteral("两次输入的新密码不一致！");
    db::Connection conn(cnstr);
    conn.execute(QStringLiteral("update t_User set FPassword=? where FName=?"),
                 {accountdb::hashPassword(newPassword), userName});
    return {};
}

} // namespace zostore::components
