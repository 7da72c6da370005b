#include "modules/init/RunInitComponent.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "modules/init/InitState.h"
#include "modules/init/frmInitStock.h"
#include "modules/init/frmInitWL.h"
#include "ui/Dialogs.h"

namespace zostore::modules::init {

namespace {

// Balances this program keeps no books for: the member exists, and says so.
std::function<QVariant(const QVariantList &)> notKept(const QString &what, const QString &member) {
    return [what, member](const QVariantList &) -> QVariant {
        throw Error(QStringLiteral("未安装组件 %1 的%2（%3）：本程序不管理这类帐户。")
                        .arg(RunInitComponent::ProgId, what, member),
                    Error::NotInstalled);
    };
}

} // namespace

RunInitComponent::RunInitComponent() : Component(ProgId) {
    addMethod(QStringLiteral("init"), 5, 5, [this](const QVariantList &a) {
        init(components::argText(a, 0), components::argInt(a, 1), components::argInt(a, 2),
             components::argInt(a, 3), components::argBool(a, 4));
        return QVariant();
    });
    addMethod(QStringLiteral("InitStock"), 0, 0, [this](const QVariantList &) {
        InitStock();
        return QVariant();
    });
    addMethod(QStringLiteral("initWLdata"), 1, 1, [this](const QVariantList &a) {
        initWLdata(components::argInt(a, 0));
        return QVariant();
    });
    addMethod(QStringLiteral("CloseInit"), 0, 0, [this](const QVariantList &) {
        CloseInit();
        return QVariant();
    });
    addMethod(QStringLiteral("initacct"), 1, 1, notKept(QStringLiteral("现金帐户和内部借款余额初始化"), QStringLiteral("initacct")));
    addMethod(QStringLiteral("initassets"), 0, 0, notKept(QStringLiteral("期初待摊费用"), QStringLiteral("initassets")));
    addMethod(QStringLiteral("initsysacct"), 0, 0, notKept(QStringLiteral("科目余额初始化"), QStringLiteral("initsysacct")));
}

void RunInitComponent::init(const QString &cnstr, int, int, int userId, bool isManager) {
    m_cnstr = cnstr;
    m_userId = userId;
    m_isManager = isManager;
}

void RunInitComponent::requireInit() const {
    if (m_cnstr.isEmpty())
        throw Error(QStringLiteral("初始化组件还没有连接帐套（先调用 init）。"));
}

void RunInitComponent::InitStock() {
    requireInit();
    frmInitStock w(m_cnstr);
    ui::dialogs().exec(w);
}

void RunInitComponent::initWLdata(int kind) {
    requireInit();
    if (kind != 1 && kind != 2)
        throw Error(QStringLiteral("往来初始化的类别只能是 1（客户）或 2（供应商）。"));
    frmInitWL w(m_cnstr, kind == 1 ? PartnerKind::Customers : PartnerKind::Suppliers);
    ui::dialogs().exec(w);
}

void RunInitComponent::CloseInit() {
    requireInit();
    db::Connection conn(m_cnstr);
    const InitState s = InitState::read(conn);
    if (!s.closed) {
        if (ui::dialogs().question(QStringLiteral("结束初始化以后，期初库存和往来余额就不能再修改。是否结束初始化？")) !=
            ui::Answer::Yes)
            return;
        closeInitialisation(conn);
        ui::dialogs().info(QStringLiteral("初始化已结束。"));
        return;
    }
    if (ui::dialogs().question(QStringLiteral("返回初始化以后可以重新修改期初数据。是否返回初始化？")) != ui::Answer::Yes)
        return;
    reopenInitialisation(conn);
    ui::dialogs().info(QStringLiteral("已返回初始化状态。"));
}

} // namespace zostore::modules::init
