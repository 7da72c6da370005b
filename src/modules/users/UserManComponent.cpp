#include "modules/users/UserManComponent.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "modules/users/frmUserMan.h"
#include "ui/Dialogs.h"

namespace zostore::modules::users {

UserManComponent::UserManComponent() : Component(ProgId) {
    addMethod(QStringLiteral("UserMan"), 2, 2, [this](const QVariantList &a) {
        UserMan(components::argText(a, 0), components::argInt(a, 1));
        return QVariant();
    });
}

void UserManComponent::UserMan(const QString &cnstr, int userId) {
    // The shell offers the button to managers only; the module does not rely on that.
    db::Connection conn(cnstr);
    if (conn.scalar(QStringLiteral("select count(*) from t_User where FUserID=? and FManager<>0 and "
                                   "coalesce(FDisabled,0)=0"),
                    {userId})
            .toInt() == 0)
        throw Error::accessDenied();
    frmUserMan w(cnstr, userId);
    ui::dialogs().exec(w);
}

} // namespace zostore::modules::users
