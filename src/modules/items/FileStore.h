// The small master files: stores, price styles, suppliers, customers and employees, listed by code.
#pragma once

#include <QList>
#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::modules::items {

enum class FileKind { Stock, PriceStyle, Supplier, Customer, Employee };

struct FileRow {
    int id = 0; // 0: a new row
    QString number;
    QString name;
    QString phone;          // suppliers, customers, employees
    QString address;        // suppliers, customers
    bool isVirtual = false; // stores
    int priceStyleId = 0;   // stores: the retail price style
};

class FileStore {
public:
    FileStore(db::Connection &conn, FileKind kind);

    static QString table(FileKind kind);
    static QString caption(FileKind kind); // "仓库", "供应商" ...
    static QList<FileKind> kinds();
    bool hasPhone() const {
        return m_kind == FileKind::Supplier || m_kind == FileKind::Customer || m_kind == FileKind::Employee;
    }
    bool hasAddress() const { return m_kind == FileKind::Supplier || m_kind == FileKind::Customer; }
    FileKind kind() const { return m_kind; }

    QList<FileRow> rows() const; // in FNumber order
    FileRow row(int id) const;
    // Codes are unique; a new price style gets its price column on the items in the same transaction.
    int save(const FileRow &row);
    // Refused while a bill, order, balance or setting names the row.
    void remove(int id);
    // The key of a code, 0 when none.
    int idOf(const QString &number) const;

private:
    QString usedBy(int id) const;

    db::Connection &m_conn;
    FileKind m_kind;
    QString m_table;
};

} // namespace zostore::modules::items
