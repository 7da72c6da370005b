// The account set's tables, defined once and emitted as DDL for either backend.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zostore::db {
class Connection;
}

namespace zostore::accountdb {

enum class ColType {
    Integer,  // keys, flags, counts
    Identity, // integer key the database numbers itself
    Money,    // amounts and prices
    Quantity, // quantities, factors and rates
    Real,     // measures that are not money (page margins)
    VarChar,  // bounded text, size in Column::size
    Text,     // unbounded text
    Timestamp // date and time
};

struct Column {
    QString name;
    ColType type;
    int size = 0;
    bool notNull = false;
    QString defaultValue; // SQL literal, empty for none
};

struct Index {
    QString name;
    QString columns; // column list or expression, as written inside the parentheses
    bool unique = false;
};

struct TableDef {
    QString name;
    QList<Column> columns;
    QStringList primaryKey;
    QList<Index> indexes;

    const Column *column(const QString &name) const;
};

// Every table of an account set, price-column-free: FPrice_<n> columns are added per price style.
const QList<TableDef> &accountTables();
const TableDef *findTable(const QString &name);

// DDL of one table (create table followed by its indexes).
QStringList createTableStatements(const TableDef &table, bool postgres);
QString columnDefinition(const Column &column, bool postgres);

// Creates every table in an empty account database; on PostgreSQL also the shim functions.
void createAccountSchema(db::Connection &conn, const QList<int> &priceStyleIds = {1, 2, 3});

// The sale-price column of one price style; does nothing when it exists already.
void addPriceStyleColumn(db::Connection &conn, int priceStyleId);
QString priceColumnName(int priceStyleId);
bool hasColumn(db::Connection &conn, const QString &table, const QString &column);
bool hasTable(db::Connection &conn, const QString &table);
// Creates one table of the account set from its definition when an older account set lacks it.
void ensureTable(db::Connection &conn, const QString &table);

} // namespace zostore::accountdb
