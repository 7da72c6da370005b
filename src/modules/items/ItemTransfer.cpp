#include "modules/items/ItemTransfer.h"

#include "accountdb/Schema.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "db/Transaction.h"
#include "modules/items/FileLock.h"
#include "modules/items/ItemStore.h"

#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace zostore::modules::items {

namespace {

enum Field { Number, Name, Model, Unit, Exchange, Group, Quick, Shop, Barcode, PurPrice, Cost, FixedFields };

const QStringList &fixedCaptions() {
    static const QStringList c{
        QStringLiteral("商品代码"), QStringLiteral("商品名称"), QStringLiteral("规格型号"),
        QStringLiteral("单位"),     QStringLiteral("包装数"),   QStringLiteral("类别代码"),
        QStringLiteral("助记码"),   QStringLiteral("店内码"),   QStringLiteral("条形码"),
        QStringLiteral("进价"),     QStringLiteral("成本价")};
    return c;
}

QString num(double v) {
    return QString::number(v, 'g', 12);
}

// An item's further barcodes as groups of columns beside its own: 条形码2, 条形码2价格类型, 条形码2售价,
// 条形码2包装数, then 条形码3 ..., so that one sheet, csv included, holds the whole item.
const QStringList &barcodeParts() {
    static const QStringList p{QString(), QStringLiteral("价格类型"), QStringLiteral("售价"),
                               QStringLiteral("包装数")};
    return p;
}

QString barcodeCaption(int n, int part) {
    return QStringLiteral("条形码%1%2").arg(n).arg(barcodeParts()[part]);
}

// The group numbers the header's barcode columns name, each group's code column required.
QList<int> barcodeGroups(const QStringList &header) {
    static const QRegularExpression re(QStringLiteral("^条形码([2-9]|[1-9][0-9]+)(价格类型|售价|包装数)?$"));
    QList<int> out;
    for (const QString &h : header)
        if (const auto m = re.match(h.trimmed()); m.hasMatch() && !out.contains(m.captured(1).toInt()))
            out << m.captured(1).toInt();
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

components::sheet::Sheet exportItems(db::Connection &conn) {
    ItemStore store(conn);
    const QList<PriceStyle> styles = store.priceStyles();
    const auto extra = store.extraFields();
    components::sheet::Sheet s;
    s.title = QStringLiteral("商品资料");
    QStringList header = fixedCaptions();
    for (const PriceStyle &p : styles)
        header << p.name;
    for (const auto &f : extra)
        header << f.caption;
    QHash<int, QList<QStringList>> bars;
    qsizetype groups = 0;
    for (auto rs =
             conn.open(QStringLiteral("select b.FItemID,b.FBarCode,b.FPriceStyleID,b.FPrice,b.FExchange from "
                                      "t_icitem_barcode b join t_ICItem i on i.FItemID=b.FItemID where "
                                      "i.FDel=0 order by b.FItemID,b.FBarCode"),
                       {}, db::Cursor::Forward);
         !rs.eof(); rs.moveNext()) {
        QString style;
        for (const PriceStyle &p : styles)
            if (p.id == rs.toInt(QStringLiteral("FPriceStyleID")))
                style = p.name;
        QList<QStringList> &mine = bars[rs.toInt(QStringLiteral("FItemID"))];
        mine << QStringList{
            rs.text(QStringLiteral("FBarCode")), style, num(rs.toDouble(QStringLiteral("FPrice"))),
            num(rs.isNull(QStringLiteral("FExchange")) ? 1 : rs.toDouble(QStringLiteral("FExchange")))};
        groups = std::max(groups, mine.size());
    }
    const qsizetype plain = header.size();
    for (int n = 0; n < groups; ++n)
        for (int part = 0; part < barcodeParts().size(); ++part)
            header << barcodeCaption(n + 2, part);
    s.header = {header};
    for (int c = 0; c < header.size(); ++c)
        s.numeric << (c == Exchange || c == PurPrice || c == Cost ||
                      (c >= FixedFields && c < FixedFields + styles.size()) ||
                      (c >= plain && (c - plain) % 4 >= 2));
    QString sql =
        QStringLiteral("select i.*,g.FNumber as FGroupNumber from t_ICItem i left join t_ItemGroup g on "
                       "g.FItemID=i.FParentID where i.FDel=0 order by i.FNumber");
    for (auto rs = conn.open(sql, {}, db::Cursor::Forward); !rs.eof(); rs.moveNext()) {
        QStringList r{
            rs.text(QStringLiteral("FNumber")),
            rs.text(QStringLiteral("FName")),
            rs.text(QStringLiteral("FModel")),
            rs.text(QStringLiteral("FUnit")),
            num(rs.isNull(QStringLiteral("FExchange")) ? 1 : rs.toDouble(QStringLiteral("FExchange"))),
            rs.text(QStringLiteral("FGroupNumber")),
            rs.text(QStringLiteral("FQuickNum")),
            rs.text(QStringLiteral("FShopNumber")),
            rs.text(QStringLiteral("FBar_Code")),
            num(rs.toDouble(QStringLiteral("FPurPrice"))),
            num(rs.toDouble(QStringLiteral("FPjCost")))};
        for (const PriceStyle &p : styles)
            r << num(rs.toDouble(accountdb::priceColumnName(p.id)));
        for (const auto &f : extra)
            r << rs.text(f.name);
        const QList<QStringList> mine = bars.value(rs.toInt(QStringLiteral("FItemID")));
        for (int n = 0; n < groups; ++n)
            r << (n < mine.size() ? mine[n] : QStringList(barcodeParts().size(), QString()));
        s.rows << r;
    }
    return s;
}

ImportReport importItems(db::Connection &conn, const QList<QStringList> &rows, bool skipBad) {
    ItemStore store(conn);
    const QList<PriceStyle> styles = store.priceStyles();
    const auto extra = store.extraFields();
    QStringList known = fixedCaptions();
    for (const PriceStyle &p : styles)
        known << p.name;
    for (const auto &f : extra)
        known << f.caption;
    QStringList required{fixedCaptions()[Number], fixedCaptions()[Name]};
    const QList<int> barGroups = barcodeGroups(rows.value(0));
    for (int n : barGroups) {
        required << barcodeCaption(n, 0);
        for (int part = 0; part < barcodeParts().size(); ++part)
            known << barcodeCaption(n, part);
    }
    const QHash<QString, int> at = components::sheet::headerColumns(rows, known, required);
    auto cell = [&](const QStringList &row, const QString &caption) {
        const int c = at.value(caption, -1);
        return c < 0 ? QString() : row.value(c);
    };

    db::Transaction tx(conn, db::Transaction::Lock::Books);
    lockFile(conn, QStringLiteral("t_ICItem"));
    // What the account set holds already, read once.
    QHash<QString, QString> codes; // code -> name, removed items marked
    QHash<QString, QString> barcodes, shops;
    for (auto rs = conn.open(QStringLiteral("select FNumber,FName,FDel,FBar_Code,FShopNumber from t_ICItem"),
                             {}, db::Cursor::Forward);
         !rs.eof(); rs.moveNext()) {
        const QString name = rs.text(QStringLiteral("FName"));
        codes[rs.text(QStringLiteral("FNumber"))] =
            rs.toInt(QStringLiteral("FDel")) ? QStringLiteral("\x01") + name : name;
        if (!rs.text(QStringLiteral("FBar_Code")).isEmpty())
            barcodes[rs.text(QStringLiteral("FBar_Code"))] = name;
        if (!rs.text(QStringLiteral("FShopNumber")).isEmpty())
            shops[rs.text(QStringLiteral("FShopNumber"))] = name;
    }
    for (auto rs =
             conn.open(QStringLiteral("select b.FBarCode,i.FName from t_icitem_barcode b join t_ICItem i on "
                                      "i.FItemID=b.FItemID"),
                       {}, db::Cursor::Forward);
         !rs.eof(); rs.moveNext())
        barcodes[rs.text(QStringLiteral("FBarCode"))] = rs.text(QStringLiteral("FName"));
    QHash<QString, int> groups;
    for (auto rs = conn.open(QStringLiteral("select FItemID,FNumber from t_ItemGroup")); !rs.eof();
         rs.moveNext())
        groups[rs.text(QStringLiteral("FNumber"))] = rs.toInt(QStringLiteral("FItemID"));

    ImportReport report;
    QList<CheckedItem> good;
    QHash<QString, int> fileCodes, fileBars, fileShops; // -> row number
    for (int i = 1; i < rows.size(); ++i) {
        const QStringList &row = rows[i];
        const int rowNo = i + 1;
        if (components::sheet::blankRow(row))
            continue;
        try {
            ItemInput in;
            in.number = cell(row, fixedCaptions()[Number]);
            in.name = cell(row, fixedCaptions()[Name]);
            in.model = cell(row, fixedCaptions()[Model]);
            in.unit = cell(row, fixedCaptions()[Unit]);
            in.exchange = cell(row, fixedCaptions()[Exchange]);
            in.quickNumber = cell(row, fixedCaptions()[Quick]);
            in.shopNumber = cell(row, fixedCaptions()[Shop]);
            in.barcode = cell(row, fixedCaptions()[Barcode]);
            in.purPrice = cell(row, fixedCaptions()[PurPrice]);
            in.costPrice = cell(row, fixedCaptions()[Cost]);
            const QString group = cell(row, fixedCaptions()[Group]).trimmed();
            if (!group.isEmpty()) {
                if (!groups.contains(group))
                    throw Error(QStringLiteral("类别代码“%1”不存在。").arg(db::shortened(group)));
                in.groupId = groups.value(group);
            }
            for (const PriceStyle &p : styles)
                if (at.contains(p.name))
                    in.prices[p.id] = cell(row, p.name);
            for (const auto &f : extra)
                if (at.contains(f.caption))
                    in.extra[f.name] = cell(row, f.caption);
            for (int n : barGroups) {
                ExtraBarcode b;
                b.barcode = cell(row, barcodeCaption(n, 0)).trimmed();
                const QString style = cell(row, barcodeCaption(n, 1)).trimmed();
                b.price = cell(row, barcodeCaption(n, 2));
                b.exchange = cell(row, barcodeCaption(n, 3));
                if (b.barcode.isEmpty()) {
                    if (!style.isEmpty() || !b.price.trimmed().isEmpty() || !b.exchange.trimmed().isEmpty())
                        throw Error(QStringLiteral("%1是空的，却填了它的价格类型、售价或包装数。")
                                        .arg(barcodeCaption(n, 0)));
                    continue;
                }
                if (!style.isEmpty()) {
                    for (const PriceStyle &p : styles)
                        if (p.name == style || p.number == style)
                            b.priceStyleId = p.id;
                    if (b.priceStyleId == 0)
                        throw Error(
                            QStringLiteral("%1“%2”不存在。").arg(barcodeCaption(n, 1), db::shortened(style)));
                }
                if (b.exchange.trimmed().isEmpty())
                    b.exchange = QStringLiteral("1");
                in.barcodes.append(b);
            }
            CheckedItem c = store.check(in);
            if (codes.contains(c.number)) {
                const QString owner = codes.value(c.number);
                throw Error(
                    owner.startsWith(u'\x01')
                        ? QStringLiteral("商品代码“%1”是已删除的商品“%2”的代码，已删除的商品不能再选用。")
                              .arg(db::shortened(c.number), owner.mid(1))
                        : QStringLiteral("商品代码“%1”已经存在（商品“%2”）。")
                              .arg(db::shortened(c.number), owner));
            }
            if (fileCodes.contains(c.number))
                throw Error(QStringLiteral("商品代码“%1”与第 %2 行重复。")
                                .arg(db::shortened(c.number))
                                .arg(fileCodes.value(c.number)));
            // A scanned code must find one item: barcodes and in-store codes share one space.
            QStringList codesOfRow;
            if (!c.barcode.isEmpty())
                codesOfRow << c.barcode;
            for (const CheckedItem::Bar &b : c.bars)
                codesOfRow << b.code;
            for (const QString &code : std::as_const(codesOfRow)) {
                if (barcodes.contains(code))
                    throw Error(
                        QStringLiteral("条形码“%1”已经是商品“%2”的条形码。").arg(code, barcodes.value(code)));
                if (shops.contains(code))
                    throw Error(
                        QStringLiteral("条形码“%1”已经是商品“%2”的店内码。").arg(code, shops.value(code)));
                if (fileBars.contains(code) || fileShops.contains(code))
                    throw Error(QStringLiteral("条形码“%1”与第 %2 行重复。")
                                    .arg(code)
                                    .arg(fileBars.value(code, fileShops.value(code))));
            }
            if (!c.shop.isEmpty()) {
                if (shops.contains(c.shop))
                    throw Error(QStringLiteral("店内码“%1”已经是商品“%2”的店内码。")
                                    .arg(c.shop, shops.value(c.shop)));
                if (barcodes.contains(c.shop))
                    throw Error(QStringLiteral("店内码“%1”已经是商品“%2”的条形码。")
                                    .arg(c.shop, barcodes.value(c.shop)));
                if (fileShops.contains(c.shop) || fileBars.contains(c.shop))
                    throw Error(QStringLiteral("店内码“%1”与第 %2 行重复。")
                                    .arg(c.shop)
                                    .arg(fileShops.value(c.shop, fileBars.value(c.shop))));
            }
            fileCodes[c.number] = rowNo;
            for (const QString &code : std::as_const(codesOfRow))
                fileBars[code] = rowNo;
            if (!c.shop.isEmpty())
                fileShops[c.shop] = rowNo;
            good.append(c);
        } catch (const Error &e) {
            report.bad.append({rowNo, e.description()});
        }
    }
    if (!report.bad.isEmpty() && !skipBad)
        return report;

    bool ean13 = false;
    if (store.makesShopNumbers(&ean13)) {
        qint64 serial = store.lastShopSerial(ean13);
        for (CheckedItem &c : good) {
            if (!c.shop.isEmpty())
                continue;
            QString code;
            do
                code = ItemStore::shopNumberOf(++serial, ean13);
            while (shops.contains(code) || fileShops.contains(code) || barcodes.contains(code) ||
                   fileBars.contains(code));
            c.shop = code;
        }
    }

    QStringList cols{
        QStringLiteral("FItemID"),   QStringLiteral("FNumber"),     QStringLiteral("FName"),
        QStringLiteral("FModel"),    QStringLiteral("FUnit"),       QStringLiteral("FExchange"),
        QStringLiteral("FParentID"), QStringLiteral("FQuickNum"),   QStringLiteral("FShopNumber"),
        QStringLiteral("FBar_Code"), QStringLiteral("FPurPrice"),   QStringLiteral("FPjCost"),
        QStringLiteral("FDel"),      QStringLiteral("FJjEditDate"), QStringLiteral("FSjEditDate")};
    // Price columns from integer keys, extra fields from checked t_ItemDetail identifiers.
    for (const PriceStyle &p : styles)
        cols << accountdb::priceColumnName(p.id);
    for (const auto &f : extra)
        cols << f.name;
    const QString one =
        QLatin1Char('(') + QStringList(cols.size(), QStringLiteral("?")).join(u',') + QLatin1Char(')');
    const QString head = QStringLiteral("insert into t_ICItem(%1) values ").arg(cols.join(u','));
    // SQLite looks a parameter up by its number in a list, so long statements cost it the square; a
    // server prefers few round trips.
    const int batch = std::max(1, (conn.isSqlite() ? 240 : 900) / static_cast<int>(cols.size()));
    const QVariant now = QDateTime::currentDateTime();
    int id = nextKey(conn, QStringLiteral("t_ICItem"));
    QVariantList barValues; // FItemID, FBarCode, FPriceStyleID, FPrice, FExchange
    for (qsizetype from = 0; from < good.size(); from += batch) {
        const qsizetype n = std::min<qsizetype>(batch, good.size() - from);
        QVariantList values;
        values.reserve(n * cols.size());
        for (qsizetype k = from; k < from + n; ++k) {
            const CheckedItem &c = good[k];
            bool sale = false;
            for (double v : c.prices)
                sale = sale || v != 0;
            for (const CheckedItem::Bar &b : c.bars)
                barValues << id << b.code << (b.style == 0 ? QVariant() : QVariant(b.style)) << b.price
                          << b.exchange;
            values << id++ << c.number << c.name << c.model << c.unit << c.exchange << c.groupId << c.quick
                   << c.shop << c.barcode << c.purPrice << c.cost << 0 << (c.purPrice != 0 ? now : QVariant())
                   << (sale ? now : QVariant());
            for (const PriceStyle &p : styles)
                values << c.prices.value(p.id, 0);
            QHash<QString, QVariant> given;
            for (const auto &e : c.extra)
                given[e.first] = e.second;
            for (const auto &f : extra)
                values << given.value(f.name);
        }
        conn.execute(head + QStringList(n, one).join(u','), values);
    }
    const int barBatch = conn.isSqlite() ? 48 : 180;
    for (qsizetype from = 0; from < barValues.size(); from += barBatch * 5) {
        const qsizetype n = std::min<qsizetype>(barBatch, (barValues.size() - from) / 5);
        conn.execute(
            QStringLiteral("insert into t_icitem_barcode(FItemID,FBarCode,FPriceStyleID,FPrice,FExchange) "
                           "values ") +
                QStringList(n, QStringLiteral("(?,?,?,?,?)")).join(u','),
            barValues.mid(from, n * 5));
    }
    tx.commit();
    report.imported = static_cast<int>(good.size());
    return report;
}

components::sheet::Sheet exportPartners(db::Connection &conn, FileKind kind) {
    FileStore store(conn, kind);
    const QString what = FileStore::caption(kind);
    components::sheet::Sheet s;
    s.title = what;
    s.header = {{what + QStringLiteral("代码"), what + QStringLiteral("名称"), QStringLiteral("电话"),
                 QStringLiteral("地址")}};
    s.numeric = {false, false, false, false};
    for (const FileRow &r : store.rows())
        s.rows << QStringList{r.number, r.name, r.phone, r.address};
    return s;
}

ImportReport importPartners(db::Connection &conn, FileKind kind, const QList<QStringList> &rows,
                            bool skipBad) {
    if (kind != FileKind::Supplier && kind != FileKind::Customer)
        throw Error(QStringLiteral("只能导入供应商或客户。"));
    const QString what = FileStore::caption(kind);
    const QStringList known{what + QStringLiteral("代码"), what + QStringLiteral("名称"),
                            QStringLiteral("电话"), QStringLiteral("地址")};
    const QHash<QString, int> at = components::sheet::headerColumns(rows, known, {known[0], known[1]});
    auto cell = [&](const QStringList &row, const QString &caption) {
        const int c = at.value(caption, -1);
        return c < 0 ? QString() : row.value(c);
    };
    ImportReport report;
    db::Transaction tx(conn, db::Transaction::Lock::Books);
    FileStore store(conn, kind);
    for (int i = 1; i < rows.size(); ++i) {
        if (components::sheet::blankRow(rows[i]))
            continue;
        // Each row in a savepoint of its own: a refused one leaves nothing behind.
        try {
            store.save({0, cell(rows[i], known[0]), cell(rows[i], known[1]), cell(rows[i], known[2]),
                        cell(rows[i], known[3]), false, 0});
            ++report.imported;
        } catch (const Error &e) {
            report.bad.append({i + 1, e.description()});
        }
    }
    if (!report.bad.isEmpty() && !skipBad) {
        report.imported = 0;
        return report;
    }
    tx.commit();
    return report;
}

} // namespace zostore::modules::items
