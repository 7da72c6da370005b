// The discount window's two database paths on 20,000 items with 40,000 barcodes: looking up what is typed
// per line, and saving a group of 5,000 lines, each against its baseline in the same run.
// Usage: bench_discounts [--lookups N] [--scan-lookups N] [--lines N]; PostgreSQL runs when ZOSTORE_BENCH_PG
// is set.
#include "BenchAccount.h"
#include "components/items/ItemLookup.h"
#include "counter/PosDiscounts.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Recordset.h"
#include "db/Transaction.h"
#include "demo/Generator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <functional>

using namespace zostore;
using components::items::ItemLookup;

namespace {

constexpr int Items = 20000;
constexpr int PriceStyle = 1;
constexpr int Store = 1;

struct Options {
    int lookups = 5000;
    int scanLookups = 500;
    int lines = 5000;
};

double msOf(const std::function<void()> &f) {
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

// The generator gives every item its own barcode; each item gets a package barcode here, so the set holds
// 40,000 barcodes in all.
void addPackageBarcodes(db::Connection &conn) {
    db::Transaction tx(conn);
    conn.execute(
        QStringLiteral("insert into t_icitem_barcode(FItemID,FBarCode,FPriceStyleID,FPrice,FExchange) "
                       "select FItemID,'79'||substr(FBar_Code,3),1,round(FPrice_1*(case when FExchange=1 "
                       "then 6 else FExchange end),2),"
                       "case when FExchange=1 then 6 else FExchange end from t_ICItem"));
    tx.commit();
}

// What cashiers and managers type: an item barcode, an item code, a package barcode or something unknown,
// spread over the whole item range.
QStringList mixedTexts(db::Connection &conn, int n) {
    QStringList codes, barcodes, packages;
    for (auto rs = conn.open(QStringLiteral("select FNumber,FBar_Code from t_ICItem order by FItemID"));
         !rs.eof(); rs.moveNext()) {
        codes << rs.text(QStringLiteral("FNumber"));
        barcodes << rs.text(QStringLiteral("FBar_Code"));
    }
    for (auto rs = conn.open(QStringLiteral("select FBarCode from t_icitem_barcode order by FItemID"));
         !rs.eof(); rs.moveNext())
        packages << rs.text(QStringLiteral("FBarCode"));
    QStringList out;
    out.reserve(n);
    for (int i = 0; i < n; ++i) {
        const int k = int((qint64(i) * 7919 + 13) % codes.size());
        switch (i % 4) {
        case 0:
            out << barcodes[k];
            break;
        case 1:
            out << codes[k];
            break;
        case 2:
            out << packages[k % packages.size()];
            break;
        default:
            out << QStringLiteral("68%1").arg(k, 11, 10, QLatin1Char('0'));
            break;
        }
    }
    return out;
}

// The lookup's two statements with every compared column wrapped, so no index can serve them.
int scanLookups(db::Connection &conn, const QStringList &texts) {
    int found = 0;
    for (const QString &t : texts) {
        auto rs = conn.open(
            QStringLiteral("select i.FItemID,i.FNumber,i.FName,i.FModel,i.FUnit,i.FShopNumber,i.FBar_Code,"
                           "i.FPrice_1 as FItemPrice from t_ICItem i where i.FDel=0 and "
                           "(i.FNumber||''=? or i.FBar_Code||''=?) "
                           "order by case when i.FNumber||''=? then 0 else 1 end"),
            {t, t, t});
        if (!rs.eof()) {
            ++found;
            continue;
        }
        auto bar =
            conn.open(QStringLiteral("select i.FItemID,i.FNumber,i.FName,i.FModel,i.FUnit,i.FShopNumber,"
                                     "i.FBar_Code,i.FPrice_1 as FItemPrice,b.FBarCode,b.FPrice,b.FExchange "
                                     "from t_icitem_barcode b join t_ICItem i on i.FItemID=b.FItemID "
                                     "where b.FBarCode||''=? and i.FDel=0"),
                      {t});
        if (!bar.eof())
            ++found;
    }
    return found;
}

QList<counter::DiscountLine> groupLines(db::Connection &conn, int n) {
    QList<counter::DiscountLine> lines;
    auto rs =
        conn.open(QStringLiteral("select FItemID,FNumber,FBar_Code,FPrice_1 from t_ICItem order by FItemID"));
    for (int i = 0; i < n && !rs.eof(); ++i, rs.moveNext()) {
        counter::DiscountLine l;
        l.itemId = rs.toInt(QStringLiteral("FItemID"));
        l.number = rs.text(QStringLiteral("FNumber"));
        l.barcode = rs.text(QStringLiteral("FBar_Code"));
        l.retailPrice = rs.toDouble(QStringLiteral("FPrice_1"));
        l.rate = 90;
        l.price = qRound(l.retailPrice * 9) / 10.0;
        l.saleQty = i % 5;
        l.mExchange = 1;
        lines << l;
    }
    return lines;
}

const QString InsertLine = QStringLiteral(
    "Insert Into "
    "PosQtZkSet(FStockID,FBarCode,FFromNumber,FEntryID,FFromDate,FToDate,FZkRate,FPrice,FRetailPrice,"
    "FSaleQty,FVipQty,FItemID,FMExchange) Values(?,?,?,?,?,?,?,?,?,?,?,?,?)");

void insertEach(db::Connection::Statement &insert, const counter::DiscountSpan &span,
                const QList<counter::DiscountLine> &lines) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const counter::DiscountLine &l = lines[i];
        insert.exec({Store, l.barcode, l.number, int(i + 1), span.from, span.to, l.rate, l.price,
                     l.retailPrice, l.saleQty, l.vipQty, l.itemId, l.mExchange.value_or(0)});
    }
}

int storedLines(db::Connection &conn, const counter::DiscountSpan &span) {
    return conn
        .scalar(
            QStringLiteral("select count(*) from PosQtZkSet where FStockID=? and FFromDate=? and FToDate=?"),
            {Store, span.from, span.to})
        .toInt();
}

void run(const QString &name, const QString &cs, const Options &o) {
    demo::GeneratorCounts counts;
    counts.items = Items;
    counts.stores = 3;
    counts.members = 0;
    counts.bills = 100;
    counts.months = 1;
    counts.lastDay = QDate(2026, 1, 31);
    const auto g = bench::makeAccount(cs, counts);
    db::Connection conn(cs);
    addPackageBarcodes(conn);
    conn.execute(QStringLiteral("analyze"));
    const int barcodes =
        conn.scalar(QStringLiteral("select (select count(*) from t_ICItem where FBar_Code is not null)+"
                                   "(select count(*) from t_icitem_barcode)"))
            .toInt();
    std::printf("%s: %d items, %d barcodes (item and package), generated in %.1f s\n", qPrintable(name),
                Items, barcodes, g.seconds);

    // Lookups: one lookup over one connection for the chosen store, as the window keeps them.
    const QStringList texts = mixedTexts(conn, o.lookups);
    int found = 0;
    const double indexed = msOf([&] {
        ItemLookup lookup(conn, PriceStyle);
        for (const QString &t : texts)
            found += lookup.find(t) ? 1 : 0;
    });
    const QStringList scanTexts = texts.mid(0, o.scanLookups);
    int scanFound = 0;
    const double scan = msOf([&] { scanFound = scanLookups(conn, scanTexts); });
    int ownFound = 0;
    const QStringList ownTexts = texts.mid(0, o.scanLookups);
    const double ownConnection = msOf([&] {
        for (const QString &t : ownTexts) {
            db::Connection c(cs);
            ownFound += ItemLookup(c, PriceStyle).find(t) ? 1 : 0;
        }
    });
    const double perLookup = indexed / texts.size();
    const double perScan = scan / scanTexts.size();
    std::printf(
        "%s lookup, %lld mixed texts (barcode, code, package barcode, miss; %d found): %.3f ms per lookup "
        "(target <= 2 ms)\n",
        qPrintable(name), static_cast<long long>(texts.size()), found, perLookup);
    std::printf(
        "%s lookup without index help (columns wrapped in ||'', %lld texts, %d found): %.3f ms per lookup, "
        "ratio %.0fx\n",
        qPrintable(name), static_cast<long long>(scanTexts.size()), scanFound, perScan, perScan / perLookup);
    std::printf(
        "%s lookup with a connection and a lookup opened per line (%lld texts, %d found): %.3f ms per "
        "lookup\n",
        qPrintable(name), static_cast<long long>(ownTexts.size()), ownFound, ownConnection / ownTexts.size());

    // Saving: the window's path, then the same rows written the plain ways into an emptied group.
    const QList<counter::DiscountLine> lines = groupLines(conn, o.lines);
    const counter::DiscountSpan span{QDateTime(QDate(2026, 2, 6), QTime(18, 0)),
                                     QDateTime(QDate(2026, 2, 8), QTime(22, 0))};
    counter::PosDiscounts discounts(conn);
    const double saveNew = msOf([&] { discounts.save(Store, span, lines); });
    const double saveAgain = msOf([&] { discounts.save(Store, span, lines); });
    const int saved = storedLines(conn, span);
    discounts.deleteGroup(Store, span);
    auto insert = conn.prepare(InsertLine);
    const double autocommit = msOf([&] { insertEach(insert, span, lines); });
    const int autoSaved = storedLines(conn, span);
    discounts.deleteGroup(Store, span);
    const double bare = msOf([&] {
        db::Transaction tx(conn);
        insertEach(insert, span, lines);
        tx.commit();
    });
    const int bareSaved = storedLines(conn, span);
    std::printf("%s save of %lld lines in one transaction: %.1f ms into a new group, %.1f ms replacing it "
                "(target <= 500 ms; %d stored)\n",
                qPrintable(name), static_cast<long long>(lines.size()), saveNew, saveAgain, saved);
    std::printf(
        "%s row by row, one autocommitted prepared insert per line (%d stored): %.1f ms, ratio %.1fx\n",
        qPrintable(name), autoSaved, autocommit, autocommit / saveNew);
    std::printf(
        "%s the same rows, one prepared insert per line in one transaction (%d stored): %.1f ms; the save "
        "takes %.2fx that\n\n",
        qPrintable(name), bareSaved, bare, saveNew / bare);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    Options o;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QStringLiteral("--lookups"))
            o.lookups = std::max(1, args[i + 1].toInt());
        else if (args[i] == QStringLiteral("--scan-lookups"))
            o.scanLookups = std::max(1, args[i + 1].toInt());
        else if (args[i] == QStringLiteral("--lines"))
            o.lines = std::max(1, args[i + 1].toInt());
    }
    o.scanLookups = std::min(o.scanLookups, o.lookups);
    return bench::onEachBackend(QStringLiteral("discounts"), [&](const QString &name, const QString &cs,
                                                                 const QString &) { run(name, cs, o); });
}
