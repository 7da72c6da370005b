// nuvo_Bill.RunBill: purchase orders and receipts, returns, other receipts and issues, transfers.
#pragma once

#include "components/Component.h"

namespace zostore::modules::bills {

class RunBillComponent : public components::Component {
public:
    static inline const QString ProgId = QStringLiteral("nuvo_Bill.RunBill");
    RunBillComponent();

    void init(const QString &cnstr, const QString &systemCnstr, int userId, const QString &userName, int year,
              int period);
    void NewBill(int code);
    void SearchBill(int code);
    // Labels for the lines of a bill the clerk picks.
    void PrintBarcode();

private:
    void requireInit() const;
    QString m_cnstr;
    int m_userId = 0;
};

// Registers nuvo_Bill.RunBill and nuvo_PdMan.Pd_Manager.
void registerBillsModule();

} // namespace zostore::modules::bills
