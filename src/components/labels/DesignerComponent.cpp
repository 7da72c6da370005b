#include "components/labels/DesignerComponent.h"

#include "components/labels/LabelDesigner.h"
#include "components/labels/LabelFormatStore.h"
#include "db/Error.h"
#include "ui/Dialogs.h"

#include <QApplication>

namespace zostore::components::labels {

void requireLabelType(int tranType) {
    if (tranType != LabelTranType)
        throw Error(QStringLiteral("未安装单据套打组件：本程序只设计和打印商品标签（类型 51），不能处理类型 %1 的格式。")
                        .arg(tranType));
}

DesignerComponent::DesignerComponent() : Component(ProgId) {
    addMethod(QStringLiteral("RunDesiger"), 2, 2, [this](const QVariantList &a) {
        RunDesiger(argText(a, 0), argInt(a, 1));
        return QVariant();
    });
}

void DesignerComponent::RunDesiger(const QString &cnstr, int tranType) {
    requireLabelType(tranType);
    LabelDesigner designer(cnstr, QApplication::activeWindow());
    ui::dialogs().exec(designer);
}

} // namespace zostore::components::labels
