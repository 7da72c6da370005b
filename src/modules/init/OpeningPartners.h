// Opening receivables of customers and payables to suppliers, kept in t_WLBegBal.
#pragma once

#include <QList>
#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::modules::init {

// The kinds the shell passes: 1 customers (what they owe us), 2 suppliers (what we owe them).
enum class PartnerKind { Customers = 1, Suppliers = 2 };

struct PartnerOpening {
    int partnerId = 0;
    QString number, name;
    double amount = 0;
};

class OpeningPartners {
public:
    OpeningPartners(db::Connection &conn, PartnerKind kind) : m_conn(conn), m_kind(kind) {}

    static QString title(PartnerKind kind);
    // Every partner of the kind with its opening (0 when none), in code order.
    QList<PartnerOpening> lines();
    // Validates every amount, then writes them in one transaction (a zero removes the row).
    void save(const QList<PartnerOpening> &changed);

private:
    int orgaType() const; // t_WLBegBal: 1 supplier, 2 customer
    QString table() const;
    db::Connection &m_conn;
    PartnerKind m_kind;
};

} // namespace zostore::modules::init
