#include "modules/bills/PdManComponent.h"

#include "modules/bills/frmPd.h"
#include "ui/Dialogs.h"

namespace zostore::modules::bills {

PdManComponent::PdManComponent() : Component(ProgId) {
    addMethod(QStringLiteral("BackupStockQty"), 2, 2, [](const QVariantList &a) {
        frmPdBackup w(components::argText(a, 0), components::argInt(a, 1));
        ui::dialogs().exec(w);
        return QVariant();
    });
    addMethod(QStringLiteral("PrintPdData"), 2, 2, [](const QVariantList &a) {
        frmPdData w(components::argText(a, 0), components::argInt(a, 1), frmPdData::Mode::Print);
        ui::dialogs().exec(w);
        return QVariant();
    });
    addMethod(QStringLiteral("GenPdDAta"), 2, 2, [](const QVariantList &a) {
        frmPdData w(components::argText(a, 0), components::argInt(a, 1), frmPdData::Mode::Enter);
        ui::dialogs().exec(w);
        return QVariant();
    });
}

} // namespace zostore::modules::bills
