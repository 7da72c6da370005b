// State shared by the demo loader's parts: the connection, the random source and what was made.
#pragma once

#include "demo/DemoAccount.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <random>

namespace zostore::demo::shop {

constexpr int Months = 4; // the three months before the current one, and the current one

struct Item {
    int id = 0;
    QString number;
    QString barcode;
    double exchange = 1;
    bool weighed = false;
    bool deleted = false;
    double purchase[Months] = {}; // purchase price in force in each month
    double retail = 0, wholesale = 0, member = 0;
};

struct Context {
    Context(db::Connection &c, const QDate &t) : conn(c), today(t), start(t.year(), t.month(), 1) {
        start = start.addMonths(-(Months - 1));
    }
    db::Connection &conn;
    QDate today;
    QDate start; // first day of the start month
    std::mt19937 rng{20130101u};

    QList<Item> items;
    QList<int> realStores; // t_Stock keys, the warehouse first
    int virtualStore = 0;
    int suppliers = 0, customers = 0, employees = 0, members = 0;
    QList<int> birthdayMembers; // members whose birthday is today

    DemoSummary summary;

    int range(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    double real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
    bool chance(double p) { return real(0, 1) < p; }
    int monthOf(const QDate &d) const { return (d.year() - start.year()) * 12 + d.month() - start.month(); }
};

double round2(double v);
double round4(double v);
QString ean13(const QString &twelveDigits);

void loadMasterData(Context &ctx);
void loadBills(Context &ctx);
void loadSettings(Context &ctx);

} // namespace zostore::demo::shop
