// Report list by grants, the report menus' tools and separators, and the panel's placement.
#include "ShellFixture.h"
#include "shell/ReportMenu.h"

using namespace zostore::shell;
using shelltest::ShellFixture;

namespace {

QStringList names(const QList<ReportTool> &tools, const QString &band) {
    QStringList out;
    for (const ReportTool &t : tools)
        if (t.band == band)
            out << QStringLiteral("%1:%2").arg(t.number).arg(t.name);
    return out;
}

TEST(ReportTools, sections_get_separators_numbered_like_entries_and_the_section_carries_across_groups) {
    const QList<ReportRow> rows = {{1, 0, 3, "采购汇总"}, {1, 2, 4, "采购分析"}, {2, 0, 1, "a"},
                                   {2, 0, 2, "b"},        {2, 1, 5, "c"},        {2, 2, 9, "d"},
                                   {5, 0, 1, "pos"}};
    const auto tools = buildReportTools(rows);
    EXPECT_EQ(names(tools, "subMenuPurReport"),
              (QStringList{"100:PurReport_3", "101:PurReport_4sep", "102:PurReport_4"}));
    // group 1 ended in section 2, so sales starts with a separator
    EXPECT_EQ(
        names(tools, "subMenuSaleReport"),
        (QStringList{"100:SaleReport_1sep", "101:SaleReport_1", "102:SaleReport_2", "103:SaleReport_5sep",
                     "104:SaleReport_5", "105:SaleReport_9sep", "106:SaleReport_9"}));
    for (const ReportTool &t : tools)
        EXPECT_EQ(t.separator, t.name.endsWith("sep"));
    EXPECT_EQ(tools.size(), 10); // group 5 has no menu
}

TEST(ReportPanel, sections_stack_under_their_headers_and_overflow_is_left_off) {
    QList<ReportRow> rows = {
        {2, 0, 1, "a"}, {2, 0, 2, "b"}, {2, 1, 5, "c"}, {2, 7, 9, "d"}, {3, 0, 4, "other"}};
    const auto items = layoutReportPanel(rows, 2, 12000, 2300, 600);
    ASSERT_EQ(items.size(), 7);
    const double y0 = 2700;
    struct Expect {
        int section, index, left;
        double top;
        int report;
    } expected[] = {{0, -1, 12300, y0, 0},        {0, 0, 13200, y0, 1},        {0, 1, 13200, y0 + 350, 2},
                    {1, -1, 12300, y0 + 1100, 0}, {1, 0, 13200, y0 + 1100, 5}, {2, -1, 12300, y0 + 1850, 0},
                    {2, 0, 13200, y0 + 1850, 9}};
    for (int i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].section, expected[i].section) << i;
        EXPECT_EQ(items[i].index, expected[i].index) << i;
        EXPECT_EQ(items[i].left, expected[i].left) << i;
        EXPECT_DOUBLE_EQ(items[i].top, expected[i].top) << i;
        EXPECT_EQ(items[i].reportId, expected[i].report) << i;
    }
    rows.clear();
    for (int i = 1; i <= 20; ++i)
        rows.append({4, 0, i, QString::number(i)});
    EXPECT_EQ(layoutReportPanel(rows, 4, 0, 0, 600).size(), 1 + PanelLabels[0]);
}

class ReportListTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        const QList<ReportRow> rows = {{1, 0, 5, "进货汇总"},
                                       {2, 0, 1, "销售日报"},
                                       {2, 1, 12, "销售明细"},
                                       {2, 0, 21, "其他"},
                                       {3, 0, 1, "库存"}};
        for (const ReportRow &r : rows)
            m_conn->execute(
                "insert into ReportList (FGroupID, FType, FReportID, FReportName) values (?, ?, ?, ?)",
                {r.groupId, r.type, r.reportId, r.name});
    }
};

TEST_P(ReportListTest, a_user_sees_exactly_the_granted_reports_in_order) {
    grant(WangLi, "R21");
    grant(WangLi, "R212");
    grant(WangLi, "R15", 0);
    grant(WangLi, "R2", 1); // no report of that code
    const auto rows = loadReportList(cnstr(), WangLi, false);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].reportId, 1);
    EXPECT_EQ(rows[1].reportId, 12);
    EXPECT_EQ(rows[1].name, QStringLiteral("销售明细"));
    EXPECT_TRUE(loadReportList(cnstr(), LiQiang, false).isEmpty());
    const auto all = loadReportList(cnstr(), Admin, true);
    ASSERT_EQ(all.size(), 5);
    EXPECT_EQ(all[1].reportId, 1);
    EXPECT_EQ(all[2].reportId, 21); // section before number
    EXPECT_EQ(all[3].reportId, 12);
}

ZOSTORE_BACKENDS(ReportListTest);

} // namespace
