// ZoDesiger_Dll.Desiger: opens the label format designer for the account set.
#pragma once

#include "components/Component.h"

namespace zostore::components::labels {

class DesignerComponent : public Component {
public:
    static inline const QString ProgId = QStringLiteral("ZoDesiger_Dll.Desiger");
    DesignerComponent();

    void RunDesiger(const QString &cnstr, int tranType);
};

} // namespace zostore::components::labels
