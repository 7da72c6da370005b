// Label formats, barcodes read back from the pixels, sheet layout and label output.
#include "AccountFixture.h"
#include "components/labels/Barcode.h"
#include "components/labels/LabelFormatStore.h"
#include "components/labels/LabelPrintComponent.h"
#include "components/labels/LabelRenderer.h"
#include "components/labels/LabelSheet.h"
#include "db/Error.h"
#include "db/Recordset.h"

#include <QDialog>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

using namespace zostore;
using namespace zostore::components::labels;

namespace {

// Run lengths of one pixel row, as (isBar, width) pairs.
QList<QPair<bool, int>> runsOf(const QImage &img, int y) {
    QList<QPair<bool, int>> runs;
    for (int x = 0; x < img.width(); ++x) {
        const bool bar = qGray(img.pixel(x, y)) < 128;
        if (!runs.isEmpty() && runs.last().first == bar)
            ++runs.last().second;
        else
            runs.append({bar, 1});
    }
    return runs;
}

// Reads an EAN-13 symbol from bar widths alone, independently of the encoder.
QString decodeEan13(const QImage &img, int y) {
    static const char *const lWidths[] = {"3211", "2221", "2122", "1411", "1132", "1231", "1114", "1312", "1213", "3112"};
    static const char *const parity[] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                         "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};
    auto runs = runsOf(img, y);
    while (!runs.isEmpty() && !runs.first().first)
        runs.removeFirst();
    if (runs.size() < 59)
        return QStringLiteral("too few bars");
    int pos = 3; // after the start guard
    auto digit = [&](bool left, char *par) -> int {
        double sum = 0;
        for (int i = 0; i < 4; ++i)
            sum += runs.at(pos + i).second;
        QString w;
        for (int i = 0; i < 4; ++i)
            w += QString::number(qRound(runs.at(pos + i).second * 7.0 / sum));
        pos += 4;
        for (int d = 0; d < 10; ++d) {
            const QString l = QString::fromLatin1(lWidths[d]);
            if (w == l) {
                *par = 'L';
                return d;
            }
            QString g = l;
            std::reverse(g.begin(), g.end());
            if (left && w == g) {
                *par = 'G';
                return d;
            }
        }
        return -1;
    };
    QString left, pattern, right;
    for (int i = 0; i < 6; ++i) {
        char p = '?';
        const int d = digit(true, &p);
        left += d < 0 ? u'?' : QChar(u'0' + d);
        pattern += QLatin1Char(p);
    }
    pos += 5; // middle guard
    for (int i = 0; i < 6; ++i) {
        char p = '?';
        const int d = digit(false, &p);
        right += d < 0 ? u'?' : QChar(u'0' + d);
    }
    for (int d = 0; d < 10; ++d)
        if (pattern == QLatin1String(parity[d]))
            return QString::number(d) + left + right;
    return QStringLiteral("?") + left + right;
}

LabelFormat priceLabel() {
    LabelFormat f;
    f.name = QStringLiteral("价签'测试");
    f.width = 60;
    f.height = 40;
    f.columns = 3;
    LabelElement name;
    name.kind = LabelElement::Kind::Field;
    name.field = QStringLiteral("FName");
    name.rect = QRectF(2, 2, 56, 8);
    LabelElement price;
    price.kind = LabelElement::Kind::Price;
    price.field = QStringLiteral("FPriceText");
    price.text = QStringLiteral("￥");
    price.rect = QRectF(30, 10, 28, 8);
    price.bold = true;
    LabelElement code;
    code.kind = LabelElement::Kind::Barcode;
    code.field = QStringLiteral("FBarCode");
    code.rect = QRectF(5, 19, 50, 20);
    LabelElement box;
    box.kind = LabelElement::Kind::Box;
    box.rect = QRectF(0, 0, 60, 40);
    f.elements = {name, price, code, box};
    return f;
}

QImage whiteImage(QSize size) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

int pdfPages(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray pdf = f.readAll();
    return static_cast<int>(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

} // namespace

TEST(Barcodes, drawn_bars_read_back_as_the_digits_and_bad_values_are_refused) {
    // The check digit is computed when left out and verified when given.
    EXPECT_EQ(eanCheckDigit(QStringLiteral("690123456789")), 2);
    EXPECT_EQ(eanCheckDigit(QStringLiteral("400638133393")), 1);
    EXPECT_EQ(eanCheckDigit(QStringLiteral("9638507")), 4);
    for (const QString &value : {QStringLiteral("6901234567892"), QStringLiteral("400638133393")}) {
        const BarcodeDrawing d = encodeBarcode(Symbology::Ean13, value, true);
        const int scale = 4;
        QImage img = whiteImage((d.size * scale).toSize());
        QPainter p(&img);
        paintBarcode(p, QRectF(QPointF(0, 0), d.size * scale), d);
        p.end();
        const QString expected = value.size() == 13 ? value : value + QString::number(eanCheckDigit(value));
        EXPECT_EQ(decodeEan13(img, img.height() / 4), expected);
        ASSERT_FALSE(d.texts.isEmpty());
        EXPECT_TRUE(d.texts.first().text.startsWith(expected.left(1)));
    }
    EXPECT_EQ(encodeBarcode(Symbology::Ean8, QStringLiteral("96385074"), false).texts.size(), 0);
    EXPECT_GT(encodeBarcode(Symbology::Code128, QStringLiteral("AB-12'%_"), true).bars.size(), 10);

    auto refusal = [](Symbology s, const QString &v) {
        try {
            encodeBarcode(s, v, true);
        } catch (const Error &e) {
            return e.description();
        }
        return QString();
    };
    EXPECT_EQ(refusal(Symbology::Ean13, QStringLiteral("6901234567891")), QStringLiteral("条码“6901234567891”的校验位不对，应为 2。"));
    EXPECT_TRUE(refusal(Symbology::Ean13, QStringLiteral("69012A")).contains(QStringLiteral("需要 12 位或 13 位数字")));
    EXPECT_TRUE(refusal(Symbology::Ean8, QStringLiteral("123")).contains(QStringLiteral("EAN-8")));
    EXPECT_TRUE(refusal(Symbology::Code128, QStringLiteral("条码")).contains(QStringLiteral("不能表示的字符“条”")));
    const QString longMessage = refusal(Symbology::Ean13, QString(100000, u'9'));
    EXPECT_LT(longMessage.size(), 200);
}

TEST(LabelFormats, layout_text_round_trips_and_impossible_formats_are_refused) {
    const LabelFormat f = priceLabel();
    const LabelFormat back = LabelFormat::fromLayoutText(f.name, f.toLayoutText());
    EXPECT_EQ(back.toLayoutText(), f.toLayoutText());
    ASSERT_EQ(back.elements.size(), 4);
    EXPECT_EQ(back.elements.at(1).text, QStringLiteral("￥"));
    EXPECT_TRUE(back.elements.at(1).bold);
    EXPECT_EQ(back.elements.at(2).symbology, Symbology::Ean13);
    EXPECT_EQ(back.columns, 3);
    EXPECT_NO_THROW(f.validate());

    EXPECT_THROW(LabelFormat::fromLayoutText(QStringLiteral("坏"), QStringLiteral("宽=60;高=40")), Error);
    auto broken = [&](auto change) {
        LabelFormat g = priceLabel();
        change(g);
        try {
            g.validate();
        } catch (const Error &e) {
            return e.description();
        }
        return QString();
    };
    EXPECT_TRUE(broken([](LabelFormat &g) { g.width = 5; }).contains(QStringLiteral("10 到 300")));
    EXPECT_TRUE(broken([](LabelFormat &g) { g.columns = 0; }).contains(QStringLiteral("每行标签数")));
    EXPECT_TRUE(broken([](LabelFormat &g) { g.elements[0].rect.moveLeft(50); }).contains(QStringLiteral("第 1 个项目超出")));
    EXPECT_TRUE(broken([](LabelFormat &g) { g.elements[2].field = QStringLiteral("FPurPrice"); }).contains(QStringLiteral("FPurPrice")));
    EXPECT_TRUE(broken([](LabelFormat &g) { g.name = QStringLiteral("  "); }).contains(QStringLiteral("名称")));
    // Level and upright lines are accepted while they stay on the label.
    auto line = [](QRectF r) {
        return [r](LabelFormat &g) {
            LabelElement e;
            e.kind = LabelElement::Kind::Line;
            e.rect = r;
            g.elements.append(e);
        };
    };
    EXPECT_EQ(broken(line(QRectF(3, 15, 54, 0))), QString());
    EXPECT_EQ(broken(line(QRectF(30, 2, 0, 30))), QString());
    EXPECT_TRUE(broken(line(QRectF(3, 15, 70, 0))).contains(QStringLiteral("第 5 个项目超出")));
}

TEST(LabelSheets, labels_fall_on_their_rows_and_pages_and_a_row_too_wide_is_refused) {
    const LabelFormat f = priceLabel(); // 60 x 40, gaps 2, margins 5
    const LabelSheet sheet(f, QSizeF(210, 297), 3, QPointF(1.5, -0.5));
    EXPECT_EQ(sheet.rowsPerPage(), 7); // 5 + 7*40 + 6*2 = 297: the seventh row just fits
    const Placement first = sheet.place({0, 0, {}});
    EXPECT_EQ(first.page, 0);
    EXPECT_DOUBLE_EQ(first.topLeft.x(), 6.5);
    EXPECT_DOUBLE_EQ(first.topLeft.y(), 4.5);
    const Placement later = sheet.place({8, 2, {}});
    EXPECT_EQ(later.page, 1);
    EXPECT_DOUBLE_EQ(later.topLeft.x(), 1.5 + 5 + 2 * 62);
    EXPECT_DOUBLE_EQ(later.topLeft.y(), -0.5 + 5 + 1 * 42);
    EXPECT_EQ(sheet.pageCount({{0, 0, {}}, {5, 2, {}}, {14, 0, {}}}), 3);
    EXPECT_EQ(columnsOf({{0, 0, {}}, {0, 3, {}}}, f), 4);
    EXPECT_EQ(columnsOf({}, f), 3);
    try {
        LabelSheet(f, QSizeF(210, 297), 4);
        ADD_FAILURE() << "four 60 mm labels fit on 210 mm";
    } catch (const Error &e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("每行 4 张"))) << e.description().toStdString();
    }
    EXPECT_THROW(LabelSheet(f, QSizeF(70, 30), 1), Error);
}

TEST(LabelRendering, a_rendered_label_carries_a_readable_barcode_and_a_bad_one_is_reported) {
    LabelRenderer r(priceLabel());
    const double pxPerMm = 12;
    QImage img = whiteImage(QSize(60 * 12, 40 * 12));
    QPainter p(&img);
    r.paint(p, QPointF(0, 0), pxPerMm,
            {{QStringLiteral("FName"), QStringLiteral("可口可乐 330ml")},
             {QStringLiteral("FPriceText"), QStringLiteral("3.50")},
             {QStringLiteral("FBarCode"), QStringLiteral("6901234567892")}});
    r.paint(p, QPointF(0, 0), pxPerMm, {{QStringLiteral("FBarCode"), QStringLiteral("6901234567892")}});
    p.end();
    // Read inside the barcode's own box, clear of the label's border.
    const QImage symbol = img.copy(QRect(int(5 * pxPerMm) + 2, 0, int(50 * pxPerMm) - 4, img.height()));
    EXPECT_EQ(decodeEan13(symbol, static_cast<int>(25 * pxPerMm)), QStringLiteral("6901234567892"));
    EXPECT_TRUE(r.problems().isEmpty());

    QImage bad = whiteImage(QSize(60 * 12, 40 * 12));
    QPainter q(&bad);
    r.paint(q, QPointF(0, 0), pxPerMm, {{QStringLiteral("FBarCode"), QStringLiteral("ABC")}});
    r.paint(q, QPointF(0, 0), pxPerMm, {{QStringLiteral("FBarCode"), QStringLiteral("ABC")}});
    q.end();
    EXPECT_EQ(r.problems().size(), 1); // reported once per value
    EXPECT_EQ(bad.pixelColor(static_cast<int>(5 * pxPerMm) + 1, static_cast<int>(19 * pxPerMm) + 1).red(), 255);
}

class LabelStoreTest : public AccountFixture {};

TEST_P(LabelStoreTest, formats_are_saved_renamed_selected_and_printed_to_pdf) {
    db::Connection c = db().connect();
    LabelFormatStore store(c);
    LabelFormat f = priceLabel();
    store.save(f, {});
    LabelFormat shelf = priceLabel();
    shelf.name = QStringLiteral("货架签");
    shelf.elements.removeAt(2);
    store.save(shelf, {});
    c.execute(QStringLiteral("insert into TDBill(FTDBillName,FSelected,FTranType,FContent) values('采购单',1,12,'')"));

    // A rename onto another format is refused and changes nothing.
    LabelFormat clash = shelf;
    clash.name = f.name;
    EXPECT_THROW(store.save(clash, shelf.name), Error);
    EXPECT_THROW(store.save(f, {}), Error);
    LabelFormat renamed = shelf;
    renamed.name = QStringLiteral("货架签（新）");
    renamed.width = 70;
    store.save(renamed, shelf.name);
    EXPECT_FALSE(store.exists(shelf.name));
    EXPECT_DOUBLE_EQ(store.load(renamed.name).width, 70);
    EXPECT_EQ(store.load(f.name).toLayoutText(), f.toLayoutText());
    EXPECT_THROW(store.load(QStringLiteral("没有")), Error);

    store.select(renamed.name);
    store.select(f.name);
    const auto list = store.list();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(std::count_if(list.begin(), list.end(), [](const FormatEntry &e) { return e.selected; }), 1);
    EXPECT_TRUE(std::find_if(list.begin(), list.end(), [&](const FormatEntry &e) { return e.name == f.name; })->selected);
    EXPECT_EQ(c.scalar(QStringLiteral("select FSelected from TDBill where FTranType=12")).toInt(), 1);

    // 14 labels, three per row: five rows on one A4 page, then the component refuses what it cannot print.
    QVector<QVector<QVariant>> rows;
    for (int i = 0; i < 14; ++i)
        rows.append({i / 3, i % 3, QStringLiteral("商品%1").arg(i), QStringLiteral("6901234567892"),
                     QStringLiteral("%1.50").arg(i)});
    const QStringList names{QStringLiteral("FRow"), QStringLiteral("FCol"), QStringLiteral("FName"),
                            QStringLiteral("FBarCode"), QStringLiteral("FPriceText")};
    const auto rs = QSharedPointer<db::Recordset>::create(db::Recordset::fromRows(names, rows));
    auto copy = db::Recordset::fromRows(names, rows);
    const QList<LabelData> labels = labelsFromRecordset(copy);
    ASSERT_EQ(labels.size(), 14);
    EXPECT_EQ(labels.at(13).values.value(QStringLiteral("FPriceText")), QStringLiteral("13.50"));
    const QString pdf = db().dir() + QStringLiteral("/labels.pdf");
    EXPECT_EQ(LabelPrintComponent::writePdf(pdf, store.load(f.name), labels, PrinterSetup{}), 1);
    EXPECT_EQ(pdfPages(pdf), 1);

    LabelPrintComponent printer;
    ui::DialogsScope scope(m_dialogs);
    auto call = [&](int type, const QString &name) {
        try {
            printer.invoke(QStringLiteral("DoPrint"), {false, cnstr(), type, false, true, QVariant::fromValue(rs), name});
        } catch (const Error &e) {
            return e.description();
        }
        return QString();
    };
    EXPECT_TRUE(call(12, f.name).contains(QStringLiteral("找不到打印格式")));   // a label format is no bill format
    EXPECT_TRUE(call(77, f.name).contains(QStringLiteral("没有打印格式")));
    c.execute(QStringLiteral("insert into TDBill(FTDBillName,FSelected,FTranType,FContent) values('空白',0,51,'')"));
    EXPECT_TRUE(call(51, QStringLiteral("空白")).contains(QStringLiteral("还没有设计版面")));
    EXPECT_TRUE(call(51, QStringLiteral("没有")).contains(QStringLiteral("找不到标签格式")));
    // The preview runs the same paint as the printer.
    m_dialogs.queueWindow([](QDialog &) { return int(QDialog::Accepted); });
    EXPECT_EQ(call(51, f.name), QString());
}

ZOSTORE_BACKENDS(LabelStoreTest);
