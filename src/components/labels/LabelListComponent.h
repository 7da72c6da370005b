// NuVo_Table.Label: the label-list control, created by ProgID and driven by the label window.
#pragma once

#include "components/Component.h"
#include "components/labels/LabelList.h"

#include <QPointer>

namespace zostore::components::labels {

class LabelListComponent : public Component {
public:
    static inline const QString ProgId = QStringLiteral("NuVo_Table.Label");
    LabelListComponent();
    ~LabelListComponent() override;

    // The control itself, for the window that hosts it; the host's parent then owns it.
    LabelList *control() const { return m_list; }

private:
    QPointer<LabelList> m_list;
};

} // namespace zostore::components::labels
