#include "modules/bills/RunBillComponent.h"

#include "components/Registry.h"
#include "db/Error.h"
#include "modules/bills/Bill.h"
#include "modules/bills/BillLabelWindow.h"
#include "modules/bills/PdManComponent.h"
#include "modules/bills/frmBill.h"
#include "modules/bills/frmBillSearch.h"
#include "ui/Dialogs.h"

namespace zostore::modules::bills {

namespace {

Error notHere(const QString &what) {
    return Error(QStringLiteral("未安装组件 %1 的%2。").arg(RunBillComponent::ProgId, what),
                 Error::NotInstalled);
}

void requireKind(int code, bool searching) {
    if (billKind(code) && (searching || !billKind(code)->viewOnly))
        return;
    throw notHere(QStringLiteral("单据（代码 %1）").arg(code));
}

} // namespace

RunBillComponent::RunBillComponent() : Component(ProgId) {
    addMethod(QStringLiteral("init"), 6, 6, [this](const QVariantList &a) {
        init(components::argText(a, 0), components::argText(a, 1), components::argInt(a, 2),
             components::argText(a, 3), components::argInt(a, 4), components::argInt(a, 5));
        return QVariant();
    });
    addMethod(QStringLiteral("NewBill"), 1, 1, [this](const QVariantList &a) {
        NewBill(components::argInt(a, 0));
        return QVariant();
    });
    addMethod(QStringLiteral("SearchBill"), 1, 1, [this](const QVariantList &a) {
        SearchBill(components::argInt(a, 0));
        return QVariant();
    });
    addMethod(QStringLiteral("HxPurBill"), 0, 0, [](const QVariantList &) -> QVariant {
        throw notHere(QStringLiteral("采购核销（HxPurBill）"));
    });
    addMethod(QStringLiteral("PrintBarcode"), 0, 0, [this](const QVariantList &) {
        PrintBarcode();
        return QVariant();
    });
}

void RunBillComponent::init(const QString &cnstr, const QString &, int userId, const QString &, int, int) {
    // The month is read from the account set at each save: a close on another workstation may move it.
    m_cnstr = cnstr;
    m_userId = userId;
}

void RunBillComponent::requireInit() const {
    if (m_cnstr.isEmpty())
        throw Error(QStringLiteral("单据组件还没有连接帐套（先调用 init）。"));
}

void RunBillComponent::NewBill(int code) {
    requireInit();
    requireKind(code, false);
    frmBill w(m_cnstr, m_userId, code);
    ui::dialogs().exec(w);
}

void RunBillComponent::SearchBill(int code) {
    requireInit();
    requireKind(code, true);
    frmBillSearch w(m_cnstr, m_userId, code);
    ui::dialogs().exec(w);
}

void RunBillComponent::PrintBarcode() {
    requireInit();
    // Labels are mostly wanted for goods just received, so the search starts on purchase receipts.
    frmBillSearch w(m_cnstr, m_userId, 12, nullptr, frmBillSearch::Purpose::Labels);
    if (ui::dialogs().exec(w) != QDialog::Accepted || w.chosenInterId() <= 0)
        return;
    // Not modal: it stays open as the tool's own window, like the counter's label window.
    openBillLabels(nullptr, m_cnstr, m_userId, w.chosenKind(), w.chosenInterId());
}

void registerBillsModule() {
    components::Registry::instance().registerFactory(RunBillComponent::ProgId,
                                                     [] { return std::make_shared<RunBillComponent>(); });
    // Stock counts book their differences as bills, so they live with the bills.
    components::Registry::instance().registerFactory(PdManComponent::ProgId,
                                                     [] { return std::make_shared<PdManComponent>(); });
}

} // namespace zostore::modules::bills
