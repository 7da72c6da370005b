// Renders the counter windows over a demo account set: discounts, the receipt template, labels and their
// designer.
#include "accountdb/Catalogue.h"
#include "components/Builtins.h"
#include "components/items/ItemGroupTree.h"
#include "components/items/ItemPicker.h"
#include "components/labels/LabelDesigner.h"
#include "components/labels/LabelList.h"
#include "counter/frmDefPrint.h"
#include "counter/frmPrintLabel.h"
#include "counter/frmSdyh_Set_Pos.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "demo/DemoAccount.h"
#include "startup/LoginContext.h"
#include "ui/ScriptedDialogs.h"
#include "ui/WindowPicture.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextStream>
#include <QTreeView>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    using namespace zostore;
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    QTemporaryDir tmp;
    qputenv("ZOSTORE_WORKDIR", tmp.path().toUtf8());
    try {
        accountdb::Catalogue catalogue(
            QStringLiteral("Provider=SQLite;Data Source=%1/catalog.db").arg(tmp.path()));
        catalogue.create();
        const QString cnstr = catalogue.createAccountSet(QStringLiteral("演示帐套"), QStringLiteral("demo"));
        QStringList codes;
        {
            db::Connection conn(cnstr);
            demo::loadDemoAccount(conn);
            for (auto rs = conn.open(
                     QStringLiteral("select FNumber from t_ICItem where length(FBar_Code)=13 and FDel=0 "
                                    "order by FNumber"));
                 !rs.eof() && codes.size() < 8; rs.moveNext())
                codes << rs.text(QStringLiteral("FNumber"));
        }
        components::registerBuiltinComponents();
        auto &ctx = startup::loginContext();
        ctx.setLogin(1, QStringLiteral("admin"), cnstr, QString(), QStringLiteral("演示帐套"));
        ctx.setIsManager(true);
        ui::ScriptedDialogs dialogs;
        ui::DialogsScope scope(dialogs);

        {
            counter::frmSdyh_Set_Pos discounts;
            discounts.setAttribute(Qt::WA_DeleteOnClose, false);
            discounts.resize(1100, 600);
            // A shop with discount groups, not the warehouse.
            const int shop = discounts.cmbStock->findText(QStringLiteral("店"), Qt::MatchContains);
            discounts.cmbStock->setCurrentIndex(shop);
            emit discounts.cmbStock->activated(shop);
            ui::saveWindowPicture(discounts, out.filePath(QStringLiteral("frmSdyh_Set_Pos.png")));
        }
        {
            counter::frmDefPrint receipt;
            receipt.setAttribute(Qt::WA_DeleteOnClose, false);
            receipt.resize(1000, 640);
            ui::saveWindowPicture(receipt, out.filePath(QStringLiteral("frmDefPrint.png")));
            receipt.tabs->setCurrentIndex(1);
            ui::saveWindowPicture(receipt, out.filePath(QStringLiteral("frmDefPrint-commands.png")));
            // The shop's address typed onto the second line runs past the paper's edge.
            receipt.tabs->setCurrentIndex(0);
            QTextCursor c(receipt.txtConText->document()->findBlockByNumber(1));
            c.movePosition(QTextCursor::EndOfBlock);
            c.insertText(QStringLiteral("  地址：文三路478号华星时代广场一楼"));
            receipt.txtConText->setTextCursor(c);
            ui::saveWindowPicture(receipt, out.filePath(QStringLiteral("frmDefPrint-overwide.png")));
        }
        {
            components::items::ItemPicker picker;
            picker.setMultiSelect(true);
            picker.showPicker(cnstr, 1);
            picker.groupTree()->view()->expandAll();
            db::Connection conn(cnstr);
            // A group with subgroups, so the list shows what choosing a branch brings.
            const int group =
                conn.scalar(QStringLiteral("select min(FParentID) from t_ItemGroup where FParentID<>0"))
                    .toInt();
            picker.setGroup(group);
            picker.resize(1000, 560);
            ui::saveWindowPicture(picker, out.filePath(QStringLiteral("item-picker.png")));
        }
        counter::frmPrintLabel w;
        w.setAttribute(Qt::WA_DeleteOnClose, false);
        for (int i = 0; i < codes.size(); ++i)
            w.labelList()->addCode(codes[i], 1 + i % 3);
        w.txtQty->setText(QStringLiteral("3"));
        w.resize(1000, 520);
        ui::saveWindowPicture(w, out.filePath(QStringLiteral("frmPrintLabel.png")));

        components::labels::LabelDesigner designer(cnstr);
        designer.openFormat(QStringLiteral("商品价签60×40"));
        designer.lstElements->setCurrentRow(6);
        ui::saveWindowPicture(designer, out.filePath(QStringLiteral("label-designer.png")));
        designer.openFormat(QStringLiteral("货架标签90×30"));
        ui::saveWindowPicture(designer, out.filePath(QStringLiteral("label-designer-shelf.png")));

        dialogs.queueWindow([&](QDialog &preview) {
            preview.resize(1000, 760);
            ui::saveWindowPicture(preview, out.filePath(QStringLiteral("label-sheet-preview.png")));
            return int(QDialog::Rejected);
        });
        w.txtQty->setText(QStringLiteral("3"));
        w.runTool(QStringLiteral("print"));
        for (const QString &m : dialogs.messages())
            QTextStream(stderr) << m << '\n';
    } catch (const Error &e) {
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
    return 0;
}
