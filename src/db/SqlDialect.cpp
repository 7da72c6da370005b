// Statement rewrites for SQLite.
#include "db/SqlDialect.h"

namespace zostore::db {

namespace {

struct Rename {
    QLatin1String from;
    QLatin1String to;
};

// SQLite keywords that T-SQL uses as function names
constexpr Rename renames[] = {
    {QLatin1String("isnull"), QLatin1String("ifnull")},
    {QLatin1String("left"), QLatin1String("zs_left")},
    {QLatin1String("right"), QLatin1String("zs_right")},
};

bool mayRewrite(const QString &sql) {
    for (const auto &r : renames)
        if (sql.contains(r.from, Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

QString rewriteForSqlite(const QString &sql) {
    if (!mayRewrite(sql))
        return sql;
    QString out;
    out.reserve(sql.size());
    bool inString = false;
    const int n = sql.size();
    for (int i = 0; i < n; ++i) {
        const QChar ch = sql[i];
        if (ch == QLatin1Char('\'')) {
            inString = !inString; // a doubled apostrophe toggles twice and stays inside
            out += ch;
            continue;
        }
        bool renamed = false;
        if (!inString && (i == 0 || !(sql[i - 1].isLetterOrNumber() || sql[i - 1] == QLatin1Char('_')))) {
            for (const auto &r : renames) {
                const int len = static_cast<int>(r.from.size());
                if (QStringView(sql).mid(i, len).compare(r.from, Qt::CaseInsensitive) != 0)
                    continue;
                int j = i + len;
                while (j < n && sql[j].isSpace())
                    ++j;
                if (j < n && sql[j] == QLatin1Char('(')) {
                    out += r.to;
                    i += len - 1;
                    renamed = true;
                    break;
                }
            }
        }
        if (!renamed)
            out += ch;
    }
    return out;
}

} // namespace zostore::db
