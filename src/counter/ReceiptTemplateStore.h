// Receipt templates in the account set: one TDPosBill row per store, the variables and the sample sale.
#pragma once

#include "counter/ReceiptTemplate.h"

#include <QDateTime>
#include <QStringList>
#include <optional>

namespace zostore::db {
class Connection;
}

namespace zostore::counter {

class ReceiptTemplateStore {
public:
    explicit ReceiptTemplateStore(db::Connection &conn) : m_conn(conn) {}

    QStringList variables();
    QStringList stores();
    // The shown template with every non-null column of the store's row over it; nullopt without a row.
    std::optional<ReceiptTemplate> load(const QString &stockName, const ReceiptTemplate &shown);
    // Replaces the store's row in one transaction, so a failure keeps the previous template.
    void save(const ReceiptTemplate &t, const QDateTime &editTime);

    struct Sample {
        SampleSale sale;
        QString note; // why the prices are not the store's own, empty when they are
    };
    // A few of the account set's items priced as the store sells them.
    Sample sampleSale(const QString &stockName, const QString &cashier, const QDateTime &when);

private:
    db::Connection &m_conn;
};

} // namespace zostore::counter
