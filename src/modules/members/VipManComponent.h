// nuvo_VipMan.VipMan: the member list, the top-up window and the points window.
#pragma once

#include "components/Component.h"

namespace zostore::modules::members {

class VipManComponent : public components::Component {
public:
    static inline const QString ProgId = QStringLiteral("nuvo_VipMan.VipMan");
    VipManComponent();

    void vipman(const QString &cnstr, int userId);
    void VipReserve(const QString &cnstr, int userId);
    void changejf(const QString &cnstr, int userId);
};

} // namespace zostore::modules::members
