// The demo account set as its three users see the main window.
#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "demo/DemoAccount.h"
#include "shell/Permissions.h"
#include "shell/frmMain.h"
#include "startup/LoginContext.h"
#include "startup/ProgramFolder.h"
#include "support/TestDatabase.h"
#include "ui/ActBar.h"
#include "ui/ScriptedDialogs.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

using namespace zostore;
using namespace zostore::shell;

namespace {

class DemoUsersTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        db::Connection conn = db().connect();
        accountdb::createAccountSchema(conn);
        const QDate today(2025, 12, 15);
        accountdb::insertProfileDefaults(conn, 2025, 9);
        demo::loadDemoAccount(conn, today);
        QFile::link(QStringLiteral(ZOSTORE_PICTURE_DIR), QDir(m_programDir.path()).filePath("picture"));
        startup::setProgramFolder(m_programDir.path());
    }
    void TearDown() override {
        startup::setProgramFolder({});
        startup::loginContext().reset();
        BackendTest::TearDown();
    }

    struct Seen {
        QList<int> images;
        QStringList captions;
        int purchaseReports = 0, salesReports = 0;
        bool cacuCost = false, clearData = false;
    };
    Seen seenBy(int userId, const QString &name) {
        startup::loginContext().setLogin(userId, name, cnstr(), cnstr(), QStringLiteral("演示帐套"));
        frmMain w;
        w.showMaximized();
        w.relayout();
        Seen s;
        for (int i = 1; i <= 5; ++i)
            if (!w.imgMenu(i)->isHidden())
                s.images << i;
        for (int i = 1; i <= 9; ++i)
            if (!w.imgButton(i)->isHidden())
                s.captions << w.lblSubMenu(i)->text();
        for (QAction *a : w.reportTools("subMenuPurReport"))
            s.purchaseReports += a->isSeparator() ? 0 : 1;
        for (QAction *a : w.reportTools("subMenuSaleReport"))
            s.salesReports += a->isSeparator() ? 0 : 1;
        s.cacuCost = w.actBar()->tool("subMenuTools", "MnuCacuCost")->isEnabled();
        s.clearData = w.actBar()->tool("subMenufzbg", "cleardata")->isEnabled();
        return s;
    }

    QTemporaryDir m_settings, m_programDir;
    ui::ScriptedDialogs m_dialogs;
};

TEST_P(DemoUsersTest, manager_clerk_with_grants_and_clerk_without_see_what_their_grants_allow) {
    ui::DialogsScope scope(m_dialogs);
    const Seen admin = seenBy(1, "admin");
    EXPECT_EQ(admin.images, (QList<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(admin.captions.size(), ModuleButtonCount[0]);
    EXPECT_EQ(admin.purchaseReports, 6);
    EXPECT_EQ(admin.salesReports, 6);
    EXPECT_TRUE(admin.cacuCost && admin.clearData);

    const Seen clerk = seenBy(2, "王丽");
    EXPECT_EQ(clerk.images, (QList<int>{1, 3, 5}));
    EXPECT_EQ(clerk.captions, (QStringList{"采购订货单", "采购入库单", "采购退货单"}));
    EXPECT_EQ(clerk.purchaseReports, 3);
    EXPECT_EQ(clerk.salesReports, 0);
    EXPECT_TRUE(clerk.cacuCost);
    EXPECT_FALSE(clerk.clearData);

    const Seen cashier = seenBy(3, "李强");
    EXPECT_EQ(cashier.images, QList<int>{5});
    EXPECT_EQ(cashier.captions, (QStringList{" 档案资料", " 售价管理"}));
    EXPECT_EQ(cashier.purchaseReports + cashier.salesReports, 0);
    EXPECT_FALSE(cashier.cacuCost || cashier.clearData);
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.messages().join('|').toStdString();
}

ZOSTORE_BACKENDS(DemoUsersTest);

} // namespace
