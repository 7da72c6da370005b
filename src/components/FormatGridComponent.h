// VnFmtGrid.FormatGrid: column widths and hidden columns of a grid, kept per layout key and user.
#pragma once

#include "components/Component.h"

namespace zostore::components {

class FormatGridComponent : public Component {
public:
    static inline const QString ProgId = QStringLiteral("VnFmtGrid.FormatGrid");
    FormatGridComponent();

    // Applies the stored widths and hidden columns; header texts stay as the window set them.
    void SetFormatWithoutHeader(QObject *grid, const QString &cnstr, const QString &layoutKey);
    // Stores the widths; flag true stores which columns are hidden as well.
    void WriteWidth(QObject *grid, const QString &cnstr, const QString &layoutKey, bool flag);
};

} // namespace zostore::components
