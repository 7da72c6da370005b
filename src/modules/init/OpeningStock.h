// Opening stock of the start month per item and store: read for one store, and saved in one transaction.
#pragma once

#include <QList>
#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::modules::init {

struct StoreRef {
    int id = 0;
    QString number, name;
};

struct OpeningLine {
    int itemId = 0;
    QString number, name, model, unit;
    double qty = 0;
    double amount = 0;
};

// The checks of one line that need no other rows; throws naming the item and the field.
void checkOpening(const OpeningLine &line);

class OpeningStock {
public:
    explicit OpeningStock(db::Connection &conn) : m_conn(conn) {}

    QList<StoreRef> stores();
    // Every item not removed, with its opening in the store (0 when it has none), in code order.
    QList<OpeningLine> lines(int stockId);

    // Validates every line first (an error names the item and the field; nothing is written), then
    // replaces the store's openings of those items, the items' totals and today's stock per store.
    void save(int stockId, const QList<OpeningLine> &changed);

private:
    db::Connection &m_conn;
};

} // namespace zostore::modules::init
