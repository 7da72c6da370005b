// A store's receipt template as the counters read it, and the receipt it prints for a sale.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace zostore::counter {

struct ReceiptTemplate {
    QString stockName;
    QString conText; // lines joined by CRLF
    int hdrRows = 0;
    int tableHdrRows = 7;
    int bdyRows = 2;
    int itemNameLen = 12;
    int barCodeLen = 8;
    int amountLen = 5;
    bool jdRowHeight = true;
    QString cmdBeg;
    QString cmdEnd;

    // What a new store starts with; the shop line carries shopName.
    static ReceiptTemplate sample(const QString &shopName = {});
};

// A number box's value as stored: 0 for text that is not a whole number within range; decimals round.
int numberValue(const QString &text);

// Printed columns: a Chinese (wide) character takes two.
int charColumns(char32_t c);
int textColumns(const QString &text);

struct SaleLine {
    QString name;
    QString shopNumber;
    QString barcode;
    double qty = 1;
    double price = 0; // before the discount
    double rate = 100; // percent paid
    double amount() const;
};

struct SampleSale {
    QString shopName;
    QString cashier;
    QString billNo;
    QString copyFlag;
    QDateTime settleTime;
    QString vipCardNo;
    QList<SaleLine> lines;
    double total() const;
    double totalQty() const;
    double received() const; // the next round note above the total
};

enum class ReceiptPart { PageHeader, Header, Body, Footer };

struct ReceiptLine {
    QString text;
    ReceiptPart part;
    int columns = 0;
    bool tooWide = false;
};

struct Receipt {
    QList<ReceiptLine> lines;
    QStringList unknownVariables; // captions no sale value answers, each once
    int paperColumns = 0;
    QList<int> tooWideLines() const; // 1-based line numbers
};

// Fills the template with the sale: header parts once, the body once per item, then the footer;
// item values at the template's print widths.
Receipt renderReceipt(const ReceiptTemplate &t, const SampleSale &sale, int paperColumns);

} // namespace zostore::counter
