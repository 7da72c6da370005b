// Stock counts of one store: the book quantities frozen, the counted ones entered, and the differences
// booked as a gain bill (other receipt) and a loss bill (other issue) valued at the cost price.
#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::modules::bills {

struct CountLine {
    int itemId = 0;
    QString group, number, name, model, unit;
    double bookQty = 0, countQty = 0;
    bool counted = false;
};

struct OpenCount {
    int pdId = 0;
    int stockId = 0;
    QString store;
    QString frozenAt;
};

struct CountResult {
    QString gainBillNo, lossBillNo; // empty when there was nothing to book
    int gains = 0, losses = 0;
};

class Stocktake {
public:
    Stocktake(db::Connection &conn, int userId);

    // Freezes today's book quantity of every item in the store; one open count per store.
    int freeze(int stockId);
    QList<OpenCount> openCounts();
    // The count sheet in group and code order; groupId 0 lists every group, a group also its subgroups.
    QList<CountLine> sheet(int pdId, int groupId = 0);
    // Counted quantities by item; an item not given keeps what it had.
    void saveCounts(int pdId, const QHash<int, double> &counts);
    // Books the differences of the counted items against the frozen book (bills made after the
    // freeze moved the shelf and the book alike) and closes the count, in one transaction.
    CountResult generate(int pdId, const QDate &date);

private:
    OpenCount requireOpen(int pdId);
    db::Connection &m_conn;
    int m_userId;
};

} // namespace zostore::modules::bills
