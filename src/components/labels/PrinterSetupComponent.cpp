#include "components/labels/PrinterSetupComponent.h"

#include "components/labels/LabelFormatStore.h"
#include "components/labels/PrinterSetupDialog.h"
#include "db/Connection.h"
#include "ui/Dialogs.h"

#include <QApplication>

namespace zostore::components::labels {

PrinterSetupComponent::PrinterSetupComponent() : Component(ProgId) {
    addMethod(QStringLiteral("TDSet"), 2, 2, [this](const QVariantList &a) {
        TDSet(argText(a, 0), argInt(a, 1));
        return QVariant();
    });
}

void PrinterSetupComponent::TDSet(const QString &cnstr, int tranType) {
    requireFormatType(tranType);
    QStringList names;
    {
        db::Connection conn(cnstr);
        for (const FormatEntry &f : LabelFormatStore(conn, tranType).list())
            names << f.name;
    }
    if (names.isEmpty()) {
        ui::dialogs().info(tranType == LabelTranType ? QStringLiteral("还没有标签格式，请先在套打设计器里设计一个。")
                                                     : QStringLiteral("这种单据还没有打印格式，请先在套打设计器里设计一个。"));
        return;
    }
    PrinterSetupDialog dialog(names, QApplication::activeWindow());
    ui::dialogs().exec(dialog);
}

} // namespace zostore::components::labels
