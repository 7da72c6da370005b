// One stock bill or purchase order as the bill window edits it, and what each kind of bill carries.
#pragma once

#include <QDate>
#include <QList>
#include <QString>

namespace zostore::modules::bills {

struct BillKind {
    int code = 0;       // the code the shell passes to NewBill and SearchBill; FTranType of ICStockBill
    QString name;       // window caption
    QString prefix;     // bill numbers: prefix, month, sequence
    bool order = false; // kept in ICOrder / ICOrderEntry
    bool supplier = false;
    bool inStore = false;       // FInStockID: the store that receives
    bool outStore = false;      // FOutStockID: the store that issues
    bool purchasePrice = false; // lines priced at the last purchase price rather than the cost price
    bool viewOnly = false;      // counter sales: made at the counters, only looked at here
};

// Kinds this module enters; nullptr for any other code.
const BillKind *billKind(int code);
QList<int> billKindCodes();

struct BillLine {
    int itemId = 0;
    QString number, name, model, unit;
    double exchange = 1; // units per package
    double mainQty = 0;  // packages
    double qty = 0;      // units
    double price = 0;    // per unit
    double amount = 0;
    double salePrice = 0;                     // shown only
    QDate due;                                // orders
    int sourceInterId = 0, sourceEntryId = 0; // the order (request) line a receipt (transfer) line fills
};

struct Bill {
    int kind = 0;
    int interId = 0; // 0 until saved
    QString billNo;
    QDate date;
    int orgaId = 0;
    int inStockId = 0;
    int outStockId = 0;
    int empId = 0;
    QString remark;
    int year = 0, period = 0; // the month the bill belongs to, once saved
    bool readOnly = false;    // saved in a month already closed
    QList<BillLine> lines;
    double totalQty() const;
    double totalAmount() const;
};

// A line whose store would go below zero.
struct Shortage {
    QString number, name, store;
    double onHand = 0, needed = 0;
};

// A receipt or transfer line over what its order or request still has open.
struct OverReceipt {
    QString number, name;
    double open = 0, received = 0;
};

struct SaveOutcome {
    bool saved = false;
    // Set when the save waits for the clerk's yes; saving again with confirmed set goes ahead.
    QList<Shortage> shortages;
    QList<OverReceipt> overReceipts;
};

} // namespace zostore::modules::bills
