// Renders the opening-balance, user, member and item-file windows over the demo account set brought back to its start
// month (docs/).
#include "accountdb/Catalogue.h"
#include "accountdb/SystemProfile.h"
#include "components/Builtins.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "demo/DemoAccount.h"
#include "modules/init/frmInitStock.h"
#include "modules/init/frmInitWL.h"
#include "modules/members/CardLookup.h"
#include "modules/members/MemberMoves.h"
#include "modules/members/frmChangeJf.h"
#include "modules/members/frmVipEdit.h"
#include "modules/members/frmVipMan.h"
#include "modules/members/frmVipReserve.h"
#include "modules/items/frmFileEdit.h"
#include "modules/items/frmItemEdit.h"
#include "modules/items/frmViewItem.h"
#include "modules/users/frmUserEdit.h"
#include "modules/users/frmUserMan.h"
#include "startup/LoginContext.h"
#include "ui/Grid.h"
#include "ui/ScriptedDialogs.h"
#include "ui/WindowPicture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    using namespace zostore;
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir tmp;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, tmp.path());
    try {
        components::registerBuiltinComponents();
        accountdb::Catalogue catalogue(
            QStringLiteral("Provider=SQLite;Data Source=%1/catalog.db").arg(tmp.path()));
        catalogue.create();
        const QString cnstr = catalogue.createAccountSet(QStringLiteral("演示帐套"), QStringLiteral("demo"));
        {
            db::Connection conn(cnstr);
            demo::loadDemoAccount(conn, QDate::currentDate());
            // As a shop sees it while it is still setting up: the start month current, not yet closed.
            for (const char *k : {"Year", "Period"})
                accountdb::writeProfile(
                    conn, QStringLiteral("Current%1").arg(QLatin1String(k)),
                    accountdb::readProfile(conn, QStringLiteral("Start%1").arg(QLatin1String(k))));
            accountdb::writeProfile(conn, QStringLiteral("Closed"), QStringLiteral("0"));
        }
        auto &ctx = startup::loginContext();
        ctx.setLogin(1, QStringLiteral("admin"), cnstr, catalogue.catalogueString(),
                     QStringLiteral("演示帐套"));
        ctx.setIsManager(true);
        ui::ScriptedDialogs scripted;
        ui::DialogsScope scope(scripted);
        bool ok = true;
        {
            modules::init::frmInitStock w(cnstr);
            w.cmbStock->setCurrentIndex(std::min(1, w.cmbStock->count() - 1));
            w.show();
            ok = ui::saveWindowPicture(w, QDir(outDir).filePath(QStringLiteral("frmInitStock.png"))) && ok;
        }
        {
            modules::init::frmInitWL w(cnstr, modules::init::PartnerKind::Suppliers);
            w.show();
            ok = ui::saveWindowPicture(w, QDir(outDir).filePath(QStringLiteral("frmInitWL_2.png"))) && ok;
        }
        {
            // The clerk with some rights, so that the tree shows ticked and half-ticked groups.
            modules::users::frmUserMan w(cnstr, 1);
            w.selectUser(2);
            w.show();
            ok = ui::saveWindowPicture(w, QDir(outDir).filePath(QStringLiteral("frmUserMan.png"))) && ok;
        }
        {
            modules::users::frmUserEdit w(modules::users::frmUserEdit::Mode::NewUser);
            w.txtName->setText(QStringLiteral("张敏"));
            w.txtPassword->setText(QStringLiteral("zm12345"));
            w.txtConfirm->setText(QStringLiteral("zm12345"));
            w.txtDescription->setText(QStringLiteral("夜班收银"));
            w.show();
            ok = ui::saveWindowPicture(w, QDir(outDir).filePath(QStringLiteral("frmUserEdit.png"))) && ok;
        }
        {
            // A member with a little history, so the form's movement list is not empty.
            db::Connection conn(cnstr);
            modules::members::MemberMoves moves(conn, 1);
            moves.topUp(3, 500, QStringLiteral("会员充值"));
            moves.adjustPoints(3, 200, QStringLiteral("老会员补分"));
            moves.exchange(3, conn.scalar(QStringLiteral("select min(FJf) from VipJfToAmount")).toDouble(), 1,
                           QStringLiteral("积分兑换"));
            moves.refund(3, 120, QStringLiteral("退还部分储值"));
        }
        const auto shot = [&](QWidget &w, const char *file) {
            w.show();
            ok = ui::saveWindowPicture(w, QDir(outDir).filePath(QString::fromLatin1(file))) && ok;
        };
        {
            modules::members::frmVipMan w(cnstr, 1);
            shot(w, "frmVipMan.png");
        }
        {
            modules::members::frmVipEdit w(cnstr, 1, 3);
            shot(w, "frmVipEdit.png");
        }
        {
            modules::members::frmVipReserve w(cnstr, 1, 3);
            w.txtAmount->setText(QStringLiteral("200"));
            shot(w, "frmVipReserve.png");
        }
        {
            modules::members::frmChangeJf w(cnstr, 1, 3);
            w.optExchange->setChecked(true);
            shot(w, "frmChangeJf.png");
        }
        {
            modules::items::frmViewItem w(cnstr, 1);
            w.show();
            ok = ui::saveWindowPicture(w, QDir(outDir).filePath(QStringLiteral("frmViewItem.png"))) && ok;
            w.lstFiles->setCurrentRow(1);
            ok = ui::saveWindowPicture(w, QDir(outDir).filePath(QStringLiteral("frmViewItem-stock.png"))) &&
                 ok;
        }
        {
            db::Connection conn(cnstr);
            const int first =
                conn.scalar(QStringLiteral("select min(FItemID) from t_ICItem where FDel=0")).toInt();
            modules::items::frmItemEdit w(cnstr, first, 0);
            w.show();
            ok = ui::saveWindowPicture(w, QDir(outDir).filePath(QStringLiteral("frmItemEdit.png"))) && ok;
            const int supplier = conn.scalar(QStringLiteral("select min(FItemID) from t_Supplier")).toInt();
            modules::items::frmFileEdit f(cnstr, modules::items::FileKind::Supplier, supplier);
            f.show();
            ok = ui::saveWindowPicture(f, QDir(outDir).filePath(QStringLiteral("frmFileEdit.png"))) && ok;
        }
        return ok ? 0 : 1;
    } catch (const Error &e) {
        QTextStream(stderr) << e.description() << '\n';
        return 1;
    }
}
