// Large synthetic account sets for benchmarks: the same counts always give the same content.
#pragma once

#include <QDate>
#include <QString>
#include <functional>

namespace zostore::db {
class Connection;
}

namespace zostore::demo {

struct GeneratorCounts {
    int items = 1000;
    int stores = 4;
    int members = 1000;
    int bills = 10000;
    int lines = 10; // entries per bill
    int months = 3;
    QDate lastDay = QDate::currentDate(); // bills run from the first day of the first month to here
};

struct GeneratorResult {
    qint64 rows = 0; // every row written
    qint64 bills = 0;
    qint64 lines = 0;
    qint64 balances = 0;
    double seconds = 0;
    double rowsPerSecond() const { return seconds > 0 ? rows / seconds : 0; }
};

// Fills an empty account set (schema with price styles 1 to 3 and the profile defaults) in one
// transaction with set-based statements; progress receives a line per stage.
GeneratorResult generateAccount(db::Connection &conn, const GeneratorCounts &counts,
                                const std::function<void(const QString &)> &progress = {});

// A digest of the generated content that both backends compute alike.
QString contentChecksum(db::Connection &conn);

// Refuses counts out of range with a message naming the count.
void checkCounts(const GeneratorCounts &counts);

} // namespace zostore::demo
