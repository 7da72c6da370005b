// Profile values as the shell reads them; an absent row reads as the parameters window's default.
#pragma once

#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::params {

class ProfileReader {
public:
    explicit ProfileReader(db::Connection &conn) : m_conn(conn) {}

    // Key matched without regard to case; the key table's default when the row is absent.
    QString value(const QString &key) const;
    bool flag(const QString &key) const { return value(key) == QLatin1String("1"); }
    // Leading numeric part, 0 when there is none.
    double number(const QString &key) const;

private:
    db::Connection &m_conn;
};

// What the month-end closing needs to regenerate stock limits.
struct StockLimitSettings {
    bool regenerateOnClose = false; // GenLimitStockWhenClosePeriod
    bool perStore = false;          // GenStockDisStock
    double maxF = 0;                // MaxStock
    double minF = 0;                // MinStock
    double safeF = 0;               // SafeStock
    int days = 0;                   // StockLimitDays

    static StockLimitSettings read(db::Connection &conn);
};

} // namespace zostore::params
