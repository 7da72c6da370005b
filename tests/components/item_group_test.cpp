// The item-group tree: nesting, broken parent links, selection kept over a reload, signals; the picker's
// group pane.
#include "AccountFixture.h"
#include "components/Builtins.h"
#include "components/Registry.h"
#include "components/items/ItemGroupTree.h"
#include "components/items/ItemPicker.h"

#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTreeView>

using namespace zostore;
using namespace zostore::components::items;

namespace {

class ItemGroupTreeTest : public AccountFixture {
protected:
    void addGroup(int id, const char *number, const char *name, int parent) {
        db().connect().execute(
            QStringLiteral("insert into t_ItemGroup(FItemID,FNumber,FName,FParentID) values(?,?,?,?)"),
            {id, QString::fromUtf8(number), QString::fromUtf8(name), parent});
    }
    static QString pathOf(const QModelIndex &idx) {
        return idx.parent().isValid() ? pathOf(idx.parent()) + QLatin1Char('/') + idx.data().toString()
                                      : idx.data().toString();
    }
};

TEST_P(ItemGroupTreeTest, nests_groups_under_the_root_and_keeps_broken_links_visible) {
    addGroup(1, "01", "食品", 0);
    addGroup(2, "0101", "饮料", 1);
    addGroup(3, "02", "日用品", 0);
    addGroup(4, "03", "孤儿组", 99); // parent missing
    addGroup(5, "04", "环A", 6);     // parents loop
    addGroup(6, "05", "环B", 5);

    ItemGroupTree tree;
    tree.load(cnstr());
    EXPECT_EQ(tree.groupCount(), 6);
    EXPECT_EQ(tree.selectedKey(), ItemGroupTree::RootKey);
    EXPECT_EQ(tree.selectedName(), QStringLiteral("全部商品"));

    ASSERT_TRUE(tree.selectKey(2));
    EXPECT_EQ(pathOf(tree.view()->currentIndex()), QStringLiteral("全部商品/食品/饮料"));
    for (int key : {4, 5, 6}) {
        ASSERT_TRUE(tree.selectKey(key));
        EXPECT_EQ(tree.view()->currentIndex().parent().data().toString(), QStringLiteral("全部商品")) << key;
    }
    EXPECT_FALSE(tree.selectKey(42));
}

TEST_P(ItemGroupTreeTest, reload_keeps_the_selection_silently_and_selecting_signals_key_and_name) {
    addGroup(1, "01", "食品", 0);
    addGroup(2, "02", "日用品", 0);
    ItemGroupTree tree;
    tree.load(cnstr());
    QSignalSpy selected(&tree, &ItemGroupTree::groupSelected);
    ASSERT_TRUE(tree.selectKey(2));
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.at(0).at(0).toInt(), 2);
    EXPECT_EQ(selected.at(0).at(1).toString(), QStringLiteral("日用品"));

    addGroup(3, "03", "文具", 0);
    tree.load(cnstr());
    EXPECT_EQ(selected.size(), 1);
    EXPECT_EQ(tree.selectedKey(), 2);
    EXPECT_EQ(tree.groupCount(), 3);

    db().connect().execute(QStringLiteral("delete from t_ItemGroup where FItemID=2"));
    tree.load(cnstr());
    EXPECT_EQ(tree.selectedKey(), ItemGroupTree::RootKey);

    QSignalSpy widths(&tree, &ItemGroupTree::widthChanged);
    tree.resize(180, 300);
    tree.show();
    tree.resize(240, 300);
    ASSERT_FALSE(widths.isEmpty());
    EXPECT_EQ(widths.last().at(0).toInt(), 240);
}

TEST_P(ItemGroupTreeTest, works_late_bound_by_its_prog_id) {
    addGroup(7, "07", "烟酒", 0);
    components::registerBuiltinComponents();
    auto c = components::createObject(QStringLiteral("VnItemGroup.atvItem"));
    c->invoke(QStringLiteral("load"), {cnstr()});
    EXPECT_TRUE(c->invoke(QStringLiteral("SelectKey"), {7}).toBool());
    EXPECT_EQ(c->property(QStringLiteral("SelectedKey")).toInt(), 7);
    EXPECT_EQ(c->property(QStringLiteral("SelectedName")).toString(), QStringLiteral("烟酒"));
}

TEST_P(ItemGroupTreeTest, picker_lists_the_group_chosen_in_its_tree_with_subgroups) {
    addGroup(1, "01", "食品", 0);
    addGroup(2, "0101", "饮料", 1);
    addGroup(3, "02", "日用品", 0);
    db().connect().execute(QStringLiteral("insert into t_ICItem(FItemID,FNumber,FName,FParentID,FDel) values"
                                          "(1,'A1','面包',1,0),(2,'A2','可乐',2,0),(3,'B1','牙刷',3,0),"
                                          "(4,'C1','无组',0,0),(5,'A3','已删',2,1)"));
    zostore::ui::DialogsScope scope(m_dialogs);
    ItemPicker picker;
    picker.showPicker(cnstr(), 1);
    ItemGroupTree *tree = picker.groupTree();
    ASSERT_TRUE(tree && tree->isVisible());
    EXPECT_TRUE(picker.isAncestorOf(tree));
    EXPECT_EQ(tree->groupCount(), 3);
    EXPECT_EQ(picker.listedCodes(), (QStringList{"A1", "A2", "B1", "C1"}));

    // Clicking a node in the tree, as a user does.
    const QModelIndexList food = tree->view()->model()->match(
        tree->view()->model()->index(0, 0), Qt::DisplayRole, QStringLiteral("食品"), 1, Qt::MatchRecursive);
    ASSERT_EQ(food.size(), 1);
    tree->view()->setCurrentIndex(food.first());
    EXPECT_EQ(picker.group(), 1);
    EXPECT_EQ(picker.listedCodes(), (QStringList{"A1", "A2"}));
    picker.search(QStringLiteral("可"));
    EXPECT_EQ(picker.listedCodes(), QStringList{"A2"});
    picker.search(QString());

    picker.setGroup(3);
    EXPECT_EQ(tree->selectedKey(), 3);
    EXPECT_EQ(picker.listedCodes(), QStringList{"B1"});

    // A group deleted while the picker was hidden lists everything again when it is shown.
    db().connect().execute(QStringLiteral("delete from t_ItemGroup where FItemID=3"));
    picker.hide();
    picker.showPicker(cnstr(), 1);
    EXPECT_EQ(picker.group(), ItemGroupTree::RootKey);
    EXPECT_EQ(picker.listedCodes().size(), 4);
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

ZOSTORE_BACKENDS(ItemGroupTreeTest);

} // namespace
