// VnitemGy.ViewItem: the item and partner files window.
#pragma once

#include "components/Component.h"

namespace zostore::modules::items {

class ViewItemComponent : public components::Component {
public:
    static inline const QString ProgId = QStringLiteral("VnitemGy.ViewItem");
    ViewItemComponent();

    void ShowItem(const QString &cnstr, int userId);
};

} // namespace zostore::modules::items
