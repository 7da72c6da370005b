// VNExpImp.ExPData: writes a grid to a spreadsheet file that the user names.
#pragma once

#include "components/Component.h"

namespace zostore::ui {
class Grid;
}

namespace zostore::components {

class ExportComponent : public Component {
public:
    static inline const QString ProgId = QStringLiteral("VNExpImp.ExPData");
    ExportComponent();

    // Asks for the file (.xlsx, or .csv as the second choice); false when the user cancelled.
    bool DoExp(const ui::Grid &grid, const QString &title);
    const QString &lastFile() const { return m_lastFile; }

private:
    QString m_lastFile;
};

} // namespace zostore::components
