// Profile values as the shell reads them; an absent row reads as the parameters window's default.
#include "params/ProfileReader.h"

#include "accountdb/SystemProfile.h"
#include "params/ProfileKeys.h"
#include "stocklimit/NumberText.h"

namespace zostore::params {

QString ProfileReader::value(const QString &key) const {
    const ProfileKey *k = findProfileKey(key);
    return accountdb::readProfile(m_conn, key, k ? k->defaultValue : QString());
}

double ProfileReader::number(const QString &key) const { return stocklimit::leadingNumber(value(key)); }

StockLimitSettings StockLimitSettings::read(db::Connection &conn) {
    const ProfileReader p(conn);
    StockLimitSettings s;
    s.regenerateOnClose = p.flag(QStringLiteral("GenLimitStockWhenClosePeriod"));
    s.perStore = p.flag(QStringLiteral("GenStockDisStock"));
    s.maxF = p.number(QStringLiteral("MaxStock"));
    s.minF = p.number(QStringLiteral("MinStock"));
    s.safeF = p.number(QStringLiteral("SafeStock"));
    s.days = static_cast<int>(p.number(QStringLiteral("StockLimitDays")));
    return s;
}

} // namespace zostore::params
