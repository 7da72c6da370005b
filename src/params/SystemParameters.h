// Reading and saving the system profile and the member-points tables.
#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

namespace zostore::db {
class Connection;
}

namespace zostore::params {

struct ProfileWrite {
    QString key;
    QString value;
    QString description;
};

// Grid texts as the user left them; save decides which rows count.
struct JfRateRow {
    QString from;
    QString to;
    QString rate;
};
struct JfAmountRow {
    QString points;
    QString amount;
};

struct ParameterSet {
    QList<ProfileWrite> keys;
    QString costStylePriceName;
    QString cardType;
    QList<JfRateRow> rates;
    QList<JfAmountRow> amounts;
};

class SystemParameters {
public:
    // Every profile row as (key, value), in the order loading applies them.
    static QList<QPair<QString, QString>> loadProfile(db::Connection &conn);
    static QStringList priceStyleNames(db::Connection &conn);
    static QList<JfRateRow> loadJfRates(db::Connection &conn);
    static QList<JfAmountRow> loadJfAmounts(db::Connection &conn);

    // One transaction: a failure leaves the profile and both tables as they were.
    // Keys replace rows stored in any letter case; keys the set does not name are kept.
    static void save(db::Connection &conn, const ParameterSet &set, const QDateTime &now);

    // Opening prices and balances of the month from the current purchase prices, and cost = purchase price.
    static void recomputeOpeningAmounts(db::Connection &conn, int year, int period);

    // A grid date as the user may type it; invalid when the text is no date.
    static QDate gridDate(const QString &text);
};

} // namespace zostore::params
