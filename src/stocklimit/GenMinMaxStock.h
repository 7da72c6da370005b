// Stock limits from sales issues, as the month-end closing regenerates them.
#pragma once

#include <QDate>
#include <QString>

namespace zostore::stocklimit {

class GenMinMaxStock {
public:
    explicit GenMinMaxStock(QString connectionString);

    // Sales issues (type 22) dated first..last, both days whole, give each sold item's totals; with
    // perStore every non-virtual store also gets a row per live item and limits from its own issues.
    // One transaction: an error leaves every limit as it was and passes to the caller.
    // The caller shows the wait cursor.
    void GenMaxMinStock(const QDate &first, const QDate &last, double maxF, double minF, double safeF,
                        bool perStore);

private:
    QString m_cnstr;
};

} // namespace zostore::stocklimit
