// ZoTDPrinter.TDSet: printer, paper and offsets per label format.
#pragma once

#include "components/Component.h"

namespace zostore::components::labels {

class PrinterSetupComponent : public Component {
public:
    static inline const QString ProgId = QStringLiteral("ZoTDPrinter.TDSet");
    PrinterSetupComponent();

    void TDSet(const QString &cnstr, int tranType);
};

} // namespace zostore::components::labels
