// VnPageset.PageSet: page setup of a grid's printout, kept per layout key and user.
#pragma once

#include "components/Component.h"

#include <QPageLayout>

namespace zostore::ui {
class Grid;
}

namespace zostore::components {

class PageSetComponent : public Component {
public:
    static inline const QString ProgId = QStringLiteral("VnPageset.PageSet");
    PageSetComponent();

    // count: the grid's last column index (or a label sheet's column count), shown in the dialog title.
    void ShowPageSet(const QString &cnstr, const QString &layoutKey, int count, QObject *grid);
    bool Isok() const { return m_isOk; }

    // The stored layout for the key and user, or A4 portrait with 10 mm margins.
    static QPageLayout load(const QString &cnstr, const QString &layoutKey, int userId);
    static void save(const QString &cnstr, const QString &layoutKey, int userId, const QPageLayout &layout);

private:
    bool m_isOk = false;
};

} // namespace zostore::components
