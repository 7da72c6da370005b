// The grid: texts by row and column, fixed rows as headers, keys, colours, edit hooks, bulk loads.
#include "db/Connection.h"
#include "support/TestDatabase.h"
#include "ui/Grid.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace zostore;
using ui::Grid;

TEST(Grid, fixed_rows_are_headers_and_cells_address_the_whole_matrix) {
    Grid g;
    g.setRows(4);
    g.setCols(3);
    g.setFixedRows(1);
    g.setHeaders({QStringLiteral("编号"), QStringLiteral("名称"), QStringLiteral("数量")});
    g.setColKey(1, QStringLiteral("FName"));
    g.setTextMatrix(1, 1, QStringLiteral("苹果"));
    g.setText(3, QStringLiteral("fname"), QStringLiteral("香蕉"));

    EXPECT_EQ(g.model()->rowCount(), 3);
    EXPECT_EQ(g.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("名称"));
    EXPECT_EQ(g.model()->index(0, 1).data().toString(), QStringLiteral("苹果"));
    EXPECT_EQ(g.textMatrix(3, 1), QStringLiteral("香蕉"));
    EXPECT_EQ(g.colIndex(QStringLiteral("FNAME")), 1);
    EXPECT_EQ(g.colIndex(QStringLiteral("nothing")), -1);
    EXPECT_EQ(g.textMatrix(9, 9), QString());

    // Growing keeps what is there; clear keeps the header.
    g.setCols(4);
    EXPECT_EQ(g.textMatrix(1, 1), QStringLiteral("苹果"));
    // Rows added or taken off the end keep the current cell and selection; colours leave with their rows.
    g.setCurrentIndex(g.model()->index(1, 1));
    g.setRows(14);
    EXPECT_EQ(g.currentGridRow(), 2);
    EXPECT_TRUE(g.selectionModel()->isSelected(g.model()->index(1, 1)));
    g.setCellBackColor(13, 0, QColor(255, 0, 0));
    g.setRows(5);
    g.setRows(14);
    EXPECT_EQ(g.currentGridRow(), 2);
    EXPECT_FALSE(g.cellBackColor(13, 0).isValid());
    g.clear();
    EXPECT_EQ(g.rows(), 1);
    EXPECT_EQ(g.textMatrix(0, 2), QStringLiteral("数量"));

    // Hidden rows and columns of the birthday strip kind, without fixed rows.
    Grid strip;
    strip.setRows(6);
    strip.setCols(4);
    for (int r = 3; r < 6; ++r)
        strip.setGridRowHidden(r, true);
    strip.setCellForeColor(1, 2, QColor(255, 0, 0));
    EXPECT_TRUE(strip.gridRowHidden(4));
    EXPECT_FALSE(strip.gridRowHidden(2));
    EXPECT_EQ(strip.model()->index(1, 2).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(255, 0, 0));
    EXPECT_FALSE(strip.model()->index(1, 1).data(Qt::ForegroundRole).isValid());
    EXPECT_TRUE(strip.horizontalHeader()->isHidden());
}

TEST(Grid, edits_pass_the_before_hook_and_report_after) {
    Grid g;
    g.setRows(3);
    g.setCols(2);
    g.setFixedRows(1);
    g.setColEditable(1, true);
    g.setBeforeEdit([](int row, int) { return row != 2; });
    QAbstractItemModel *m = g.model();
    EXPECT_FALSE(m->flags(m->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(m->flags(m->index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(m->flags(m->index(1, 1)) & Qt::ItemIsEditable); // grid row 2 refused by the hook

    QSignalSpy after(&g, &Grid::afterEdit);
    // What the view's editor commits.
    ASSERT_TRUE(m->setData(m->index(0, 1), QStringLiteral("12"), Qt::EditRole));
    ASSERT_TRUE(m->setData(m->index(0, 1), QStringLiteral("12"), Qt::EditRole)); // unchanged: no report
    EXPECT_EQ(g.textMatrix(1, 1), QStringLiteral("12"));
    ASSERT_EQ(after.size(), 1);
    EXPECT_EQ(after[0][0].toInt(), 1);
    EXPECT_EQ(after[0][1].toInt(), 1);
}

TEST(Grid, a_hundred_thousand_rows_load_whole_and_scroll_to_the_end) {
    Grid g;
    g.setCols(12);
    g.setFixedRows(1);
    const int rows = 100000;
    QVector<QString> cells;
    cells.reserve(rows * 12);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 12; ++c)
            cells.append(QString::number(r * 12 + c));
    g.setData(rows, 12, std::move(cells));
    g.resize(800, 600);
    g.show();
    g.scrollToBottom();
    EXPECT_EQ(g.rows(), rows + 1);
    EXPECT_EQ(g.textMatrix(rows, 11), QString::number((rows - 1) * 12 + 11));
    EXPECT_EQ(g.verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    EXPECT_EQ(g.rowAt(g.viewport()->height() - 2), rows - 1);
}

class GridRecordsetTest : public test::BackendTest {};

TEST_P(GridRecordsetTest, a_recordset_gives_keys_header_and_rows) {
    db::Connection c = db().connect();
    c.execute(QStringLiteral("create table t_X (FItemID integer, FName varchar(20), FQty numeric(18,2))"));
    c.execute(QStringLiteral("insert into t_X values (1, '甲', 1.5), (2, null, 3)"));
    db::Recordset rs = c.open(QStringLiteral("select FItemID, FName, FQty from t_X order by FItemID"));
    Grid g;
    g.loadRecordset(rs);
    EXPECT_EQ(g.rows(), 3);
    EXPECT_EQ(g.fixedRows(), 1);
    EXPECT_EQ(g.colIndex(QStringLiteral("fqty")), 2);
    EXPECT_EQ(g.text(1, QStringLiteral("FName")), QStringLiteral("甲"));
    EXPECT_EQ(g.text(2, QStringLiteral("FName")), QString());
    EXPECT_EQ(g.text(2, QStringLiteral("FQty")).toDouble(), 3.0);
}

ZOSTORE_BACKENDS(GridRecordsetTest);
