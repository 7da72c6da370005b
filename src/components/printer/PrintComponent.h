// VNPrinter.DoPrint: prints or previews a grid under a title, with the page setup kept for its layout key.
#pragma once

#include "components/Component.h"

namespace zostore::ui {
class Grid;
}

namespace zostore::components {

class PrintComponent : public Component {
public:
    static inline const QString ProgId = QStringLiteral("VNPrinter.DoPrint");
    PrintComponent();

    // subTitles: the lines printed under the title (the callers' text array), empty ones left out.
    // Printing goes to the printer chosen in the print dialog; with no printer installed, to a PDF file.
    void DoPrint(bool print, const QString &cnstr, const QString &layoutKey, const QString &title,
                 const QStringList &subTitles, ui::Grid *grid);
    // Pages of the last output.
    int pageCount() const { return m_pages; }

private:
    int m_pages = 0;
};

} // namespace zostore::components
