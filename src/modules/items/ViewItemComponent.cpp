#include "modules/items/ViewItemComponent.h"

#include "db/Error.h"
#include "modules/items/frmViewItem.h"
#include "ui/Dialogs.h"

namespace zostore::modules::items {

ViewItemComponent::ViewItemComponent() : Component(ProgId) {
    // Arguments as the main window passes them: mode 0, connection, two absent, true, absent, user.
    addMethod(QStringLiteral("ShowItem"), 7, 7, [this](const QVariantList &a) {
        ShowItem(components::argText(a, 1), components::argInt(a, 6));
        return QVariant();
    });
}

void ViewItemComponent::ShowItem(const QString &cnstr, int userId) {
    if (cnstr.isEmpty())
        throw Error(QStringLiteral("档案资料：没有帐套的连接字符串。"));
    frmViewItem w(cnstr, userId);
    ui::dialogs().exec(w);
}

} // namespace zostore::modules::items
