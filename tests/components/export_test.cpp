// The spreadsheet export: merged header runs, numbers kept as numbers, whole files or none.
#include "components/export/ExportComponent.h"
#include "components/export/GridSheet.h"
#include "components/export/Sheet.h"
#include "db/Error.h"
#include "ui/Grid.h"
#include "ui/ScriptedDialogs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace zostore;
using namespace zostore::components::sheet;

namespace {

// One member of a zip file, through its central directory (the writer streams, so local sizes may be zero).
QByteArray zipMember(const QByteArray &zip, const QByteArray &name) {
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(zip.constData() + at); };
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(zip.constData() + at); };
    for (qsizetype at = zip.indexOf("PK\x01\x02"); at >= 0; at = zip.indexOf("PK\x01\x02", at + 4)) {
        if (zip.mid(at + 46, u16(at + 28)) != name)
            continue;
        const quint32 packed = u32(at + 20), size = u32(at + 24), local = u32(at + 42);
        const qsizetype data = local + 30 + u16(local + 26) + u16(local + 28);
        QByteArray out(size, Qt::Uninitialized);
        z_stream z{};
        inflateInit2(&z, -MAX_WBITS);
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zip.constData() + data));
        z.avail_in = packed;
        z.next_out = reinterpret_cast<Bytef *>(out.data());
        z.avail_out = size;
        inflate(&z, Z_FINISH);
        inflateEnd(&z);
        return out;
    }
    return {};
}

Sheet orderSheet() {
    Sheet s;
    s.title = QStringLiteral("超期未到货采购订单");
    s.header = {{"供应商代码", "订 货", "订 货", "未完成", "未完成", ""},
                {"供应商代码", "件数", "数量", "数量", "金额", ""}};
    s.rows = {{"001", "2", "30", "17", "1,234.50", "x"}, {"甲\"乙,丙", "", "-3", "0.5", "", ""}};
    s.numeric = {false, true, true, true, true, false};
    s.widthsTwips = {1500, 0, 0, 0, 2000, 0};
    return s;
}

TEST(SheetExport, header_runs_merge_across_and_agreeing_rows_merge_down) {
    const QList<HeaderSpan> spans = headerSpans(orderSheet().header);
    ASSERT_EQ(spans.size(), 3);
    EXPECT_EQ((QList<int>{spans[0].firstRow, spans[0].firstCol, spans[0].lastRow, spans[0].lastCol}),
              (QList<int>{0, 0, 1, 0}));
    EXPECT_EQ((QList<int>{spans[1].firstRow, spans[1].firstCol, spans[1].lastRow, spans[1].lastCol}),
              (QList<int>{0, 1, 0, 2}));
    EXPECT_EQ((QList<int>{spans[2].firstCol, spans[2].lastCol}), (QList<int>{3, 4}));
    EXPECT_TRUE(headerSpans({{"a", "a", "b"}}).isEmpty()); // one header row merges nothing

    double v = 0;
    int d = 0;
    bool g = false;
    EXPECT_TRUE(parseNumber(QStringLiteral("1,234.50"), v, d, g) && v == 1234.5 && d == 2 && g);
    EXPECT_TRUE(parseNumber(QStringLiteral("-3"), v, d, g) && v == -3 && d == 0 && !g);
    for (const char *text : {"001", "1,23", "12a", "", "1.2.3", "0x10"})
        EXPECT_FALSE(parseNumber(QString::fromLatin1(text), v, d, g)) << text;
}

TEST(SheetExport, files_hold_merges_numbers_and_chinese_and_a_failure_keeps_the_old_file) {
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("o.csv"));
    writeSheet(orderSheet(), csv);
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
              QByteArray("\xEF\xBB\xBF"
                         "供应商代码,订 货,订 货,未完成,未完成,\r\n供应商代码,件数,数量,数量,金额,\r\n"
                         "001,2,30,17,\"1,234.50\",x\r\n\"甲\"\"乙,丙\",,-3,0.5,,\r\n"));
    f.close();

    const QString xlsx = dir.filePath(QStringLiteral("o.xlsx"));
    writeSheet(orderSheet(), xlsx);
    QFile x(xlsx);
    ASSERT_TRUE(x.open(QIODevice::ReadOnly));
    const QByteArray zip = x.readAll();
    const QByteArray sheet = zipMember(zip, "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(sheet.contains("<mergeCell ref=\"A1:A2\"/>")) << sheet.left(600).constData();
    EXPECT_TRUE(sheet.contains("<mergeCell ref=\"B1:C1\"/>"));
    EXPECT_TRUE(sheet.contains("<mergeCell ref=\"D1:E1\"/>"));
    EXPECT_TRUE(sheet.contains("<c r=\"E3\" s=\""));
    EXPECT_TRUE(sheet.contains("<v>1234.5</v>"));
    EXPECT_TRUE(sheet.contains("<v>-3</v>"));
    EXPECT_TRUE(zipMember(zip, "xl/sharedStrings.xml").contains("甲\"乙,丙"));
    // "001" is a code: text, not the number 1.
    EXPECT_TRUE(zipMember(zip, "xl/sharedStrings.xml").contains("<t>001</t>"));
    EXPECT_TRUE(zipMember(zip, "xl/styles.xml").contains("formatCode=\"#,##0.00\""));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // no temporary left

    // A file stands where the folder should be: a clear message, and nothing else written.
    const QString blocked = dir.filePath(QStringLiteral("o.csv/x.xlsx"));
    try {
        writeSheet(orderSheet(), blocked);
        FAIL() << "wrote into a file";
    } catch (const Error &e) {
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("无法写入文件")))
            << e.description().toStdString();
    }
    EXPECT_THROW(writeSheet(orderSheet(), dir.filePath(QStringLiteral("o.csv/x.csv"))), Error);
    EXPECT_EQ(QFileInfo(csv).size(), f.size());
}

TEST(SheetExport, the_component_writes_what_the_grid_shows) {
    ui::ScriptedDialogs dialogs;
    ui::setDialogs(&dialogs);
    ui::Grid grid;
    grid.setCols(3);
    grid.setFixedRows(1);
    grid.setHeaders({QStringLiteral("代码"), QStringLiteral("隐藏"), QStringLiteral("数量")});
    grid.setColAlignment(2, Qt::AlignRight);
    grid.setData(1, 3, {QStringLiteral("007"), QStringLiteral("secret"), QStringLiteral("5")});
    grid.setColHidden(1, true);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("grid"));
    dialogs.queueFile(path);
    components::ExportComponent exp;
    EXPECT_TRUE(
        exp.invoke(QStringLiteral("DoExp"), {QVariant::fromValue<QObject *>(&grid), QStringLiteral("测试")})
            .toBool());
    EXPECT_EQ(exp.lastFile(), path + QStringLiteral(".xlsx"));
    const QByteArray zip = [&] {
        QFile f(exp.lastFile());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    EXPECT_FALSE(zipMember(zip, "xl/sharedStrings.xml").contains("secret"));
    EXPECT_TRUE(zipMember(zip, "xl/worksheets/sheet1.xml").contains("<v>5</v>"));
    EXPECT_TRUE(zipMember(zip, "xl/workbook.xml").contains("name=\"测试\""));
    EXPECT_TRUE(dialogs.messages().last().startsWith(QStringLiteral("数据已导出到：")));
    dialogs.queueFile(QString()); // cancelled
    EXPECT_FALSE(exp.DoExp(grid, QStringLiteral("测试")));
    ui::setDialogs(nullptr);
}

} // namespace
