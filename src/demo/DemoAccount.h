// The demo account set: a small Chinese grocery chain with four months of business up to today.
//
// Stock balances (icbal) hold, per item and month from the start month to the current month, the
// quantity and value at the beginning of the month. Every later month follows from the one before:
//   FBegQty(m+1) = FBegQty(m) + receipts(m) - issues(m)
//   FBegBal(m+1) = FBegBal(m) + FCost of receipts(m) - FCost of issues(m), rounded to 2 decimals
//   FBegPrice    = FBegBal / FBegQty rounded to 4 decimals, 0 when FBegQty is 0
// over the entries of bills of month m (FYear, FPeriod) that are not deleted (FDeleted=0), advance
// issues (FPreSend=1) included. Receipts are types 12, 15, 16 and 24 (sales returns bring goods
// back); issues are 14, 22, 25, 26, 33 and 99; transfers (31) move goods between stores and leave
// an item's total unchanged. Quantities (FQty) are positive on every entry; the type gives the sign.
// Purchase receipts (12) are costed at their price, so their FCost equals their FAmount; an item's cost
// price FPjCost is its current month's FBegPrice when it has stock then, else its purchase price.
#pragma once

#include <QDate>
#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::demo {

struct DemoSummary {
    int items = 0;
    int members = 0;
    int bills = 0;
    int billLines = 0;
    int orders = 0;
    QDate startMonth;
};

// Fills an account set made by createAccountSchema (price styles 1 to 3) and insertProfileDefaults.
// One transaction: on failure nothing is left behind. Data is the same for the same today.
DemoSummary loadDemoAccount(db::Connection &conn, const QDate &today = QDate::currentDate());

// Demo logins and their passwords, as the README lists them.
struct DemoLogin {
    QString name;
    QString password;
    bool manager;
};
QList<DemoLogin> demoLogins();

} // namespace zostore::demo
