#include "modules/bills/BillLabelWindow.h"

#include "components/labels/LabelList.h"
#include "counter/frmPrintLabel.h"
#include "db/Connection.h"
#include "modules/bills/BillLabels.h"
#include "modules/bills/BillStore.h"
#include "ui/Dialogs.h"

namespace zostore::modules::bills {

counter::frmPrintLabel *openBillLabels(QWidget *parent, const QString &cnstr, int userId, int kind,
                                       int interId) {
    db::Connection conn(cnstr);
    const Bill bill = BillStore(conn, userId).load(kind, interId);
    const ui::Answer a = ui::dialogs().questionWithCancel(
        QStringLiteral("单据 %1：每件商品打印一张标签吗？\n选“是”按单据上的数量每件一张，选“否”每行一张。")
            .arg(bill.billNo),
        ui::Icon::Question, ui::Answer::Yes);
    if (a == ui::Answer::Cancel)
        return nullptr;
    const auto labels =
        billLabels(conn, bill, a == ui::Answer::Yes ? LabelCount::PerUnit : LabelCount::PerLine);
    auto *w = new counter::frmPrintLabel(parent);
    if (parent)
        w->setWindowModality(Qt::WindowModal);
    w->setWindowTitle(w->windowTitle() + QStringLiteral(" - ") + bill.billNo);
    for (const auto &item : labels)
        w->labelList()->addItem(item);
    w->show();
    return w;
}

} // namespace zostore::modules::bills
