// Where initialisation stands: its month, whether it is closed, and closing or reopening it.
#pragma once

#include <QString>
#include <QStringList>

namespace zostore::db {
class Connection;
}

namespace zostore::modules::init {

struct InitState {
    int startYear = 0, startPeriod = 0;
    int currentYear = 0, currentPeriod = 0;
    bool closed = false;

    static InitState read(db::Connection &conn);
    QString monthText() const; // "2026年12月"
    // Empty when opening figures may be written now, else why not.
    QString whyReadOnly() const;
};

// Opening stock rows that keep initialisation from closing, each as "代码 名称：原因" (at most `limit`).
QStringList incompleteOpenings(db::Connection &conn, int limit = 10);

// Sets Closed to "1" after the check, in one transaction; throws the reason when it cannot.
void closeInitialisation(db::Connection &conn);
// Sets Closed to "0" unless bills after the start month exist or a later month is current.
void reopenInitialisation(db::Connection &conn);

} // namespace zostore::modules::init
