// Recordset: forward and static reading with the Null rules callers rely on.
#include "db/Recordset.h"

#include "db/Error.h"

#include <QSqlRecord>
#include <cmath>

namespace zostore::db {

Recordset::Recordset(std::shared_ptr<ConnectionImpl> conn, QSqlQuery &&query, Cursor cursor)
    : m_cursor(cursor) {
    const QSqlRecord rec = query.record();
    for (int i = 0; i < rec.count(); ++i)
        m_names << rec.fieldName(i);
    indexNames();
    if (cursor == Cursor::Static) {
        const int n = rec.count();
        while (query.next()) {
            QVector<QVariant> row(n);
            for (int i = 0; i < n; ++i)
                row[i] = query.value(i);
            m_rows.append(std::move(row));
        }
        m_row = 0;
        m_eof = m_rows.isEmpty();
    } else {
        m_conn = std::move(conn);
        m_query = std::make_unique<QSqlQuery>(std::move(query));
        m_eof = !m_query->next();
    }
}

Recordset Recordset::fromRows(QStringList names, QVector<QVector<QVariant>> rows) {
    Recordset rs;
    rs.m_names = std::move(names);
    rs.indexNames();
    for (auto &row : rows)
        row.resize(rs.m_names.size());
    rs.m_rows = std::move(rows);
    rs.m_eof = rs.m_rows.isEmpty();
    return rs;
}

void Recordset::indexNames() {
    m_index.clear();
    for (int i = 0; i < m_names.size(); ++i) {
        const QString key = m_names[i].toLower();
        if (!m_index.contains(key)) // the first of equal names wins, as with duplicated select columns
            m_index.insert(key, i);
    }
}

bool Recordset::eof() const { return m_eof; }

void Recordset::moveNext() {
    if (m_eof)
        throw Error(QStringLiteral("记录集已到末尾。"));
    if (m_cursor == Cursor::Static) {
        ++m_row;
        m_eof = m_row >= m_rows.size();
    } else {
        ++m_row;
        m_eof = !m_query->next();
        if (m_eof) {
            m_query.reset(); // release the server cursor as soon as the set is read
            m_conn.reset();
        }
    }
}

void Recordset::moveFirst() {
    if (m_cursor != Cursor::Static)
        throw Error(QStringLiteral("只进记录集不能回到第一行。"));
    m_row = 0;
    m_eof = m_rows.isEmpty();
}

int Recordset::recordCount() const { return m_cursor == Cursor::Static ? static_cast<int>(m_rows.size()) : -1; }

int Recordset::fieldIndex(const QString &name) const { return m_index.value(name.toLower(), -1); }

QVariant Recordset::raw(int index) const {
    if (m_eof)
        throw Error(QStringLiteral("记录集已到末尾，没有当前记录。"));
    if (index < 0 || index >= m_names.size())
        throw Error(QStringLiteral("记录集中没有第 %1 列。").arg(index));
    return m_cursor == Cursor::Static ? m_rows[m_row][index] : m_query->value(index);
}

QVariant Recordset::value(int index) const { return raw(index); }

QVariant Recordset::value(const QString &name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw Error(QStringLiteral("记录集中没有字段“%1”。").arg(name));
    return raw(i);
}

bool Recordset::isNull(const QString &name) const { return value(name).isNull(); }

QString Recordset::textOf(const QVariant &v) {
    if (v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("yyyy-MM-dd"))
                                        : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::Double: {
        const double d = v.toDouble();
        // integral values print without a fraction, others as the shortest exact text
        if (d == std::floor(d) && std::fabs(d) < 1e15)
            return QString::number(static_cast<qint64>(d));
        return QString::number(d, 'g', 15);
    }
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        break;
    }
    QString s = v.toString();
    // SQLite keeps timestamps as text; midnight prints as the date alone
    if (s.size() == 19 && s.endsWith(QLatin1String(" 00:00:00")) && s[4] == QLatin1Char('-') && s[7] == QLatin1Char('-'))
        s.truncate(10);
    return s;
}

double Recordset::doubleOf(const QVariant &v) {
    if (v.isNull())
        return 0.0;
    if (v.typeId() == QMetaType::QString) {
        bool ok = false;
        const double d = v.toString().trimmed().toDouble(&ok);
        return ok ? d : 0.0;
    }
    return v.toDouble();
}

namespace {

// "yyyy-MM-dd" with an optional " HH:mm:ss": the form every stored timestamp has, read without a format parser.
QDateTime parseStoredTimestamp(QStringView s) {
    auto digits = [&](int from, int count, int &out) {
        out = 0;
        for (int i = from; i < from + count; ++i) {
            const char16_t c = s[i].unicode();
            if (c < u'0' || c > u'9')
                return false;
            out = out * 10 + (c - u'0');
        }
        return true;
    };
    if (s.size() != 10 && s.size() != 19)
        return {};
    int y, mo, d, h = 0, mi = 0, se = 0;
    if (s[4] != u'-' || s[7] != u'-' || !digits(0, 4, y) || !digits(5, 2, mo) || !digits(8, 2, d))
        return {};
    if (s.size() == 19 &&
        (s[10] != u' ' || s[13] != u':' || s[16] != u':' || !digits(11, 2, h) || !digits(14, 2, mi) ||
         !digits(17, 2, se)))
        return {};
    const QDate date(y, mo, d);
    const QTime time(h, mi, se);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

} // namespace

QDateTime Recordset::dateTimeOf(const QVariant &v) {
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    const QString s = v.toString().trimmed();
    if (QDateTime fast = parseStoredTimestamp(s); fast.isValid())
        return fast;
    QDateTime dt = QDateTime::fromString(s, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!dt.isValid())
        dt = QDateTime::fromString(s, QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    if (!dt.isValid()) {
        const QDate d = QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd"));
        if (d.isValid())
            dt = QDateTime(d, QTime(0, 0));
    }
    return dt;
}

QString Recordset::text(const QString &name) const { return textOf(value(name)); }

int Recordset::toInt(const QString &name) const { return static_cast<int>(std::lround(doubleOf(value(name)))); }

qint64 Recordset::toInt64(const QString &name) const { return std::llround(doubleOf(value(name))); }

double Recordset::toDouble(const QString &name) const { return doubleOf(value(name)); }

bool Recordset::toBool(const QString &name) const {
    const QVariant v = value(name);
    if (v.isNull())
        return false;
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toLower();
        return s == QLatin1String("true") || (s.toDouble() != 0.0);
    }
    return v.toDouble() != 0.0;
}

QDateTime Recordset::toDateTime(const QString &name) const { return dateTimeOf(value(name)); }

QDate Recordset::toDate(const QString &name) const { return toDateTime(name).date(); }

} // namespace zostore::db
