// The four reminder lists as tables: columns with their header texts, row texts and the cells shown red.
#pragma once

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace zostore::db {
class Connection;
}

namespace zostore::reminders {

enum Page { PriceBelowCost = 0, PurchasePriceChanged = 1, Shortage = 2, OverdueOrders = 3 };
constexpr int PageCount = 4;
QString pageCaption(int page);

inline const QString AllStores = QStringLiteral("(全部仓库)");

struct PageColumn {
    QString key;
    QString upper; // the only header text of one-row pages
    QString lower;
    bool numeric = false;
    bool hidden = false;
};

struct PageOptions {
    bool mayViewPurPrice = false;
    QList<int> hiddenPriceStyles{0};
    QString storeName; // page 2: a store or AllStores
    QDate today = QDate::currentDate();
};

struct ReminderPage {
    int page = -1;
    int headerRows = 1;
    QList<PageColumn> columns;
    QList<QStringList> rows;
    QSet<qint64> redCells;          // row * 65536 + column
    std::optional<QString> failure; // the error met while reading, the rows read so far kept
    int colIndex(const QString &key) const;
    bool isRed(int row, int col) const { return redCells.contains(qint64(row) * 65536 + col); }
};

// "2,5" as the list of hidden price styles; empty or unreadable gives {0}.
QList<int> parseHiddenPriceStyles(const QString &setting);
// The settings store's list for a user.
QList<int> hiddenPriceStylesOf(int userId);

// Pages outside 0..3 give an empty page with page -1.
ReminderPage buildPage(db::Connection &conn, int page, const PageOptions &options);

// Columns of the sale prices a user may see: "FPrice_<id>" and the style's name, in the styles' order.
QList<PageColumn> visiblePriceColumns(db::Connection &conn, const QList<int> &hidden);

// "#,0.00" and "0.00" as the lists show money.
QString groupedMoney(double v);
QString money(double v);

} // namespace zostore::reminders
