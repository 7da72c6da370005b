// Birthday strip: days ahead across month and year ends, marking by birthday bills, placement.
#include "ShellFixture.h"
#include "shell/Birthdays.h"

using namespace zostore::shell;
using shelltest::ShellFixture;

namespace {

class BirthdayTest : public ShellFixture {
protected:
    void member(int id, const QString &owner, const QDate &birth) {
        m_conn->execute("insert into Vip (FVipID, FOwner, FPhone, fbirthdate) values (?, ?, ?, ?)",
                        {id, owner, QStringLiteral("1390000%1").arg(id, 4, 10, QLatin1Char('0')), birth});
    }
    void bill(int id, int vip, const QDate &date, const QString &remark) {
        m_conn->execute("insert into ICStockBill (FInterID, FBillNo, FDate, FTranType, FVipID, FRemark) "
                        "values (?, ?, ?, 22, ?, ?)",
                        {id, QStringLiteral("XS%1").arg(id), date, vip, remark});
    }
    static QStringList owners(const QList<BirthdayEntry> &entries) {
        QStringList out;
        for (const auto &e : entries)
            out << e.text.section(QLatin1Char(' '), 2, 2) + (e.marked ? QStringLiteral("*") : QString());
        return out;
    }
};

TEST_P(BirthdayTest, the_days_ahead_run_across_the_month_and_the_year_end) {
    member(1, "甲", QDate(1980, 12, 30));
    member(2, "乙", QDate(1975, 12, 31));
    member(3, "丙", QDate(1990, 1, 1));
    member(4, "丁", QDate(1991, 1, 3));   // one day too far
    member(5, "戊", QDate(1985, 12, 29)); // yesterday
    const auto entries = loadBirthdays(cnstr(), 4, QDate(2012, 12, 30));
    EXPECT_EQ(owners(entries), (QStringList{"甲", "乙", "丙"}));
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].text, QStringLiteral("1.  甲 13900000001  12月30日"));
    EXPECT_EQ(entries[2].text, QStringLiteral("3.  丙 13900000003  1月1日"));
    EXPECT_EQ(entries[2].vipId, QStringLiteral("3"));

    member(6, "己", QDate(2000, 2, 29));
    member(7, "庚", QDate(2001, 3, 1));
    EXPECT_EQ(owners(loadBirthdays(cnstr(), 3, QDate(2013, 2, 27))),
              (QStringList{"庚"})); // 2013 has no 29 February
    EXPECT_TRUE(loadBirthdays(cnstr(), 0, QDate(2012, 12, 30)).isEmpty());
}

TEST_P(BirthdayTest, birthday_bills_in_the_window_mark_the_member_and_each_bill_lists_it_again) {
    const QDate today(2013, 5, 10);
    member(1, "甲", QDate(1980, 5, 10));
    member(2, "乙", QDate(1980, 5, 11));
    member(3, "丙", QDate(1980, 5, 12));
    bill(1, 1, today.addDays(-7), "会员生日优惠"); // first day of the window
    bill(2, 1, today, "会员生日优惠");
    bill(3, 2, today.addDays(-8), "会员生日优惠"); // before the window
    bill(4, 3, today, "生日");                     // another remark
    EXPECT_EQ(owners(loadBirthdays(cnstr(), 7, today)), (QStringList{"甲*", "甲*", "乙", "丙"}));
}

TEST_P(BirthdayTest, entries_fill_three_rows_then_move_to_the_next_column) {
    const QDate today(2013, 5, 10);
    for (int i = 1; i <= 7; ++i)
        member(i, QStringLiteral("会员%1").arg(i), QDate(1980, 5, 10));
    const auto entries = loadBirthdays(cnstr(), 1, today);
    ASSERT_EQ(entries.size(), 7);
    const int rows[] = {0, 1, 2, 0, 1, 2, 0}, cols[] = {0, 0, 0, 1, 1, 1, 2};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(entries[i].row, rows[i]) << i;
        EXPECT_EQ(entries[i].column, cols[i]) << i;
    }
}

ZOSTORE_BACKENDS(BirthdayTest);

} // namespace
