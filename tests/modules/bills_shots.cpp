// Renders the bill windows, the bill search and a bill's labels over the demo account set with a few bills
// of this month (docs/).
#include "accountdb/Catalogue.h"
#include "accountdb/SystemProfile.h"
#include "components/Builtins.h"
#include "components/labels/LabelDesigner.h"
#include "counter/frmPrintLabel.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "demo/DemoAccount.h"
#include "modules/bills/BillLabelWindow.h"
#include "modules/bills/BillStore.h"
#include "modules/bills/Stocktake.h"
#include "modules/bills/frmBill.h"
#include "modules/bills/frmBillSearch.h"
#include "modules/bills/frmPd.h"
#include "startup/LoginContext.h"
#include "ui/Grid.h"
#include "ui/ScriptedDialogs.h"
#include "ui/WindowPicture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

using namespace zostore;
using namespace zostore::modules::bills;

namespace {

struct Demo {
    QList<int> items, stores;
    int supplier = 0, emp = 0;
    QDate day;
};

Demo readDemo(db::Connection &conn, BillStore &store) {
    Demo d;
    for (auto rs =
             conn.open(QStringLiteral("select FItemID from t_ICItem where FDel=0 order by FNumber limit 5"));
         !rs.eof(); rs.moveNext())
        d.items << rs.toInt(QStringLiteral("FItemID"));
    for (auto rs = conn.open(QStringLiteral("select FItemID from t_Stock order by FNumber limit 2"));
         !rs.eof(); rs.moveNext())
        d.stores << rs.toInt(QStringLiteral("FItemID"));
    d.supplier = conn.scalar(QStringLiteral("select min(FItemID) from t_Supplier")).toInt();
    d.emp = conn.scalar(QStringLiteral("select min(FItemID) from t_Emp")).toInt();
    d.day = QDate(store.currentYear(), store.currentPeriod(), 1).addDays(5);
    return d;
}

Bill make(BillStore &store, const Demo &d, int kind, const QList<double> &qtys) {
    Bill b;
    b.kind = kind;
    b.date = d.day;
    b.orgaId = billKind(kind)->supplier ? d.supplier : 0;
    b.inStockId = billKind(kind)->inStore ? d.stores.value(billKind(kind)->outStore ? 1 : 0) : 0;
    b.outStockId = billKind(kind)->outStore ? d.stores.value(0) : 0;
    b.empId = d.emp;
    b.remark = QStringLiteral("演示单据");
    for (int i = 0; i < qtys.size() && i < d.items.size(); ++i) {
        const auto f = store.itemFacts(d.items[i]);
        BillLine l;
        l.itemId = d.items[i];
        l.name = f ? f->name : QString();
        l.qty = qtys[i];
        l.exchange = f ? f->exchange : 1;
        l.price = store.startPrice(kind, l.itemId);
        l.due = d.day.addDays(7 + i);
        b.lines << l;
    }
    store.save(b, true);
    return b;
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir tmp;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, tmp.path());
    try {
        components::registerBuiltinComponents();
        accountdb::Catalogue catalogue(
            QStringLiteral("Provider=SQLite;Data Source=%1/catalog.db").arg(tmp.path()));
        catalogue.create();
        const QString cnstr = catalogue.createAccountSet(QStringLiteral("演示帐套"), QStringLiteral("demo"));
        db::Connection conn(cnstr);
        demo::loadDemoAccount(conn, QDate::currentDate());
        accountdb::writeProfile(conn, QStringLiteral("ShowSalePriceOnRkBill"), QStringLiteral("1"));
        auto &ctx = startup::loginContext();
        ctx.setLogin(1, QStringLiteral("admin"), cnstr, catalogue.catalogueString(),
                     QStringLiteral("演示帐套"));
        ctx.setIsManager(true);
        ui::ScriptedDialogs scripted;
        ui::DialogsScope scope(scripted);
        BillStore store(conn, 1);
        const Demo d = readDemo(conn, store);
        const Bill order = make(store, d, 11, {20, 10, 6});
        const Bill receipt = make(store, d, 12, {5, 8});
        bool ok = true;
        const auto shoot = [&](QWidget &w, const QString &name) {
            w.show();
            ok = ui::saveWindowPicture(w, QDir(outDir).filePath(name + QStringLiteral(".png"))) && ok;
        };
        {
            frmBill w(cnstr, 1, 11, order.interId);
            shoot(w, QStringLiteral("frmBill_11"));
        }
        {
            // A receipt against the order, part of it still to come.
            frmBill w(cnstr, 1, 12);
            w.cmbInStock->setCurrentIndex(1);
            w.fillFromOrder(order.interId);
            shoot(w, QStringLiteral("frmBill_12"));
        }
        for (int kind : {14, 15, 25, 31, 9}) {
            // Returns only what was received from the supplier: the two items of the receipt.
            const Bill b = make(store, d, kind, kind == 14 ? QList<double>{2, 1} : QList<double>{2, 1, 3});
            frmBill w(cnstr, 1, kind, b.interId);
            shoot(w, QStringLiteral("frmBill_%1").arg(kind));
        }
        {
            frmBillSearch w(cnstr, 1, 12);
            shoot(w, QStringLiteral("frmBillSearch_12"));
        }
        {
            frmBillSearch w(cnstr, 1, 12, nullptr, frmBillSearch::Purpose::Labels);
            shoot(w, QStringLiteral("frmBillSearch_Labels"));
        }
        {
            // The receipt's lines in the label window, a label per unit.
            scripted.queueAnswer(ui::Answer::Yes);
            std::unique_ptr<counter::frmPrintLabel> w(openBillLabels(nullptr, cnstr, 1, 12, receipt.interId));
            w->setAttribute(Qt::WA_DeleteOnClose, false);
            shoot(*w, QStringLiteral("frmPrintLabel_bill"));
        }
        {
            // The bill designer as the tool menu opens it: a new receipt format starts laid out.
            components::labels::LabelDesigner designer(cnstr, nullptr, 0);
            designer.save();
            designer.lstElements->setCurrentRow(7);
            shoot(designer, QStringLiteral("frmBillDesigner"));
            // The receipt printed by it: the format offered, then the preview.
            frmBill w(cnstr, 1, 12, receipt.interId);
            scripted.queueWindow([&](QDialog &choice) {
                shoot(choice, QStringLiteral("frmPrintFormat"));
                return int(QDialog::Accepted);
            });
            scripted.queueWindow([&](QDialog &preview) {
                preview.resize(1000, 760);
                shoot(preview, QStringLiteral("bill-format-preview"));
                return int(QDialog::Rejected);
            });
            w.print();
        }
        {
            Stocktake counts(conn, 1);
            const int pd = counts.freeze(d.stores.value(0));
            QHash<int, double> counted;
            for (const CountLine &l : counts.sheet(pd).mid(0, 6))
                counted.insert(l.itemId, std::max(0.0, l.bookQty + (l.itemId % 3) - 1));
            counts.saveCounts(pd, counted);
            frmPdBackup b(cnstr, 1);
            shoot(b, QStringLiteral("frmPdBackup"));
            frmPdData print(cnstr, 1, frmPdData::Mode::Print);
            shoot(print, QStringLiteral("frmPdPrint"));
            frmPdData enter(cnstr, 1, frmPdData::Mode::Enter);
            shoot(enter, QStringLiteral("frmPdEntry"));
        }
        return ok ? 0 : 1;
    } catch (const Error &e) {
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
}
