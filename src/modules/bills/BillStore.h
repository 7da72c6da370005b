// Loading, saving and deleting bills: numbering, the checks a bill must pass, and the kept stock
// per store updated in the same transaction.
#pragma once

#include "modules/bills/Bill.h"

#include <optional>

namespace zostore::db {
class Connection;
}

namespace zostore::modules::bills {

class BillStore {
public:
    BillStore(db::Connection &conn, int userId);

    // Throws when the bill does not exist or was deleted.
    Bill load(int kind, int interId);

    // Checks and saves in one transaction under the account-set lock, so a month-end close never
    // sees half a bill and two workstations never draw the same number. A bad bill throws with the
    // field named and nothing is written; a shortage (when the profile asks to warn) or a receipt
    // over its order's open quantity returns unsaved with the list unless confirmed.
    SaveOutcome save(Bill &bill, bool confirmed = false);

    // Marks the bill deleted and takes its stock back.
    void remove(int kind, int interId);

    // The number the bill would get if saved now (shown while it is new).
    QString nextNumber(const Bill &bill);

    // A receipt filled from an order's open lines.
    Bill receiptFromOrder(int orderInterId);
    // A transfer filled from what a transfer request has not had moved yet.
    Bill transferFromRequest(int requestInterId);

    // Price a new line starts with: the last purchase price (the item's own when never bought) or
    // the cost price.
    double startPrice(int kind, int itemId);

    // Units per package, cost price and whether the item may still be used.
    struct ItemFacts {
        QString number, name, model, unit;
        double exchange = 1;
        double purPrice = 0, cost = 0;
        bool deleted = false;
    };
    std::optional<ItemFacts> itemFacts(int itemId);

    // The current month from the profile.
    int currentYear();
    int currentPeriod();

private:
    void check(const BillKind &k, const Bill &bill);
    QString drawNumber(const BillKind &k, const Bill &bill);
    void applyStock(int interId, bool add);
    void applyOrderCompletion(int interId, bool add);
    QList<Shortage> shortages(const BillKind &k, const Bill &bill);
    QList<OverReceipt> overReceipts(const Bill &bill);
    void checkReturns(const Bill &bill);
    void writeStockBill(const BillKind &k, Bill &bill);
    void writeOrder(const BillKind &k, Bill &bill);
    void requireOpen(const BillKind &k, int interId);

    db::Connection &m_conn;
    int m_userId;
};

} // namespace zostore::modules::bills
