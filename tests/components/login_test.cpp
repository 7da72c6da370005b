// The login component driven through its windows.
#include "AccountFixture.h"
#include "accountdb/PasswordHash.h"
#include "components/LoginComponent.h"
#include "components/LoginDialogs.h"
#include "db/Error.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace zostore;
using namespace zostore::components;
using ui::DialogsScope;

namespace {

// Types a password for a user and presses the OK button, as the user would.
void tryPassword(frmLogin &dlg, const QString &user, const QString &password) {
    dlg.cmbUser->setCurrentIndex(dlg.cmbUser->findText(user));
    dlg.txtPassword->setText(password);
    QTest::mouseClick(dlg.cmdOK, Qt::LeftButton);
}

} // namespace

class LoginTest : public AccountFixture {
protected:
    QString hashOf(const QString &user) {
        return db().connect().scalar(QStringLiteral("select FPassword from t_User where FName=?"), {user}).toString();
    }
};

TEST_P(LoginTest, wrong_password_says_so_and_lets_the_user_try_again) {
    DialogsScope scope(m_dialogs);
    m_dialogs.queueWindow([](QDialog &d) {
        auto &dlg = static_cast<frmLogin &>(d);
        EXPECT_EQ(dlg.cmbAcct->currentText(), QStringLiteral("测试帐套"));
        EXPECT_EQ(dlg.cmbUser->count(), 3);
        EXPECT_TRUE(dlg.lblVersion->text().contains(QStringLiteral("7.1.20130101")));
        tryPassword(dlg, QStringLiteral("王丽"), QStringLiteral("wrong"));
        EXPECT_NE(dlg.result(), QDialog::Accepted);
        EXPECT_TRUE(dlg.txtPassword->text().isEmpty());
        tryPassword(dlg, QStringLiteral("王丽"), QStringLiteral("wl123456"));
        return dlg.result();
    });
    LoginComponent c;
    c.setCatalogue(cnstr());
    c.invoke(QStringLiteral("Login"), {QStringLiteral("7.1.20130101"), QStringLiteral("7.01.00001")});
    EXPECT_EQ(m_dialogs.messages(), QStringList{QStringLiteral("密码错误，请重新输入！")});
    ASSERT_TRUE(c.property(QStringLiteral("ok")).toBool());
    EXPECT_EQ(c.property(QStringLiteral("UserID")).toInt(), 2);
    EXPECT_EQ(c.property(QStringLiteral("UserName")).toString(), QStringLiteral("王丽"));
    EXPECT_EQ(c.property(QStringLiteral("AcctName")).toString(), QStringLiteral("测试帐套"));
    EXPECT_EQ(c.property(QStringLiteral("MasterPromptString")).toString(), cnstr());
    // The connection string reaches the same account set.
    db::Connection account(c.Cnstr());
    EXPECT_EQ(account.scalar(QStringLiteral("select FName from t_User where FUserID=3")).toString(),
              QStringLiteral("李强"));

    // The next login starts from the account set and user used last.
    m_dialogs.queueWindow([](QDialog &d) {
        auto &dlg = static_cast<frmLogin &>(d);
        EXPECT_EQ(dlg.cmbUser->currentText(), QStringLiteral("王丽"));
        return int(QDialog::Rejected);
    });
    LoginComponent again;
    again.setCatalogue(cnstr());
    again.Login(QStringLiteral("7.1.20130101"), QString());
    EXPECT_FALSE(again.OK());
}

TEST_P(LoginTest, giving_up_logs_in_no_one_and_writes_nothing) {
    DialogsScope scope(m_dialogs);
    m_dialogs.queueWindow([](QDialog &d) {
        tryPassword(static_cast<frmLogin &>(d), QStringLiteral("admin"), QStringLiteral("bad"));
        return int(QDialog::Rejected);
    });
    LoginComponent c;
    c.setCatalogue(cnstr());
    c.Login(QStringLiteral("7.1.20130101"), QString());
    EXPECT_FALSE(c.OK());
    EXPECT_EQ(c.UserID(), 0);
    EXPECT_TRUE(c.Cnstr().isEmpty());
    EXPECT_TRUE(QDir(m_settings.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

    // without a catalogue the login says once how to make one, and opens no window
    LoginComponent none;
    none.setCatalogue(QStringLiteral("Provider=SQLite;Data Source=") + m_settings.path() +
                      QStringLiteral("/none/catalog.db"));
    try {
        none.Login(QStringLiteral("7.1.20130101"), QString());
        ADD_FAILURE() << "login without a catalogue";
    } catch (const Error &e) {
        EXPECT_EQ(e.description().count(QStringLiteral("zostore-admin")), 1) << e.description().toStdString();
        EXPECT_FALSE(e.description().contains(QStringLiteral("账套"))) << e.description().toStdString();
    }
    EXPECT_FALSE(none.OK());
}

TEST_P(LoginTest, relogin_stays_in_the_account_set) {
    DialogsScope scope(m_dialogs);
    LoginComponent c;
    c.setCatalogue(cnstr());
    m_dialogs.queueWindow([](QDialog &d) {
        auto &dlg = static_cast<frmLogin &>(d);
        EXPECT_FALSE(dlg.cmbAcct->isEnabled());
        EXPECT_EQ(dlg.cmbAcct->currentText(), QStringLiteral("测试帐套"));
        tryPassword(dlg, QStringLiteral("李强"), QStringLiteral("lq123456"));
        return dlg.result();
    });
    c.invoke(QStringLiteral("ReLogin"), {cnstr()});
    ASSERT_TRUE(c.OK());
    EXPECT_EQ(c.UserID(), 3);
    EXPECT_EQ(c.Cnstr(), cnstr());
    EXPECT_EQ(c.AcctName(), QStringLiteral("测试帐套"));

    m_dialogs.queueWindow([](QDialog &) { return int(QDialog::Rejected); });
    c.ReLogin(cnstr());
    EXPECT_FALSE(c.OK());
}

TEST_P(LoginTest, a_new_password_follows_the_rules_and_replaces_the_old_hash) {
    DialogsScope scope(m_dialogs);
    const QString before = hashOf(QStringLiteral("王丽"));
    m_dialogs.queueWindow([](QDialog &d) {
        auto &dlg = static_cast<frmModifyPwd &>(d);
        const auto attempt = [&](const char *oldPwd, const char *newPwd, const char *confirm) {
            dlg.txtOldPwd->setText(QString::fromUtf8(oldPwd));
            dlg.txtNewPwd->setText(QString::fromUtf8(newPwd));
            dlg.txtConfirmPwd->setText(QString::fromUtf8(confirm));
            QTest::mouseClick(dlg.cmdOK, Qt::LeftButton);
        };
        attempt("wrong", "abcdef", "abcdef");
        attempt("wl123456", "abc12", "abc12");
        attempt("wl123456", "wl123456", "wl123456");
        attempt("wl123456", "abcdef", "abcdeg");
        EXPECT_NE(dlg.result(), QDialog::Accepted);
        attempt("wl123456", "新密码abc", "新密码abc");
        return dlg.result();
    });
    LoginComponent c;
    c.invoke(QStringLiteral("ModifyPwd"), {cnstr(), QStringLiteral("王丽")});
    EXPECT_EQ(m_dialogs.messages(),
              (QStringList{QStringLiteral("原密码不正确！"), QStringLiteral("新密码至少要有 6 个字符！"),
                           QStringLiteral("新密码不能与原密码相同！"), QStringLiteral("两次输入的新密码不一致！"),
                           QStringLiteral("密码已修改，下次登录请使用新密码。")}));
    const QString after = hashOf(QStringLiteral("王丽"));
    EXPECT_NE(after, before);
    EXPECT_FALSE(after.contains(QStringLiteral("新密码abc")));
    EXPECT_TRUE(accountdb::verifyPassword(after, QStringLiteral("新密码abc")));
    EXPECT_FALSE(accountdb::verifyPassword(after, QStringLiteral("wl123456")));
    EXPECT_EQ(hashOf(QStringLiteral("李强")).isEmpty(), false);
}

TEST_P(LoginTest, check_password_is_true_only_for_the_right_password) {
    DialogsScope scope(m_dialogs);
    const auto check = [&](const QString &password) {
        m_dialogs.queueWindow([password](QDialog &d) {
            auto &dlg = static_cast<frmCheckPwd &>(d);
            dlg.txtPassword->setText(password);
            QTest::mouseClick(dlg.cmdOK, Qt::LeftButton);
            return dlg.result();
        });
        LoginComponent c;
        return c.invoke(QStringLiteral("CheckPwd"), {cnstr(), 2}).toBool();
    };
    EXPECT_FALSE(check(QStringLiteral("admin123"))); // another user's password
    EXPECT_TRUE(check(QStringLiteral("wl123456")));
    EXPECT_EQ(m_dialogs.messages(), QStringList{QStringLiteral("密码错误！")});
    m_dialogs.queueWindow([](QDialog &) { return int(QDialog::Rejected); });
    EXPECT_FALSE(LoginComponent().CheckPwd(cnstr(), 2));
}

ZOSTORE_BACKENDS(LoginTest);
