// isnull, getdate, year/month/day, left/right/len, ceiling/floor, toint for SQLite.
#include "db/SqliteShims.h"

#include <QDateTime>
#include <QString>
#include <cmath>
#include <cstring>
#include <sqlite3.h>

namespace zostore::db {

namespace {

void isnullFn(sqlite3_context *ctx, int, sqlite3_value **argv) {
    sqlite3_result_value(ctx, sqlite3_value_type(argv[0]) == SQLITE_NULL ? argv[1] : argv[0]);
}

void getdateFn(sqlite3_context *ctx, int, sqlite3_value **) {
    const QByteArray s = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
    sqlite3_result_text(ctx, s.constData(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

// Timestamps are text "yyyy-MM-dd HH:mm:ss"; the parts sit at fixed places.
template <int Offset, int Length> void datePartFn(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto *t = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    if (!t || std::strlen(t) < static_cast<size_t>(Offset + Length)) {
        sqlite3_result_null(ctx);
        return;
    }
    int v = 0;
    for (int i = Offset; i < Offset + Length; ++i) {
        if (t[i] < '0' || t[i] > '9') {
            sqlite3_result_null(ctx);
            return;
        }
        v = v * 10 + (t[i] - '0');
    }
    sqlite3_result_int(ctx, v);
}

QString argText(sqlite3_value *v) {
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
}

void resultText(sqlite3_context *ctx, const QString &s) {
    const QByteArray b = s.toUtf8();
    sqlite3_result_text(ctx, b.constData(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
}

// Characters, not bytes: Chinese names must cut where T-SQL cuts them.
void leftFn(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, argText(argv[0]).left(std::max(0, sqlite3_value_int(argv[1]))));
}

void rightFn(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, argText(argv[0]).right(std::max(0, sqlite3_value_int(argv[1]))));
}

// len() ignores trailing blanks, as T-SQL's does.
void lenFn(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    QString s = argText(argv[0]);
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    sqlite3_result_int(ctx, static_cast<int>(s.size()));
}

template <double (*F)(double)> void mathFn(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_double(ctx, F(sqlite3_value_double(argv[0])));
}

double truncD(double x) { return std::trunc(x); }
double ceilD(double x) { return std::ceil(x); }
double floorD(double x) { return std::floor(x); }

// convert(int, x) truncates toward zero
void tointFn(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(std::trunc(sqlite3_value_double(argv[0]))));
}

// Last day of the month of a timestamp, as "yyyy-MM-dd 00:00:00".
void eomonthFn(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QDate d = QDate::fromString(argText(argv[0]).left(10), QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid()) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, QDate(d.year(), d.month(), d.daysInMonth()).toString(QStringLiteral("yyyy-MM-dd")) +
                        QStringLiteral(" 00:00:00"));
}

// Day arithmetic on timestamps: adddays(d, n)
void adddaysFn(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString s = argText(argv[0]);
    QDateTime dt = QDateTime::fromString(s.left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!dt.isValid())
        dt = QDateTime(QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd")), QTime(0, 0));
    if (!dt.isValid()) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, dt.addDays(sqlite3_value_int(argv[1])).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

void add(sqlite3 *h, const char *name, int nArg, void (*fn)(sqlite3_context *, int, sqlite3_value **),
         bool deterministic = true) {
    const int flags = SQLITE_UTF8 | (deterministic ? SQLITE_DETERMINISTIC : 0);
    sqlite3_create_function_v2(h, name, nArg, flags, nullptr, fn, nullptr, nullptr, nullptr);
}

} // namespace

void registerSqliteShims(sqlite3 *h) {
    add(h, "isnull", 2, isnullFn);
    add(h, "getdate", 0, getdateFn, false);
    add(h, "year", 1, datePartFn<0, 4>);
    add(h, "month", 1, datePartFn<5, 2>);
    add(h, "day", 1, datePartFn<8, 2>);
    add(h, "zs_left", 2, leftFn);
    add(h, "zs_right", 2, rightFn);
    add(h, "len", 1, lenFn);
    add(h, "ceiling", 1, mathFn<ceilD>);
    add(h, "floor", 1, mathFn<floorD>);
    add(h, "trunc", 1, mathFn<truncD>);
    add(h, "toint", 1, tointFn);
    add(h, "eomonth", 1, eomonthFn);
    add(h, "adddays", 2, adddaysFn);
}

} // namespace zostore::db
