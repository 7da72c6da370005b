// VnSuperControl.SuperTextbox: the text box with history, created by ProgID.
#pragma once

#include "components/Component.h"
#include "components/supertextbox/SuperTextbox.h"

#include <QPointer>

namespace zostore::components {

class SuperTextboxComponent : public Component {
public:
    static inline const QString ProgId = QStringLiteral("VnSuperControl.SuperTextbox");
    SuperTextboxComponent();
    ~SuperTextboxComponent() override;

    // The control itself, for the window that hosts it; the host's parent then owns it.
    SuperTextbox *control() const { return m_box; }

private:
    QPointer<SuperTextbox> m_box;
};

} // namespace zostore::components
