// nuvo_Init.RunInit: opening stock, opening receivables and payables, and the end of initialisation.
#pragma once

#include "components/Component.h"

namespace zostore::modules::init {

class RunInitComponent : public components::Component {
public:
    static inline const QString ProgId = QStringLiteral("nuvo_Init.RunInit");
    RunInitComponent();

    void init(const QString &cnstr, int year, int period, int userId, bool isManager);
    void InitStock();
    void initWLdata(int kind);
    // Ends initialisation, or, once ended, returns to it; asks first either way.
    void CloseInit();

private:
    void requireInit() const;
    QString m_cnstr;
    int m_userId = 0;
    bool m_isManager = false;
};

} // namespace zostore::modules::init
