// Rows of one statement, read by field name without regard to case.
#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QSharedPointer>
#include <QHash>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

namespace zostore::db {

struct ConnectionImpl;

enum class Cursor {
    Forward, // read once, first to last, straight from the server
    Static   // read whole on open: count, move first, read again
};

class Recordset {
public:
    Recordset() = default;

    // A static set held in memory, for components that hand rows to others without a database.
    static Recordset fromRows(QStringList names, QVector<QVector<QVariant>> rows);

    bool eof() const;
    void moveNext();
    void moveFirst(); // static only
    int recordCount() const; // static: rows; forward: -1

    int fieldCount() const { return static_cast<int>(m_names.size()); }
    QString fieldName(int i) const { return m_names.value(i); }
    const QStringList &fieldNames() const { return m_names; }
    int fieldIndex(const QString &name) const; // -1 when absent
    bool hasField(const QString &name) const { return fieldIndex(name) >= 0; }

    // Throws when the field does not exist or the set is at its end.
    QVariant value(const QString &name) const;
    QVariant value(int index) const;
    bool isNull(const QString &name) const;

    // Null reads as "", 0, false; dates as "yyyy-MM-dd", with " HH:mm:ss" unless midnight.
    QString text(const QString &name) const;
    int toInt(const QString &name) const;
    qint64 toInt64(const QString &name) const;
    double toDouble(const QString &name) const;
    bool toBool(const QString &name) const;
    QDateTime toDateTime(const QString &name) const; // Null: invalid
    QDate toDate(const QString &name) const;

    // Conversions shared with procedure arguments and grids.
    static QString textOf(const QVariant &v);
    static double doubleOf(const QVariant &v);
    static QDateTime dateTimeOf(const QVariant &v);

private:
    friend class Connection;
    Recordset(std::shared_ptr<ConnectionImpl> conn, QSqlQuery &&query, Cursor cursor);
    void indexNames();
    QVariant raw(int index) const;

    std::shared_ptr<ConnectionImpl> m_conn; // keeps the connection open while a forward cursor reads
    std::unique_ptr<QSqlQuery> m_query;     // forward only
    Cursor m_cursor = Cursor::Static;
    QStringList m_names;
    QHash<QString, int> m_index; // lower-cased name -> column
    QVector<QVector<QVariant>> m_rows; // static only
    int m_row = 0;
    bool m_eof = true;
};

} // namespace zostore::db

// How a recordset travels through a late-bound component call.
Q_DECLARE_METATYPE(QSharedPointer<zostore::db::Recordset>)
