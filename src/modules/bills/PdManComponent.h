// nuvo_PdMan.Pd_Manager: freezing a store before a count, the count sheet, and the counted results.
#pragma once

#include "components/Component.h"

namespace zostore::modules::bills {

class PdManComponent : public components::Component {
public:
    static inline const QString ProgId = QStringLiteral("nuvo_PdMan.Pd_Manager");
    PdManComponent();
};

} // namespace zostore::modules::bills
