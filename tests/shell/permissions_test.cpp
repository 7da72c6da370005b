// Module images, picture buttons and system tools by grant rows.
#include "ShellFixture.h"
#include "shell/Permissions.h"

using namespace zostore::shell;
using shelltest::ShellFixture;

namespace {

class PermissionsTest : public ShellFixture {
protected:
    Permissions as(int user) const { return Permissions(cnstr(), user, user == Admin); }
    static std::vector<int> shownButtons(const std::array<bool, ButtonSlots> &b) {
        std::vector<int> out;
        for (int i = 0; i < ButtonSlots; ++i)
            if (b[i])
                out.push_back(i + 1);
        return out;
    }
};

TEST_P(PermissionsTest, user_without_grants_sees_only_the_always_shown_functions) {
    const Permissions p = as(LiQiang);
    EXPECT_EQ(p.moduleImages(), (std::array<bool, 5>{false, false, false, false, true}));
    EXPECT_EQ(shownButtons(p.moduleButtons(5)), (std::vector<int>{1, 2}));
    EXPECT_EQ(shownButtons(p.moduleButtons(2)), (std::vector<int>{4, 7}));
    EXPECT_TRUE(shownButtons(p.moduleButtons(1)).empty());
    const SystemMenuState s = p.systemMenu(2013, 1, 2013, 1);
    for (bool t : s.tools)
        EXPECT_FALSE(t);
    EXPECT_FALSE(s.mnuInit);
}

TEST_P(PermissionsTest, manager_sees_every_designed_button_and_the_start_month_rule_still_applies) {
    const Permissions p = as(Admin);
    EXPECT_EQ(p.moduleImages(), (std::array<bool, 5>{true, true, true, true, true}));
    for (int m = 1; m <= 5; ++m)
        EXPECT_EQ(int(shownButtons(p.moduleButtons(m)).size()), ModuleButtonCount[m - 1]) << m;
    EXPECT_TRUE(p.systemMenu(2013, 1, 2013, 1).mnuInit);
    const SystemMenuState later = p.systemMenu(2013, 2, 2013, 1);
    EXPECT_FALSE(later.mnuInit);
    for (bool t : later.tools)
        EXPECT_TRUE(t);
}

TEST_P(PermissionsTest, one_granting_row_of_a_pair_is_enough_and_refusals_never_hide) {
    grant(WangLi, QStringLiteral("102"), 1);
    grant(WangLi, QStringLiteral("101"), 0);
    grant(WangLi, QStringLiteral("441"), 1);
    grant(WangLi, QStringLiteral("131"), QVariant()); // null grants nothing
    grant(WangLi, QStringLiteral("161"), 1);          // read but governs no button
    grant(WangLi, QStringLiteral("181"), 1);
    grant(WangLi, QStringLiteral("381"), 1);
    grant(WangLi, QStringLiteral("481"), 0);
    const Permissions p = as(WangLi);
    EXPECT_EQ(shownButtons(p.moduleButtons(1)), (std::vector<int>{1}));
    EXPECT_EQ(shownButtons(p.moduleButtons(4)), (std::vector<int>{6}));
    EXPECT_EQ(p.moduleImages(), (std::array<bool, 5>{true, false, true, false, true}));
}

TEST_P(PermissionsTest, system_tools_follow_their_codes_and_initialisation_needs_the_start_month) {
    grant(WangLi, QStringLiteral("708"));
    grant(WangLi, QStringLiteral("712"));
    grant(WangLi, QStringLiteral("717"));
    grant(WangLi, QStringLiteral("710")); // read, governs nothing here
    const Permissions p = as(WangLi);
    const SystemMenuState start = p.systemMenu(2013, 1, 2013, 1);
    EXPECT_EQ(start.tools,
              (std::array<bool, 10>{true, true, true, true, true, true, false, true, false, true}));
    EXPECT_TRUE(start.mnuInit);
    const SystemMenuState later = p.systemMenu(2014, 1, 2013, 1);
    EXPECT_EQ(later.tools, start.tools);
    EXPECT_FALSE(later.mnuInit);
}

TEST_P(PermissionsTest, module_codes_outside_their_module_show_nothing) {
    grant(WangLi, QStringLiteral("702"));
    grant(WangLi, QStringLiteral("910"));
    grant(WangLi, QStringLiteral("393"));
    const Permissions p = as(WangLi);
    EXPECT_EQ(shownButtons(p.moduleButtons(5)), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(shownButtons(p.moduleButtons(2)), (std::vector<int>{2, 4, 7}));
    EXPECT_EQ(shownButtons(p.moduleButtons(3)), (std::vector<int>{3}));
    EXPECT_TRUE(shownButtons(p.moduleButtons(4)).empty());
}

ZOSTORE_BACKENDS(PermissionsTest);

} // namespace
