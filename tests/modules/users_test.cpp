// Users and rights: the rules on users, the window driven by the user, and the grants as the main window
// reads them afterwards.
#include "accountdb/PasswordHash.h"
#include "accountdb/Schema.h"
#include "accountdb/SchemaUpgrade.h"
#include "accountdb/SystemProfile.h"
#include "components/Builtins.h"
#include "components/LoginService.h"
#include "components/Registry.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "modules/InstalledModules.h"
#include "modules/users/Grants.h"
#include "modules/users/RightsTable.h"
#include "modules/users/UserStore.h"
#include "modules/users/frmUserEdit.h"
#include "modules/users/frmUserMan.h"
#include "shell/Permissions.h"
#include "ModuleTest.h"
#include "support/TestDatabase.h"
#include "ui/Grid.h"
#include "ui/ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <optional>

namespace zostore::test {

using namespace modules::users;
using components::LoginService;

namespace {

class UsersModuleTest : public ModuleTest {
protected:
    void seed() override {
        const QString hash = accountdb::hashPassword(QStringLiteral("secret1"));
        conn->execute(QStringLiteral("insert into t_User(FUserID,FName,FPassword,FManager,FDisabled) values"
                                     "(1,'店主',?,1,0),(2,'王丽',?,0,0),(3,'李强',?,0,0)"),
                      {hash, hash, hash});
        conn->execute(QStringLiteral("insert into ICStockBill(FInterID,FBillNo,FDate,FYear,FPeriod,FTranType,"
                                     "FBillerID) values(1,'B1','2026-12-03 00:00:00',2026,12,1,3)"));
        conn->execute(QStringLiteral("insert into ReportList(FGroupID,FReportID,FType,FReportName) values"
                                     "(1,5,0,'采购汇总'),(2,1,0,'销售日报'),(2,12,1,'销售排行')"));
    }
    bool logsIn(const char *name, const char *password) {
        return LoginService::authenticate(cnstr(), QString::fromUtf8(name), QString::fromUtf8(password))
            .has_value();
    }
};

} // namespace

TEST_P(UsersModuleTest, bad_input_and_protected_users_are_refused_and_change_nothing) {
    UserStore store(*conn, 1);
    EXPECT_REFUSED(store.addUser(QStringLiteral("  "), "secret1", "secret1", false, {}), "用户名不能为空");
    EXPECT_REFUSED(store.addUser(QStringLiteral("王丽"), "secret1", "secret1", false, {}),
                   "用户名“王丽”已经存在");
    EXPECT_REFUSED(store.addUser(QString(81, QChar(u'张')), "secret1", "secret1", false, {}),
                   "用户名最长 80");
    EXPECT_REFUSED(store.addUser(QStringLiteral("张敏"), "12345", "12345", false, {}),
                   "密码至少要有 6 个字符");
    EXPECT_REFUSED(store.addUser(QStringLiteral("张敏"), "123456", "123457", false, {}),
                   "两次输入的密码不一致");
    EXPECT_EQ(count("select count(*) from t_User"), 3);
    const int id = store.addUser(QString(80, QChar(u'张')), QStringLiteral("zm1234"),
                                 QStringLiteral("zm1234"), false, QStringLiteral("收银"));
    EXPECT_EQ(id, 4);
    EXPECT_TRUE(logsIn(QString(80, QChar(u'张')).toUtf8().constData(), "zm1234"));

    // The logged-in user and the last manager.
    EXPECT_REFUSED(store.setManager(1, false), "您自己");
    EXPECT_REFUSED(store.setDisabled(1, true), "您自己");
    EXPECT_REFUSED(store.remove(1), "您自己");
    EXPECT_REFUSED(store.rename(1, QStringLiteral("老板")), "您自己");
    UserStore clerk(*conn, 2);
    EXPECT_REFUSED(clerk.setManager(1, false), "最后一个管理员");
    EXPECT_REFUSED(clerk.setDisabled(1, true), "最后一个管理员");
    EXPECT_REFUSED(clerk.remove(1), "最后一个管理员");
    store.setManager(2, true);
    clerk.setManager(1, false); // another manager is left now
    EXPECT_FALSE(store.user(1).manager);
    store.setManager(1, true);
    // A disabled manager is no manager to fall back on.
    store.setDisabled(2, true);
    EXPECT_REFUSED(UserStore(*conn, 3).setManager(1, false), "最后一个管理员");

    // A biller keeps his row; disabled he cannot log in, enabled again he can.
    EXPECT_REFUSED(store.remove(3), "做过单据，不能删除");
    store.setDisabled(3, true);
    EXPECT_FALSE(logsIn("李强", "secret1"));
    QStringList names;
    for (const auto &u : LoginService::users(cnstr()))
        names << u.name;
    EXPECT_EQ(names.join(u','), QString(QStringLiteral("店主,") + QString(80, QChar(u'张'))));
    store.setDisabled(3, false);
    EXPECT_TRUE(logsIn("李强", "secret1"));

    EXPECT_REFUSED(store.rename(3, QStringLiteral("王丽")), "已经存在");
    store.rename(3, QStringLiteral(" 李强强 "));
    EXPECT_EQ(store.user(3).name, QStringLiteral("李强强"));
    EXPECT_REFUSED(store.setPassword(3, QStringLiteral("abc"), QStringLiteral("abc")),
                   "密码至少要有 6 个字符");
    EXPECT_TRUE(logsIn("李强强", "secret1"));
    store.setPassword(3, QStringLiteral("new-pw1"), QStringLiteral("new-pw1"));
    EXPECT_TRUE(logsIn("李强强", "new-pw1"));
    EXPECT_FALSE(logsIn("李强强", "secret1"));

    Grants::write(*conn, 4, {{QStringLiteral("101"), true}});
    store.remove(4);
    EXPECT_EQ(count("select count(*) from t_User where FUserID=4"), 0);
    EXPECT_EQ(count("select count(*) from t_Grant where FUserID=4"), 0);
}

TEST_P(UsersModuleTest, rights_ticked_in_the_window_give_exactly_those_buttons_and_menus) {
    Grants::write(*conn, 2, {{QStringLiteral("101"), true}, {QStringLiteral("725"), true}});
    frmUserMan w(cnstr(), 1);
    ASSERT_TRUE(w.selectUser(2));
    EXPECT_EQ(w.tickedCodes(), QSet<QString>{QStringLiteral("101")});
    EXPECT_TRUE(w.tvwRight->isEnabled());
    ASSERT_NE(w.rightItem(QStringLiteral("R212")), nullptr);
    EXPECT_EQ(w.rightItem(QStringLiteral("R212"))->text(0), QStringLiteral("销售排行"));
    // Every code the main window checks has exactly one box.
    const QStringList codes = rightCodes(rightsTree(*conn));
    EXPECT_EQ(QSet<QString>(codes.begin(), codes.end()).size(), codes.size());
    for (const char *c :
         {"181", "481", "102", "162", "191", "151", "908", "393", "472", "702", "706", "708", "711",
          "712", "709", "717", "704", "710", "719", "723", "705", "397", "930", "R15", "R21"})
        EXPECT_TRUE(codes.contains(QString::fromLatin1(c))) << c;

    const auto tick = [&](const char *code, Qt::CheckState s) {
        QTreeWidgetItem *item = w.rightItem(QString::fromLatin1(code));
        ASSERT_NE(item, nullptr) << code;
        item->setCheckState(0, s);
    };
    tick("101", Qt::Unchecked);
    tick("102", Qt::Checked);
    tick("441", Qt::Checked);
    tick("181", Qt::Checked);
    tick("708", Qt::Checked);
    tick("R21", Qt::Checked);
    // Ticking a group ticks its codes.
    QTreeWidgetItem *tools = w.rightItem(QStringLiteral("711"))->parent();
    tools->setCheckState(0, Qt::Checked);
    EXPECT_TRUE(w.rightsChanged());
    QTest::mouseClick(w.cmdSave, Qt::LeftButton);
    EXPECT_FALSE(w.rightsChanged());
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join(u'|').toStdString();

    EXPECT_EQ(count("select FGrant from t_Grant where FUserID=2 and FSubSystemID='101'"), 0);
    EXPECT_EQ(count("select count(*) from t_Grant where FUserID=2 and FSubSystemID='101'"), 1);
    EXPECT_EQ(count("select FGrant from t_Grant where FUserID=2 and FSubSystemID='R21'"), 1);
    EXPECT_EQ(count("select count(*) from t_Grant where FUserID=2 and FSubSystemID='725'"),
              1); // not ours: kept
    EXPECT_EQ(count("select count(*) from t_Grant where FUserID<>2"), 0);

    const shell::Permissions p(cnstr(), 2, false);
    EXPECT_EQ(p.moduleImages(), (std::array<bool, 5>{true, false, false, false, true}));
    EXPECT_EQ(p.moduleButtons(1),
              (std::array<bool, 9>{true, false, false, false, false, false, false, false, false}));
    EXPECT_EQ(p.moduleButtons(4),
              (std::array<bool, 9>{false, false, false, false, false, true, false, false, false}));
    EXPECT_EQ(p.moduleButtons(3), (std::array<bool, 9>{}));
    const shell::SystemMenuState m = p.systemMenu(2026, 12, 2026, 12);
    EXPECT_EQ(m.tools, (std::array<bool, 10>{true, true, true, true, true, true, true, true, true, true}));
    EXPECT_TRUE(m.mnuInit);
    // Reopened, the window shows what was saved.
    frmUserMan again(cnstr(), 1);
    ASSERT_TRUE(again.selectUser(2));
    EXPECT_EQ(again.tickedCodes(), w.tickedCodes());
}

TEST_P(UsersModuleTest, the_window_adds_copies_disables_and_asks_before_losing_ticks) {
    Grants::write(*conn, 3, {{QStringLiteral("391"), true}, {QStringLiteral("392"), true}});
    frmUserMan w(cnstr(), 1);
    w.show();
    EXPECT_EQ(w.selectedUser(), 1);
    EXPECT_FALSE(w.tvwRight->isEnabled()); // a manager has everything
    EXPECT_FALSE(w.cmdCopy->isEnabled());

    // Copy 李强's rights to 王丽, leave for another user, refuse to save: the ticks are gone.
    ASSERT_TRUE(w.selectUser(2));
    w.cboCopyFrom->setCurrentIndex(w.cboCopyFrom->findText(QStringLiteral("李强")));
    QTest::mouseClick(w.cmdCopy, Qt::LeftButton);
    EXPECT_EQ(w.tickedCodes(), (QSet<QString>{QStringLiteral("391"), QStringLiteral("392")}));
    dialogs.queueAnswer(ui::Answer::Cancel);
    w.selectUser(3);
    EXPECT_EQ(w.selectedUser(), 2); // cancel stays
    dialogs.queueAnswer(ui::Answer::No);
    w.selectUser(3);
    EXPECT_EQ(w.selectedUser(), 3);
    EXPECT_TRUE(Grants::granted(*conn, 2).isEmpty());
    // Same again, this time saved on the question.
    w.selectUser(2);
    QTest::mouseClick(w.cmdCopy, Qt::LeftButton);
    dialogs.queueAnswer(ui::Answer::Yes);
    w.selectUser(3);
    EXPECT_EQ(Grants::granted(*conn, 2), (QSet<QString>{QStringLiteral("391"), QStringLiteral("392")}));
    EXPECT_EQ(dialogs.entries().last().text, QStringLiteral("权限已修改，是否保存？"));

    // Removing a user who made bills offers to disable him instead.
    dialogs.clear();
    dialogs.queueAnswer(ui::Answer::Yes);
    QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
    EXPECT_EQ(dialogs.entries().first().text,
              QStringLiteral("用户“李强”做过单据，不能删除。是否把他停用（以后不能再登录）？"));
    EXPECT_EQ(count("select FDisabled from t_User where FUserID=3"), 1);
    EXPECT_EQ(w.grdUser->text(3, QStringLiteral("FDisabled")), QStringLiteral("是"));
    EXPECT_EQ(w.cmdDisable->text(), QStringLiteral("启用(&E)"));

    // A new user typed in: a short password is told and the window stays; then it is accepted.
    dialogs.clear();
    const auto fill = [](const char *name, const char *pw) {
        return [name, pw](QDialog &d) {
            auto &f = static_cast<frmUserEdit &>(d);
            f.txtName->setText(QString::fromUtf8(name)); // keyClicks types ASCII only
            f.txtPassword->clear();
            QTest::keyClicks(f.txtPassword, QString::fromUtf8(pw));
            f.txtConfirm->clear();
            QTest::keyClicks(f.txtConfirm, QString::fromUtf8(pw));
            f.txtDescription->setText(QStringLiteral("夜班"));
            return int(QDialog::Accepted);
        };
    };
    dialogs.queueWindow(fill("张敏", "123"));
    dialogs.queueWindow(fill("张敏", "zm12345"));
    QTest::mouseClick(w.cmdAdd, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("密码至少要有 6 个字符！")});
    EXPECT_EQ(count("select count(*) from t_User"), 4);
    EXPECT_TRUE(logsIn("张敏", "zm12345"));
    EXPECT_EQ(w.selectedUser(), 4);
    EXPECT_EQ(w.grdUser->text(4, QStringLiteral("FDescription")), QStringLiteral("夜班"));

    // The logged-in manager cannot demote himself from the window either.
    dialogs.clear();
    w.selectUser(1);
    QTest::mouseClick(w.cmdManager, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral("您自己")));
    EXPECT_EQ(count("select FManager from t_User where FUserID=1"), 1);

    // Through the component: managers only.
    modules::registerInstalledModules();
    auto c = components::createObject(QStringLiteral("nuvo_User.UserMan"));
    try {
        c->invoke(QStringLiteral("UserMan"), {cnstr(), 2});
        ADD_FAILURE() << "a clerk opened user management";
    } catch (const Error &e) {
        EXPECT_EQ(e.number(), Error::AccessDenied);
    }
    dialogs.queueWindow([](QDialog &d) {
        EXPECT_EQ(d.objectName(), QStringLiteral("frmUserMan"));
        return int(QDialog::Rejected);
    });
    c->invoke(QStringLiteral("UserMan"), {cnstr(), 1});
}

TEST_P(UsersModuleTest, an_older_set_gets_the_disabled_column_on_upgrade) {
    conn.reset();
    TestDatabase &d = db();
    db::Connection old(d.connectionString());
    old.execute(QStringLiteral("alter table t_User drop column FDisabled"));
    accountdb::writeProfile(old, QStringLiteral("Ver"), QStringLiteral("7.2"), QStringLiteral("数据库版本"));
    EXPECT_TRUE(accountdb::upgradeAccountSet(old));
    EXPECT_TRUE(accountdb::hasColumn(old, QStringLiteral("t_User"), QStringLiteral("FDisabled")));
    EXPECT_EQ(accountdb::readProfile(old, QStringLiteral("Ver")), accountdb::SchemaVersion);
    EXPECT_TRUE(logsIn("王丽", "secret1"));
    EXPECT_EQ(LoginService::users(d.connectionString()).size(), 3);
}

ZOSTORE_BACKENDS(UsersModuleTest);

} // namespace zostore::test
