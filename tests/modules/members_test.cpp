// Members: the rules on cards and movements, two workstations on one card, and the windows as a clerk uses
// them.
#include "accountdb/Schema.h"
#include "accountdb/SchemaUpgrade.h"
#include "accountdb/SystemProfile.h"
#include "components/Builtins.h"
#include "components/Registry.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "modules/InstalledModules.h"
#include "modules/members/CardLookup.h"
#include "modules/members/MemberMoves.h"
#include "modules/members/MemberStore.h"
#include "modules/members/frmChangeJf.h"
#include "modules/members/frmVipEdit.h"
#include "modules/members/frmVipMan.h"
#include "modules/members/frmVipReserve.h"
#include "ModuleTest.h"
#include "support/TestDatabase.h"
#include "ui/Grid.h"
#include "ui/ScriptedDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

namespace zostore::test {

using namespace modules::members;

namespace {

class MembersModuleTest : public ModuleTest {
protected:
    void seed() override {
        accountdb::writeProfile(*conn, QStringLiteral("CardLen"), QStringLiteral("6"));
        exec("insert into t_User(FUserID,FName,FManager,FDisabled) values(1,'店主',1,0),(2,'王丽',0,0)");
        exec("insert into VipJfToAmount(FJf,FAmount) values(100,5),(500,30)");
    }
    int addMember(const char *card, const char *owner, QDate expiry = {},
                  CardState state = CardState::InUse) {
        MemberInput in;
        in.cardNo = QString::fromUtf8(card);
        in.owner = QString::fromUtf8(owner);
        in.phone = QStringLiteral("13800001111");
        in.birthDate = QDate(1985, 3, 8);
        in.expiry = expiry;
        in.state = state;
        return MemberStore(*conn).add(in);
    }
};

} // namespace

TEST_P(MembersModuleTest, bad_input_is_refused_naming_the_field_and_saves_nothing) {
    MemberStore store(*conn);
    const int wang = addMember("880001", "王芳");
    auto input = [](const char *card, const char *owner, const char *phone = "") {
        MemberInput in;
        in.cardNo = QString::fromUtf8(card);
        in.owner = QString::fromUtf8(owner);
        in.phone = QString::fromUtf8(phone);
        return in;
    };
    EXPECT_REFUSED(store.add(input("  ", "李")), "会员卡号不能为空");
    EXPECT_REFUSED(store.add(input("88000", "李")), "会员卡号必须是 6 位");
    EXPECT_REFUSED(store.add(input("88-002", "李")), "会员卡号只能由数字和字母组成");
    EXPECT_REFUSED(store.add(input(" 880001 ", "李")), "会员卡号“880001”已经是会员“王芳”的卡");
    EXPECT_REFUSED(store.add(input("880002", " ")), "会员姓名不能为空");
    EXPECT_REFUSED(store.add(input("880002", QString(81, u'李').toUtf8().constData())), "会员姓名最长 80");
    EXPECT_REFUSED(store.add(input("880002", "李", "138x")), "电话只能包含");
    MemberInput born = input("880002", "李");
    born.birthDate = QDate::currentDate().addDays(1);
    EXPECT_REFUSED(store.add(born), "生日不能晚于今天");
    EXPECT_REFUSED(MemberStore::date(QStringLiteral("1985-13-01"), QStringLiteral("生日")),
                   "生日“1985-13-01”不是日期");
    EXPECT_EQ(MemberStore::date(QStringLiteral("1985-3-8"), QStringLiteral("生日")), QDate(1985, 3, 8));
    const int li = addMember("880002", "李强");
    EXPECT_REFUSED(store.update(li, input("880001", "李强")), "已经是会员“王芳”的卡");
    EXPECT_EQ(store.member(li).cardNo, QStringLiteral("880002"));

    MemberMoves moves(*conn, 2);
    EXPECT_REFUSED(MemberMoves::number(QStringLiteral("12元"), QStringLiteral("充值金额")),
                   "充值金额“12元”不是数字");
    EXPECT_REFUSED(MemberMoves::number(QString(), QStringLiteral("退款金额")), "请输入退款金额");
    EXPECT_REFUSED(moves.topUp(wang, 0, QStringLiteral("充值")), "充值金额必须大于 0");
    EXPECT_REFUSED(moves.topUp(wang, -5, QStringLiteral("充值")), "充值金额必须大于 0");
    EXPECT_REFUSED(moves.topUp(wang, 0.004, QStringLiteral("充值")), "充值金额必须大于 0");
    EXPECT_REFUSED(moves.topUp(wang, 10, QStringLiteral(" ")), "原因不能为空");
    EXPECT_REFUSED(moves.refund(wang, 1, QStringLiteral("退")),
                   "储值余额不足：会员“王芳”只有 0 元，不能退 1 元");
    EXPECT_REFUSED(moves.adjustPoints(wang, 0, QStringLiteral("调")), "调整积分不能为 0");
    EXPECT_REFUSED(moves.adjustPoints(wang, -1, QStringLiteral("调")),
                   "积分不足：会员“王芳”只有 0 分，不能扣除 1 分");
    moves.adjustPoints(wang, 150, QStringLiteral("开卡赠送"));
    EXPECT_REFUSED(moves.exchange(wang, 100, 2, QStringLiteral("换")),
                   "积分不足：会员“王芳”只有 150 分，不能兑换 200 分");
    EXPECT_REFUSED(moves.exchange(wang, 300, 1, QStringLiteral("换")), "没有 300 分这一档");
    EXPECT_REFUSED(moves.exchange(wang, 100, 0, QStringLiteral("换")), "兑换份数必须大于 0");

    const int old = addMember("880003", "赵", QDate::currentDate().addDays(-1));
    const int lost = addMember("880004", "钱", {}, CardState::Lost);
    const int off = addMember("880005", "孙", {}, CardState::Disabled);
    EXPECT_REFUSED(moves.topUp(old, 10, QStringLiteral("充值")), "会员卡“880003”已于");
    EXPECT_REFUSED(moves.adjustPoints(old, 10, QStringLiteral("调")), "过期，不能调整积分");
    EXPECT_REFUSED(moves.topUp(lost, 10, QStringLiteral("充值")), "会员卡“880004”已挂失，不能充值");
    EXPECT_REFUSED(moves.exchange(off, 100, 1, QStringLiteral("换")), "会员卡“880005”已停用，不能兑换积分");
    // A card that expires today is still good today.
    const int today = addMember("880006", "周", QDate::currentDate());
    moves.topUp(today, 1, QStringLiteral("充值"));

    EXPECT_EQ(scalar("select count(*) from VipMove"), 2);
    EXPECT_EQ(scalar("select FJf from Vip where FCardNo='880001'"), 150);
    EXPECT_EQ(scalar("select sum(FBalance) from Vip"), 1);
    EXPECT_EQ(scalar("select count(*) from Vip"), 6);
    exec("delete from VipJfToAmount");
    EXPECT_REFUSED(moves.exchange(wang, 100, 1, QStringLiteral("换")), "积分换金额表是空的");
}

TEST_P(MembersModuleTest, movements_keep_both_balances_and_the_history_says_who_and_why) {
    const int id = addMember("880001", "王芳");
    MemberMoves clerk(*conn, 2), owner(*conn, 1);
    clerk.topUp(id, 100.1, QStringLiteral("会员充值"));
    clerk.topUp(id, 0.2, QStringLiteral("补零头"));
    owner.refund(id, 30.05, QStringLiteral("退还部分储值"));
    owner.adjustPoints(id, 620, QStringLiteral("老会员补分"));
    const Move ex = clerk.exchange(id, 500, 1, QStringLiteral("积分兑换"));
    EXPECT_DOUBLE_EQ(ex.points, -500);
    EXPECT_DOUBLE_EQ(ex.amount, 30);
    EXPECT_DOUBLE_EQ(ex.pointsAfter, 120);
    EXPECT_DOUBLE_EQ(ex.balanceAfter, 100.25);
    // Drains to exactly zero, which is allowed; one cent more is not.
    clerk.refund(id, 100.25, QStringLiteral("销卡退款"));
    EXPECT_TRUE(refusal([&] {
                    clerk.refund(id, 0.01, QStringLiteral("退"));
                }).contains(QStringLiteral("储值余额不足")));

    const Member m = MemberStore(*conn).member(id);
    EXPECT_DOUBLE_EQ(m.points, 120);
    EXPECT_DOUBLE_EQ(m.balance, 0);
    const QList<Move> h = clerk.history(id);
    ASSERT_EQ(h.size(), 6);
    QStringList seen;
    for (const Move &mv : h)
        seen << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                    .arg(MemberMoves::typeName(mv.type), QString::number(mv.points),
                         QString::number(mv.amount), QString::number(mv.pointsAfter),
                         QString::number(mv.balanceAfter), mv.user, mv.reason);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("退款 0 -100.25 120 0 王丽 销卡退款"),
                                 QStringLiteral("积分兑换 -500 30 120 100.25 王丽 积分兑换"),
                                 QStringLiteral("积分调整 620 0 620 70.25 店主 老会员补分"),
                                 QStringLiteral("退款 0 -30.05 0 70.25 店主 退还部分储值"),
                                 QStringLiteral("充值 0 0.2 0 100.3 王丽 补零头"),
                                 QStringLiteral("充值 0 100.1 0 100.1 王丽 会员充值")}));
    EXPECT_EQ(h.first().date.date(), QDate::currentDate());
}

TEST_P(MembersModuleTest, a_member_with_movements_or_bills_is_kept_marked_and_leaves_the_birthday_strip) {
    MemberStore store(*conn);
    const int plain = addMember("880001", "王芳");
    const int moved = addMember("880002", "李强");
    const int billed = addMember("880003", "赵敏");
    MemberMoves(*conn, 1).topUp(moved, 5, QStringLiteral("充值"));
    exec("insert into ICStockBill(FInterID,FBillNo,FDate,FYear,FPeriod,FTranType,FVipID) "
         "values(1,'P1','2026-12-03 00:00:00',2026,12,99,3)");
    EXPECT_TRUE(store.remove(plain));
    EXPECT_FALSE(store.remove(moved));
    EXPECT_FALSE(store.remove(billed));
    EXPECT_EQ(scalar("select count(*) from Vip"), 2);
    EXPECT_EQ(scalar("select count(*) from Vip where FDel=1 and fbirthdate is null"), 2);
    EXPECT_TRUE(store.members().isEmpty());
    EXPECT_FALSE(store.findCard(QStringLiteral("880002")));
    EXPECT_TRUE(
        refusal([&] { addMember("880002", "新人"); }).contains(QStringLiteral("属于已删除的会员“李强”")));
    EXPECT_TRUE(refusal([&] {
                    MemberMoves(*conn, 1).topUp(moved, 5, QStringLiteral("充值"));
                }).contains(QStringLiteral("已删除")));
    // A removed card's number is free again only when nothing kept it.
    addMember("880001", "新人");
}

TEST_P(MembersModuleTest, two_workstations_on_one_card_both_count_and_never_overdraw) {
    const int id = addMember("880001", "王芳");
    conn.reset();
    constexpr int Each = 15;
    auto workstation = [&](int user, bool topUp) {
        db::Connection c(cnstr());
        MemberMoves moves(c, user);
        for (int i = 0; i < Each; ++i)
            if (topUp)
                moves.topUp(id, 2, QStringLiteral("充值"));
            else
                try {
                    moves.refund(id, 1, QStringLiteral("退款"));
                } catch (const Error &e) {
                    EXPECT_TRUE(e.description().contains(QStringLiteral("储值余额不足")))
                        << e.description().toStdString();
                }
    };
    std::thread a(workstation, 1, true), b(workstation, 2, true);
    a.join();
    b.join();
    conn.emplace(cnstr());
    EXPECT_DOUBLE_EQ(scalar("select FBalance from Vip"), 4 * Each);
    EXPECT_EQ(scalar("select count(*) from VipMove"), 2 * Each);
    // Refunds racing each other stop at zero; each that went through has its row.
    conn.reset();
    std::thread c(workstation, 1, false), d(workstation, 2, false), e(workstation, 1, false),
        f(workstation, 2, false), g(workstation, 1, false);
    for (std::thread *t : {&c, &d, &e, &f, &g})
        t->join();
    conn.emplace(cnstr());
    EXPECT_DOUBLE_EQ(scalar("select FBalance from Vip"), 0);
    EXPECT_EQ(scalar("select count(*) from VipMove where FType=2"), 4 * Each);
    EXPECT_DOUBLE_EQ(scalar("select min(FBalanceAfter) from VipMove"), 0);

    // Two workstations giving out the same new card: one member, one clear message.
    conn.reset();
    std::atomic<int> added{0};
    QStringList why;
    std::mutex whyLock;
    auto issue = [&](const char *owner) {
        db::Connection c2(cnstr());
        MemberInput in;
        in.cardNo = QStringLiteral("880009");
        in.owner = QString::fromUtf8(owner);
        try {
            MemberStore(c2).add(in);
            ++added;
        } catch (const Error &e) {
            std::lock_guard<std::mutex> l(whyLock);
            why << e.description();
        }
    };
    std::thread h(issue, "甲"), i(issue, "乙");
    h.join();
    i.join();
    EXPECT_EQ(added.load(), 1);
    ASSERT_EQ(why.size(), 1);
    EXPECT_TRUE(why.first().contains(QStringLiteral("会员卡号“880009”已经是会员")))
        << why.first().toStdString();
    conn.emplace(cnstr());
}

TEST_P(MembersModuleTest, an_older_set_gets_the_member_columns_and_movements_on_upgrade) {
    exec("insert into Vip(FVipID,FCardNo,FOwner,FJf) values(1,'880001','王芳',30)");
    exec("drop index ix_vip_card");
    exec("drop table VipMove");
    for (const char *c : {"FBalance", "FExpiryDate", "FState", "FDel"})
        conn->execute(QStringLiteral("alter table Vip drop column %1").arg(QLatin1String(c)));
    accountdb::writeProfile(*conn, QStringLiteral("Ver"), QStringLiteral("7.3"),
                            QStringLiteral("数据库版本"));
    EXPECT_TRUE(accountdb::upgradeAccountSet(*conn));
    MemberMoves(*conn, 1).topUp(1, 8, QStringLiteral("充值"));
    EXPECT_DOUBLE_EQ(scalar("select FBalance from Vip"), 8);
    EXPECT_NE(refusal([&] { exec("insert into Vip(FVipID,FCardNo,FOwner) values(2,'880001','重复')"); }),
              QStringLiteral("(nothing refused)"));
    EXPECT_EQ(scalar("select count(*) from Vip"), 1);
}

TEST_P(MembersModuleTest, a_clerk_finds_adds_tops_up_and_exchanges_with_the_keyboard) {
    addMember("880001", "王芳");
    addMember("660002", "李强");
    frmVipMan w(cnstr(), 2);
    w.show();
    EXPECT_EQ(w.shownCount(), 2);
    EXPECT_EQ(w.grdVip->textMatrix(1, 1), QStringLiteral("660002")); // card order
    w.txtFind->insert(QStringLiteral("王"));                         // typed through the input method
    EXPECT_EQ(w.shownCount(), 1);
    w.txtFind->clear();
    QTest::keyClicks(w.txtFind, QStringLiteral("1111"));
    EXPECT_EQ(w.shownCount(), 2);
    w.txtFind->clear();
    QTest::keyClicks(w.txtFind, QStringLiteral("8800"));
    EXPECT_EQ(w.shownCount(), 1);

    // Enter on the found row opens the form; a bad birth date is told and nothing is saved.
    dialogs.queueWindow([](QDialog &d) {
        auto &f = static_cast<frmVipEdit &>(d);
        EXPECT_EQ(f.txtOwner->text(), QStringLiteral("王芳"));
        f.txtBirthDate->setText(QStringLiteral("1985-02-30"));
        EXPECT_FALSE(f.save());
        f.txtBirthDate->setText(QStringLiteral("1986-04-01"));
        f.txtPhone->setText(QStringLiteral("139 0000 2222"));
        return f.save() ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
    QTest::keyClick(w.txtFind, Qt::Key_Return);
    QTest::keyClick(w.grdVip, Qt::Key_Return);
    QCoreApplication::processEvents();
    ASSERT_FALSE(dialogs.messages().isEmpty());
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral("生日“1985-02-30”不是日期")));
    EXPECT_EQ(conn->scalar(QStringLiteral("select FPhone from Vip where FCardNo='880001'")).toString(),
              QStringLiteral("139 0000 2222"));
    EXPECT_EQ(
        conn->scalar(QStringLiteral("select month(fbirthdate) from Vip where FCardNo='880001'")).toInt(), 4);

    // A new member from the list.
    dialogs.queueWindow([](QDialog &d) {
        auto &f = static_cast<frmVipEdit &>(d);
        QTest::keyClicks(f.txtCardNo, QStringLiteral("770003"));
        f.txtOwner->insert(QStringLiteral("赵敏"));
        QTest::keyClicks(f.txtExpiry, QStringLiteral("2099-12-31"));
        return f.save() ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
    w.txtFind->clear();
    w.cmdAdd->click();
    EXPECT_EQ(w.shownCount(), 3);
    EXPECT_EQ(w.selectedMember(),
              conn->scalar(QStringLiteral("select FVipID from Vip where FCardNo='770003'")).toInt());

    // Top-up: card, Enter, amount, Enter, reason kept, Enter saves; the window stays for the next card.
    frmVipReserve r(cnstr(), 2);
    r.show();
    QTest::keyClicks(r.card->txtCardNo, QStringLiteral("770003"));
    QTest::keyClick(r.card->txtCardNo, Qt::Key_Return);
    EXPECT_TRUE(r.card->lblMember->text().contains(QStringLiteral("赵敏")));
    QTest::keyClicks(r.txtAmount, QStringLiteral("abc"));
    QTest::keyClick(r.txtAmount, Qt::Key_Return);
    QTest::keyClick(r.txtReason, Qt::Key_Return);
    EXPECT_TRUE(dialogs.messages().last().contains(QStringLiteral("充值金额“abc”不是数字")));
    r.txtAmount->clear();
    QTest::keyClicks(r.txtAmount, QStringLiteral("200"));
    QTest::keyClick(r.txtAmount, Qt::Key_Return);
    QTest::keyClick(r.txtReason, Qt::Key_Return);
    EXPECT_TRUE(r.lblResult->text().contains(QStringLiteral("储值余额 200.00 元")));
    EXPECT_TRUE(r.txtAmount->text().isEmpty());
    r.optRefund->setChecked(true);
    EXPECT_EQ(r.txtReason->text(), QStringLiteral("退还储值"));
    QTest::keyClicks(r.txtAmount, QStringLiteral("250"));
    EXPECT_FALSE(r.save());
    EXPECT_TRUE(dialogs.messages().last().contains(QStringLiteral("储值余额不足")));
    // An unknown card names itself.
    r.card->txtCardNo->clear();
    QTest::keyClicks(r.card->txtCardNo, QStringLiteral("123456"));
    QTest::keyClick(r.card->txtCardNo, Qt::Key_Return);
    EXPECT_TRUE(dialogs.messages().last().contains(QStringLiteral("没有卡号为“123456”的会员")));
    EXPECT_FALSE(r.card->member());

    // Points: add, then exchange one 100-point step for 5 yuan on the card.
    frmChangeJf j(cnstr(), 2);
    j.show();
    QTest::keyClicks(j.card->txtCardNo, QStringLiteral("770003"));
    QTest::keyClick(j.card->txtCardNo, Qt::Key_Return);
    QTest::keyClicks(j.txtPoints, QStringLiteral("260"));
    QTest::keyClick(j.txtPoints, Qt::Key_Return);
    QTest::keyClick(j.txtReason, Qt::Key_Return);
    EXPECT_TRUE(j.lblResult->text().contains(QStringLiteral("积分余 260 分")))
        << j.lblResult->text().toStdString();
    j.optExchange->setChecked(true);
    EXPECT_EQ(j.cmbStep->count(), 2);
    j.txtCount->setText(QStringLiteral("2"));
    EXPECT_EQ(j.lblExchange->text(), QStringLiteral("扣 200 分，存入储值 10.00 元"));
    EXPECT_TRUE(j.save());
    EXPECT_DOUBLE_EQ(scalar("select FJf from Vip where FCardNo='770003'"), 60);
    EXPECT_DOUBLE_EQ(scalar("select FBalance from Vip where FCardNo='770003'"), 210);

    // The form shows the three movements, newest first.
    frmVipEdit f(cnstr(), 2, w.selectedMember());
    EXPECT_EQ(f.grdMove->rows() - f.grdMove->fixedRows(), 3);
    EXPECT_EQ(f.grdMove->textMatrix(1, 1), QStringLiteral("积分兑换"));
    EXPECT_EQ(f.grdMove->textMatrix(3, 6), QStringLiteral("王丽"));
    EXPECT_EQ(f.lblBalance->text(), QStringLiteral("210.00"));
}

TEST_P(MembersModuleTest, the_component_opens_each_window_for_a_user_who_may_log_in) {
    auto c = components::Registry::instance().create(QStringLiteral("nuvo_VipMan.VipMan"));
    QStringList opened;
    for (int i = 0; i < 3; ++i)
        dialogs.queueWindow([&](QDialog &d) {
            opened << d.objectName();
            return int(QDialog::Rejected);
        });
    c->invoke(QStringLiteral("vipman"), {cnstr(), 2});
    c->invoke(QStringLiteral("VipReserve"), {cnstr(), 2});
    c->invoke(QStringLiteral("changejf"), {cnstr(), 2});
    EXPECT_EQ(opened, (QStringList{QStringLiteral("frmVipMan"), QStringLiteral("frmVipReserve"),
                                   QStringLiteral("frmChangeJf")}));
    exec("update t_User set FDisabled=1 where FUserID=2");
    try {
        c->invoke(QStringLiteral("VipReserve"), {cnstr(), 2});
        ADD_FAILURE() << "a disabled user topped up";
    } catch (const Error &e) {
        EXPECT_EQ(e.number(), Error::AccessDenied);
    }
}

ZOSTORE_BACKENDS(MembersModuleTest);

} // namespace zostore::test
