// The scale's PLU file, byte for byte.
#include "counter/PluExport.h"
#include "db/Error.h"
#include "ui/Grid.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zostore;

namespace {

// Columns as the label list keys them; the price column is found by its caption only.
void fill(ui::Grid &g, const QStringList &captions, const QList<QStringList> &rows) {
    g.setHeaders(captions);
    const QStringList keys{QStringLiteral("FNumber"), QStringLiteral("FName"), QStringLiteral("FShopNumber"),
                           QStringLiteral("FPriceText")};
    for (int c = 0; c < keys.size(); ++c)
        g.setColKey(c, keys[c]);
    g.setRows(int(rows.size()) + 1);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            g.setTextMatrix(r + 1, c, rows[r][c]);
}

const QStringList Captions{QStringLiteral("商品编码"), QStringLiteral("商品名称"), QStringLiteral("店内码"),
                           QStringLiteral("零售价")};

} // namespace

TEST(PluExport, lines_are_gbk_crlf_and_stop_at_the_first_row_without_a_code) {
    ui::Grid g;
    fill(g, Captions,
         {{QStringLiteral("01"), QStringLiteral("苹果"), QStringLiteral("2000000000123"), QStringLiteral("3.50")},
          {QStringLiteral("02"), QStringLiteral("梨"), QStringLiteral("123"), QStringLiteral("2.00")},
          {QString(), QStringLiteral("空行"), QStringLiteral("999"), QStringLiteral("1.00")},
          {QStringLiteral("04"), QStringLiteral("不导出"), QStringLiteral("444"), QStringLiteral("4.00")}});
    const QByteArray expected = QByteArray("00123,\xc6\xbb\xb9\xfb,3.50,1,2200123,30,01,1,2\r\n"
                                           "123,\xc0\xe6,2.00,1,22123,30,01,1,2\r\n");
    EXPECT_EQ(counter::pluFileContent(g, QStringLiteral("22")), expected);
    // Without leading characters field 5 is the PLU number alone.
    EXPECT_TRUE(counter::pluFileContent(g, QString()).startsWith("00123,\xc6\xbb\xb9\xfb,3.50,1,00123,30,01,1,2\r\n"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plu.txt"));
    EXPECT_EQ(counter::writePluFile(path, g, QStringLiteral("22")), 2);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), expected);
}

TEST(PluExport, without_a_retail_price_header_column_0_is_the_price_and_unencodable_names_write_nothing) {
    ui::Grid g;
    QStringList captions = Captions;
    captions[3] = QStringLiteral("会员价");
    fill(g, captions, {{QStringLiteral("07"), QStringLiteral("梨"), QStringLiteral("55"), QStringLiteral("9.90")}});
    EXPECT_EQ(counter::pluFileContent(g, QStringLiteral("22")), QByteArray("55,\xc0\xe6,07,1,2255,30,01,1,2\r\n"));

    g.setTextMatrix(1, 1, QStringLiteral("梨😀"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plu.txt"));
    try {
        counter::writePluFile(path, g, QStringLiteral("22"));
        ADD_FAILURE() << "a name outside GBK was written";
    } catch (const Error &e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("梨😀"))) << e.description().toStdString();
    }
    EXPECT_FALSE(QFile::exists(path));
}
