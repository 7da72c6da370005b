// Grant check against t_Grant.
#include "startup/CheckGrant.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/LockRetry.h"
#include "startup/LoginContext.h"
#include "startup/SettingsStore.h"

#include <optional>

namespace zostore::startup {

namespace {

struct GrantRow {
    QString disabledGroup;
    QString grant;
};

std::optional<GrantRow> readGrant(const QString &code) {
    const LoginContext &ctx = loginContext();
    db::Connection conn(ctx.cnstr());
    db::Recordset rs = conn.open(QStringLiteral("select t1.FDisabledViewOrgaGroupID,t2.FGrant "
                                                "from t_User t1 inner join t_Grant t2 on t1.FUserID=t2.FUserID "
                                                "where t1.FUserID=? and FSubSystemID=?"),
                                 {ctx.userId(), code}, db::Cursor::Forward);
    if (rs.eof())
        return std::nullopt;
    return GrantRow{rs.text(QStringLiteral("FDisabledViewOrgaGroupID")), rs.text(QStringLiteral("FGrant"))};
}

} // namespace

bool CheckGrant(const QString &code, bool showMessage) {
    if (loginContext().isManager())
        return true;
    std::optional<GrantRow> row;
    try {
        row = db::withLockRetry([&] { return readGrant(code); });
    } catch (const Error &e) {
        throw Error(e.description(), Error::AccessDenied);
    } catch (const std::exception &e) {
        throw Error(QString::fromLocal8Bit(e.what()), Error::AccessDenied);
    }
    if (!row) {
        if (showMessage)
            throw Error::accessDenied();
        return false;
    }
    // Sibling components read the user's hidden organisation group from here.
    SettingsStore::setValue(QStringLiteral("ZoStore"), QStringLiteral("TempValue"),
                            QStringLiteral("DisabledViewOrgaGroupID"), row->disabledGroup);
    // Any value but "1" refuses: callers rely on the error, so an odd value must not let them through.
    if (row->grant == QLatin1String("1"))
        return true;
    if (showMessage)
        throw Error::accessDenied();
    return false;
}

} // namespace zostore::startup
