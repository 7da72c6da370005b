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
#include <QSet>

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

bool blank(const QStringList &row) {
    for (const QString &c : row)
        if (!c.trimmed().isEmpty())
            return false;
    return true;
}

// Header captions to column positions; an unknown or repeated caption stops the import.
QHash<QString, int> headerOf(const QList<QStringList> &rows, const QStringList &known,
                             const QStringList &required) {
    if (rows.isEmpty())
        throw Error(
            QStringLiteral("文件是空的：第 1 行应是列标题（%1）。").arg(known.join(QStringLiteral("、"))));
    QHash<QString, int> at;
    const QStringList &header = rows.first();
    for (int c = 0; c < header.size(); ++c) {
        const QString h = header[c].trimmed();
        if (h.isEmpty())
            continue;
        if (!known.contains(h))
            throw Error(QStringLiteral("第 1 行：不认识的列标题“%1”（可用的有：%2）。")
                            .arg(db::shortened(h), known.join(QStringLiteral("、"))));
        if (at.contains(h))
            throw Error(QStringLiteral("第 1 行：列标题“%1”出现了两次。").arg(h));
        at[h] = c;
    }
    for (const QString &r : required)
        if (!at.contains(r))
            throw Error(QStringLiteral("第 1 行：缺少列“%1”。").arg(r));
    return at;
}

} // namespace

QString ImportReport::text() const {
    QStringList lines;
    for (const RowProblem &p : bad)
        lines << QStringLiteral("第 %1 行：%2").arg(p.row).arg(p.reason);
    return lines.join(u'\n');
}

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
    s.header = {header};
    for (int c = 0; c < header.size(); ++c)
        s.numeric << (c == Exchange || c == PurPrice || c == Cost ||
                      (c >= FixedFields && c < FixedFields + styles.size()));
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
    const QHash<QString, int> at = headerOf(rows, known, {fixedCaptions()[Number], fixedCaptions()[Name]});
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
        if (blank(row))
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
            if (!c.barcode.isEmpty()) {
                if (barcodes.contains(c.barcode))
                    throw Error(QStringLiteral("条形码“%1”已经是商品“%2”的条形码。")
                                    .arg(c.barcode, barcodes.value(c.barcode)));
                if (fileBars.contains(c.barcode))
                    throw Error(QStringLiteral("条形码“%1”与第 %2 行重复。")
                                    .arg(c.barcode)
                                    .arg(fileBars.value(c.barcode)));
            }
            if (!c.shop.isEmpty()) {
                if (shops.contains(c.shop))
                    throw Error(QStringLiteral("店内码“%1”已经是商品“%2”的店内码。")
                                    .arg(c.shop, shops.value(c.shop)));
                if (fileShops.contains(c.shop))
                    throw Error(QStringLiteral("店内码“%1”与第 %2 行重复。")
                                    .arg(c.shop)
                                    .arg(fileShops.value(c.shop)));
            }
            fileCodes[c.number] = rowNo;
            if (!c.barcode.isEmpty())
                fileBars[c.barcode] = rowNo;
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
            while (shops.contains(code) || fileShops.contains(code));
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
    for (qsizetype from = 0; from < good.size(); from += batch) {
        const qsizetype n = std::min<qsizetype>(batch, good.size() - from);
        QVariantList values;
        values.reserve(n * cols.size());
        for (qsizetype k = from; k < from + n; ++k) {
            const CheckedItem &c = good[k];
            bool sale = false;
            for (double v : c.prices)
                sale = sale || v != 0;
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
    const QHash<QString, int> at = headerOf(rows, known, {known[0], known[1]});
    auto cell = [&](const QStringList &row, const QString &caption) {
        const int c = at.value(caption, -1);
        return c < 0 ? QString() : row.value(c);
    };
    ImportReport report;
    db::Transaction tx(conn, db::Transaction::Lock::Books);
    FileStore store(conn, kind);
    for (int i = 1; i < rows.size(); ++i) {
        if (blank(rows[i]))
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
