#include "modules/members/VipManComponent.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "modules/members/frmChangeJf.h"
#include "modules/members/frmVipMan.h"
#include "modules/members/frmVipReserve.h"
#include "ui/Dialogs.h"

namespace zostore::modules::members {

namespace {

// Movements carry the operator, so he must be a user who may still log in.
void requireUser(const QString &cnstr, int userId) {
    db::Connection conn(cnstr);
    if (conn.scalar(QStringLiteral("select count(*) from t_User where FUserID=? and coalesce(FDisabled,0)=0"),
                    {userId})
            .toInt() == 0)
        throw Error::accessDenied();
}

} // namespace

VipManComponent::VipManComponent() : Component(ProgId) {
    addMethod(QStringLiteral("vipman"), 2, 2, [this](const QVariantList &a) {
        vipman(components::argText(a, 0), components::argInt(a, 1));
        return QVariant();
    });
    addMethod(QStringLiteral("VipReserve"), 2, 2, [this](const QVariantList &a) {
        VipReserve(components::argText(a, 0), components::argInt(a, 1));
        return QVariant();
    });
    addMethod(QStringLiteral("changejf"), 2, 2, [this](const QVariantList &a) {
        changejf(components::argText(a, 0), components::argInt(a, 1));
        return QVariant();
    });
}

void VipManComponent::vipman(const QString &cnstr, int userId) {
    requireUser(cnstr, userId);
    frmVipMan w(cnstr, userId);
    ui::dialogs().exec(w);
}

void VipManComponent::VipReserve(const QString &cnstr, int userId) {
    requireUser(cnstr, userId);
    frmVipReserve w(cnstr, userId);
    ui::dialogs().exec(w);
}

void VipManComponent::changejf(const QString &cnstr, int userId) {
    requireUser(cnstr, userId);
    frmChangeJf w(cnstr, userId);
    ui::dialogs().exec(w);
}

} // namespace zostore::modules::members
