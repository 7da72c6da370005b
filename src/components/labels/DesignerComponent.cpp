#include "components/labels/DesignerComponent.h"

#include "components/labels/LabelDesigner.h"
#include "components/labels/LabelFormatStore.h"
#include "ui/Dialogs.h"

#include <QApplication>

namespace zostore::components::labels {

DesignerComponent::DesignerComponent() : Component(ProgId) {
    addMethod(QStringLiteral("RunDesiger"), 2, 2, [this](const QVariantList &a) {
        RunDesiger(argText(a, 0), argInt(a, 1));
        return QVariant();
    });
}

void DesignerComponent::RunDesiger(const QString &cnstr, int tranType) {
    // 0: the bill formats, the kind chosen in the designer.
    if (tranType != 0)
        requireFormatType(tranType);
    LabelDesigner designer(cnstr, QApplication::activeWindow(), tranType);
    ui::dialogs().exec(designer);
}

} // namespace zostore::components::labels
