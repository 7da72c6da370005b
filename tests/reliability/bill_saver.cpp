// Saves long bills one after another for the kill test, saying on standard output when each save begins
// and ends, so the test can kill it inside a save. Account set from ZOSTORE_BILL_ACCOUNT.
#include "db/Connection.h"
#include "db/Error.h"
#include "modules/bills/BillStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

using namespace zostore;

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int bills = args.value(1).toInt(), lines = args.value(2).toInt();
    if (bills < 1 || lines < 1) {
        std::fprintf(stderr, "usage: bill_saver BILLS LINES\n");
        return 2;
    }
    try {
        db::Connection conn(qEnvironmentVariable("ZOSTORE_BILL_ACCOUNT"));
        modules::bills::BillStore store(conn, 1);
        QList<int> items;
        for (auto rs =
                 conn.open(QStringLiteral("select FItemID from t_ICItem where FDel=0 order by FItemID"));
             !rs.eof(); rs.moveNext())
            items << rs.toInt(QStringLiteral("FItemID"));
        const int stock = conn.scalar(QStringLiteral("select min(FItemID) from t_Stock")).toInt();
        if (items.isEmpty() || stock <= 0)
            throw Error(QStringLiteral("the account set has no items or no store"));
        for (int b = 0; b < bills; ++b) {
            modules::bills::Bill bill;
            bill.kind = 15;
            bill.date = QDate(store.currentYear(), store.currentPeriod(), 1);
            bill.inStockId = stock;
            bill.remark = QStringLiteral("kill");
            for (int i = 0; i < lines; ++i) {
                modules::bills::BillLine l;
                l.itemId = items[(b * 7 + i) % items.size()];
                l.qty = 1 + i % 5;
                l.price = 1.25;
                bill.lines << l;
            }
            QElapsedTimer t;
            t.start();
            std::printf("saving\n");
            std::fflush(stdout);
            if (!store.save(bill, true).saved)
                throw Error(QStringLiteral("not saved"));
            std::printf("saved %s %lld\n", qPrintable(bill.billNo), static_cast<long long>(t.elapsed()));
            std::fflush(stdout);
        }
    } catch (const Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
