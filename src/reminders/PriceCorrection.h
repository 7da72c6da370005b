// A sale price corrected in a reminder list, written to the item at once.
#pragma once

#include <QString>
#include <optional>

namespace zostore::db {
class Connection;
}

namespace zostore::reminders {

// A typed price: a plain non-negative number, rounded to cents; nothing for anything else.
std::optional<double> parseSalePrice(const QString &text);

// priceColumn must be a sale-price column ("FPrice_<id>") of t_ICItem; the sale-price time becomes now.
void correctSalePrice(db::Connection &conn, int itemId, const QString &priceColumn, double price);

} // namespace zostore::reminders
