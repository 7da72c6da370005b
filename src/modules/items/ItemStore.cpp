#include "modules/items/ItemStore.h"

#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "db/Transaction.h"
#include "modules/items/Ean.h"
#include "modules/items/FieldCheck.h"
#include "modules/items/FileLock.h"

#include <QDateTime>
#include <QSet>
#include <cmath>

namespace zostore::modules::items {

namespace {

const QString Table = QStringLiteral("t_ICItem");

int lengthOf(const char *column) {
    const accountdb::Column *c = accountdb::findTable(Table)->column(QString::fromLatin1(column));
    return c && c->size > 0 ? c->size : 100;
}

bool differs(double a, double b) {
    return std::abs(a - b) > 0.00005;
}

// Tables whose rows name an item: any of them keeps the item's row, marked removed.
const char *const ItemUsers[] = {"ICStockBillEntry", "ICOrderEntry", "icbal",     "icstockbal",
                                 "ICInventory",      "ICSafeStock",  "PosQtZkSet"};

QString checkedBarcode(const QString &text, const QString &field) {
    const QString b = optionalText(text, field, lengthOf("FBar_Code"));
    if (looksLikeEan(b) && !eanValid(b))
        throw Error(QStringLiteral("%1“%2”的校验位不对（应为 %3）。")
                        .arg(field, b)
                        .arg(eanCheckDigit(b.left(b.size() - 1))));
    return b;
}

} // namespace

ItemStore::ItemStore(db::Connection &conn) : m_conn(conn) {}

QList<PriceStyle> ItemStore::priceStyles() {
    if (m_stylesRead)
        return m_styles;
    for (auto rs =
             m_conn.open(QStringLiteral("select FItemID,FNumber,FName from t_PriceStyle order by FNumber"));
         !rs.eof(); rs.moveNext()) {
        const int id = rs.toInt(QStringLiteral("FItemID"));
        if (accountdb::hasColumn(m_conn, Table, accountdb::priceColumnName(id)))
            m_styles.append({id, rs.text(QStringLiteral("FNumber")), rs.text(QStringLiteral("FName"))});
    }
    m_stylesRead = true;
    return m_styles;
}

QList<accountdb::ItemExtraField> ItemStore::extraFields() {
    if (m_extraRead)
        return m_extra;
    // Fields the form has boxes of its own for are not offered twice.
    static const QSet<QString> own{
        QStringLiteral("fnumber"),   QStringLiteral("fname"),       QStringLiteral("fmodel"),
        QStringLiteral("funit"),     QStringLiteral("fexchange"),   QStringLiteral("fparentid"),
        QStringLiteral("fquicknum"), QStringLiteral("fshopnumber"), QStringLiteral("fbar_code"),
        QStringLiteral("fpurprice"), QStringLiteral("fpjcost"),     QStringLiteral("fitemid"),
        QStringLiteral("fdel")};
    QList<accountdb::ItemExtraField> out;
    for (const auto &f : accountdb::itemExtraFields(m_conn))
        if (!own.contains(f.name.toLower()) &&
            !f.name.startsWith(QStringLiteral("FPrice_"), Qt::CaseInsensitive))
            out.append(f);
    m_extra = out;
    m_extraRead = true;
    return out;
}

ItemInput ItemStore::item(int id) {
    auto rs = m_conn.open(QStringLiteral("select * from t_ICItem where FItemID=?"), {id});
    if (rs.eof())
        throw Error(QStringLiteral("商品（编号 %1）不存在，可能已被别人删除。").arg(id));
    auto num = [](double v) { return QString::number(v, 'g', 12); };
    ItemInput in;
    in.id = id;
    in.number = rs.text(QStringLiteral("FNumber"));
    in.name = rs.text(QStringLiteral("FName"));
    in.model = rs.text(QStringLiteral("FModel"));
    in.unit = rs.text(QStringLiteral("FUnit"));
    in.exchange = num(rs.isNull(QStringLiteral("FExchange")) ? 1 : rs.toDouble(QStringLiteral("FExchange")));
    in.groupId = rs.toInt(QStringLiteral("FParentID"));
    in.quickNumber = rs.text(QStringLiteral("FQuickNum"));
    in.shopNumber = rs.text(QStringLiteral("FShopNumber"));
    in.barcode = rs.text(QStringLiteral("FBar_Code"));
    in.purPrice = num(rs.toDouble(QStringLiteral("FPurPrice")));
    in.costPrice = num(rs.toDouble(QStringLiteral("FPjCost")));
    for (const PriceStyle &s : priceStyles())
        in.prices[s.id] = num(rs.toDouble(accountdb::priceColumnName(s.id)));
    for (const auto &f : extraFields())
        in.extra[f.name] = rs.text(f.name);
    for (auto b = m_conn.open(
             QStringLiteral("select FBarCode,FPriceStyleID,FPrice,FExchange from t_icitem_barcode "
                            "where FItemID=? order by FBarCode"),
             {id});
         !b.eof(); b.moveNext())
        in.barcodes.append(
            {b.text(QStringLiteral("FBarCode")), b.toInt(QStringLiteral("FPriceStyleID")),
             num(b.toDouble(QStringLiteral("FPrice"))),
             num(b.isNull(QStringLiteral("FExchange")) ? 1 : b.toDouble(QStringLiteral("FExchange")))});
    return in;
}

bool ItemStore::isDeleted(int id) {
    return m_conn.scalar(QStringLiteral("select FDel from t_ICItem where FItemID=?"), {id}).toInt() != 0;
}

CheckedItem ItemStore::check(const ItemInput &in) {
    CheckedItem c;
    c.number = requiredText(in.number, QStringLiteral("商品代码"), lengthOf("FNumber"));
    c.name = requiredText(in.name, QStringLiteral("商品名称"), lengthOf("FName"));
    c.model = optionalText(in.model, QStringLiteral("规格型号"), lengthOf("FModel"));
    c.unit = optionalText(in.unit, QStringLiteral("单位"), lengthOf("FUnit"));
    c.exchange = in.exchange.trimmed().isEmpty() ? 1 : numberOf(in.exchange, QStringLiteral("包装数"));
    if (c.exchange <= 0)
        throw Error(QStringLiteral("包装数必须大于 0。"));
    c.groupId = in.groupId;
    c.quick = optionalText(in.quickNumber, QStringLiteral("助记码"), lengthOf("FQuickNum"));
    c.shop = optionalText(in.shopNumber, QStringLiteral("店内码"), lengthOf("FShopNumber"));
    if (looksLikeEan(c.shop) && !eanValid(c.shop))
        throw Error(QStringLiteral("店内码“%1”的校验位不对。").arg(c.shop));
    c.barcode = checkedBarcode(in.barcode, QStringLiteral("条形码"));
    c.purPrice = numberOf(in.purPrice, QStringLiteral("进价"));
    c.cost = numberOf(in.costPrice, QStringLiteral("成本价"));
    QSet<int> styleIds;
    for (const PriceStyle &s : priceStyles()) {
        styleIds.insert(s.id);
        if (in.prices.contains(s.id))
            c.prices[s.id] = numberOf(in.prices.value(s.id), s.name);
    }
    for (auto it = in.prices.cbegin(); it != in.prices.cend(); ++it)
        if (!styleIds.contains(it.key()))
            throw Error(QStringLiteral("价格类型（编号 %1）不存在。").arg(it.key()));
    for (const auto &f : extraFields()) {
        if (!in.extra.contains(f.name))
            continue;
        const accountdb::Column *col = accountdb::findTable(Table)->column(f.name);
        const QString v = in.extra.value(f.name).trimmed();
        if (col && col->type == accountdb::ColType::Integer) {
            bool ok = v.isEmpty();
            const int n = v.isEmpty() ? 0 : v.toInt(&ok);
            if (!ok)
                throw Error(QStringLiteral("%1必须是整数（现在是“%2”）。").arg(f.caption, db::shortened(v)));
            c.extra.append({f.name, v.isEmpty() ? QVariant() : QVariant(n)});
        } else if (col &&
                   (col->type == accountdb::ColType::Money || col->type == accountdb::ColType::Quantity)) {
            c.extra.append({f.name, numberOf(v, f.caption, true)});
        } else {
            c.extra.append({f.name, optionalText(v, f.caption, col && col->size > 0 ? col->size : 255)});
        }
    }
    QSet<QString> seen;
    if (!c.barcode.isEmpty())
        seen.insert(c.barcode);
    for (const ExtraBarcode &b : in.barcodes) {
        const QString code = checkedBarcode(b.barcode, QStringLiteral("多条码"));
        if (code.isEmpty())
            continue;
        if (seen.contains(code))
            throw Error(QStringLiteral("条形码“%1”在本商品中重复了。").arg(code));
        seen.insert(code);
        if (b.priceStyleId != 0 && !styleIds.contains(b.priceStyleId))
            throw Error(QStringLiteral("条形码“%1”的价格类型不存在。").arg(code));
        const double ex = b.exchange.trimmed().isEmpty()
                              ? 1
                              : numberOf(b.exchange, QStringLiteral("条形码“%1”的包装数").arg(code));
        if (ex <= 0)
            throw Error(QStringLiteral("条形码“%1”的包装数必须大于 0。").arg(code));
        c.bars.append(
            {code, b.priceStyleId, numberOf(b.price, QStringLiteral("条形码“%1”的售价").arg(code)), ex});
    }
    return c;
}

void ItemStore::requireFree(const CheckedItem &c, int id) {
    auto other = m_conn.open(QStringLiteral("select FName,FDel from t_ICItem where FNumber=? and FItemID<>?"),
                             {c.number, id});
    if (!other.eof()) {
        if (other.toInt(QStringLiteral("FDel")) != 0)
            throw Error(QStringLiteral("商品代码“%1”是已删除的商品“%2”的代码，已删除的商品不能再选用。")
                            .arg(db::shortened(c.number), other.text(QStringLiteral("FName"))));
        throw Error(QStringLiteral("商品代码“%1”已经存在（商品“%2”）。")
                        .arg(db::shortened(c.number), other.text(QStringLiteral("FName"))));
    }
    QStringList codes;
    if (!c.barcode.isEmpty())
        codes << c.barcode;
    for (const auto &b : c.bars)
        codes << b.code;
    for (const QString &code : codes) {
        const QVariant owner = m_conn.scalar(
            QStringLiteral("select FName from t_ICItem where FItemID<>? and (FBar_Code=? or FItemID in "
                           "(select FItemID from t_icitem_barcode where FBarCode=?))"),
            {id, code, code});
        if (!owner.isNull())
            throw Error(QStringLiteral("条形码“%1”已经是商品“%2”的条形码。").arg(code, owner.toString()));
        // A scanned code must find one item, whichever of its codes it is.
        const QVariant shop = m_conn.scalar(
            QStringLiteral("select FName from t_ICItem where FShopNumber=? and FItemID<>?"), {code, id});
        if (!shop.isNull())
            throw Error(QStringLiteral("条形码“%1”已经是商品“%2”的店内码。").arg(code, shop.toString()));
    }
    if (!c.shop.isEmpty()) {
        const QVariant owner = m_conn.scalar(
            QStringLiteral("select FName from t_ICItem where FShopNumber=? and FItemID<>?"), {c.shop, id});
        if (!owner.isNull())
            throw Error(QStringLiteral("店内码“%1”已经是商品“%2”的店内码。").arg(c.shop, owner.toString()));
        const QVariant bar = m_conn.scalar(
            QStringLiteral("select FName from t_ICItem where FItemID<>? and (FBar_Code=? or FItemID in "
                           "(select FItemID from t_icitem_barcode where FBarCode=?))"),
            {id, c.shop, c.shop});
        if (!bar.isNull())
            throw Error(QStringLiteral("店内码“%1”已经是商品“%2”的条形码。").arg(c.shop, bar.toString()));
    }
    if (c.groupId != 0 &&
        m_conn.scalar(QStringLiteral("select count(*) from t_ItemGroup where FItemID=?"), {c.groupId})
                .toInt() == 0)
        throw Error(QStringLiteral("商品类别（编号 %1）不存在。").arg(c.groupId));
}

qint64 ItemStore::lastShopSerial(bool ean13) {
    const QString prefix = ean13 ? QStringLiteral("20") : QStringLiteral("2");
    const int length = ean13 ? 13 : 8;
    const QString last =
        m_conn
            .scalar(QStringLiteral("select max(FShopNumber) from t_ICItem where length(FShopNumber)=? "
                                   "and FShopNumber like ?"),
                    {length, prefix + QLatin1Char('%')})
            .toString();
    return last.isEmpty() ? 0 : last.mid(prefix.size(), length - 1 - prefix.size()).toLongLong();
}

QString ItemStore::shopNumberOf(qint64 serial, bool ean13) {
    const QString prefix = ean13 ? QStringLiteral("20") : QStringLiteral("2");
    const int serialLength = (ean13 ? 12 : 7) - static_cast<int>(prefix.size());
    const QString body = prefix + QStringLiteral("%1").arg(serial, serialLength, 10, QLatin1Char('0'));
    if (body.size() != prefix.size() + serialLength)
        throw Error(QStringLiteral("店内码已经用完，不能再自动产生。"));
    return body + eanCheckDigit(body);
}

QString ItemStore::nextShopNumber(bool ean13) {
    return shopNumberOf(lastShopSerial(ean13) + 1, ean13);
}

bool ItemStore::makesShopNumbers(bool *ean13) {
    if (accountdb::readProfile(m_conn, QStringLiteral("SysGenShopNum")) != QLatin1String("1"))
        return false;
    *ean13 = accountdb::readProfile(m_conn, QStringLiteral("ShopNumberLen")) == QLatin1String("1");
    return true;
}

int ItemStore::save(const ItemInput &in) {
    CheckedItem c = check(in);
    db::Transaction tx(m_conn);
    lockFile(m_conn, Table);
    int id = in.id;
    std::optional<db::Recordset> old;
    if (id != 0) {
        old = m_conn.open(QStringLiteral("select * from t_ICItem where FItemID=?"), {id});
        if (old->eof())
            throw Error(QStringLiteral("商品（编号 %1）不存在，可能已被别人删除。").arg(id));
        if (old->toInt(QStringLiteral("FDel")) != 0)
            throw Error(
                QStringLiteral("商品“%1”已经删除，不能再修改。").arg(old->text(QStringLiteral("FName"))));
    }
    requireFree(c, id);
    if (c.shop.isEmpty() &&
        accountdb::readProfile(m_conn, QStringLiteral("SysGenShopNum")) == QLatin1String("1"))
        c.shop = nextShopNumber(accountdb::readProfile(m_conn, QStringLiteral("ShopNumberLen")) ==
                                QLatin1String("1"));

    const QDateTime now = QDateTime::currentDateTime();
    bool purChanged = c.purPrice != 0, saleChanged = false;
    for (auto it = c.prices.cbegin(); it != c.prices.cend(); ++it)
        saleChanged = saleChanged || it.value() != 0;
    if (old) {
        purChanged = differs(old->toDouble(QStringLiteral("FPurPrice")), c.purPrice);
        saleChanged = false;
        for (auto it = c.prices.cbegin(); it != c.prices.cend(); ++it)
            saleChanged =
                saleChanged || differs(old->toDouble(accountdb::priceColumnName(it.key())), it.value());
    }

    QStringList cols{QStringLiteral("FNumber"),   QStringLiteral("FName"),       QStringLiteral("FModel"),
                     QStringLiteral("FUnit"),     QStringLiteral("FExchange"),   QStringLiteral("FParentID"),
                     QStringLiteral("FQuickNum"), QStringLiteral("FShopNumber"), QStringLiteral("FBar_Code"),
                     QStringLiteral("FPurPrice"), QStringLiteral("FPjCost")};
    QVariantList values{c.number, c.name, c.model,   c.unit,     c.exchange, c.groupId,
                        c.quick,  c.shop, c.barcode, c.purPrice, c.cost};
    // Column names below come from price-style keys (integers) and checked t_ItemDetail identifiers.
    for (auto it = c.prices.cbegin(); it != c.prices.cend(); ++it) {
        cols << accountdb::priceColumnName(it.key());
        values << it.value();
    }
    for (const auto &e : c.extra) {
        cols << e.first;
        values << e.second;
    }
    if (purChanged) {
        cols << QStringLiteral("FJjEditDate");
        values << now;
    }
    if (saleChanged) {
        cols << QStringLiteral("FSjEditDate");
        values << now;
    }
    if (id == 0) {
        id = nextKey(m_conn, Table);
        cols.prepend(QStringLiteral("FItemID"));
        values.prepend(id);
        cols << QStringLiteral("FDel");
        values << 0;
        m_conn.execute(
            QStringLiteral("insert into t_ICItem(%1) values(%2)")
                .arg(cols.join(QLatin1Char(',')), QStringList(cols.size(), QStringLiteral("?")).join(u',')),
            values);
    } else {
        old.reset();
        QStringList sets;
        for (const QString &col : cols)
            sets << col + QStringLiteral("=?");
        values << id;
        m_conn.execute(
            QStringLiteral("update t_ICItem set %1 where FItemID=?").arg(sets.join(QLatin1Char(','))),
            values);
        m_conn.execute(QStringLiteral("delete from t_icitem_barcode where FItemID=?"), {id});
    }
    for (const auto &b : c.bars)
        m_conn.execute(
            QStringLiteral("insert into t_icitem_barcode(FItemID,FBarCode,FPriceStyleID,FPrice,FExchange) "
                           "values(?,?,?,?,?)"),
            {id, b.code, b.style == 0 ? QVariant() : QVariant(b.style), b.price, b.exchange});
    tx.commit();
    return id;
}

ItemStore::Removal ItemStore::remove(int id) {
    db::Transaction tx(m_conn);
    lockFile(m_conn, Table);
    if (m_conn.scalar(QStringLiteral("select count(*) from t_ICItem where FItemID=?"), {id}).toInt() == 0)
        throw Error(QStringLiteral("商品（编号 %1）不存在，可能已被别人删除。").arg(id));
    bool used = false;
    for (const char *t : ItemUsers) {
        // Table names are this file's own constants.
        if (m_conn
                .scalar(QStringLiteral("select count(*) from %1 where FItemID=?").arg(QLatin1String(t)), {id})
                .toInt() > 0) {
            used = true;
            break;
        }
    }
    if (used) {
        m_conn.execute(QStringLiteral("update t_ICItem set FDel=1 where FItemID=?"), {id});
    } else {
        m_conn.execute(QStringLiteral("delete from t_icitem_barcode where FItemID=?"), {id});
        m_conn.execute(QStringLiteral("delete from t_ICItem where FItemID=?"), {id});
    }
    tx.commit();
    return used ? Removal::Marked : Removal::Deleted;
}

std::optional<components::items::FoundItem> ItemStore::choose(const QString &typed) {
    const QString text = typed.trimmed();
    components::items::ItemLookup lookup(m_conn, 0, true);
    if (auto found = lookup.find(text))
        return found;
    if (text.isEmpty())
        return std::nullopt;
    auto rs = m_conn.open(QStringLiteral("select FNumber,FName from t_ICItem where FDel<>0 and (FNumber=? or "
                                         "FBar_Code=? or FShopNumber=? or FItemID in (select FItemID from "
                                         "t_icitem_barcode where FBarCode=?))"),
                          {text, text, text, text});
    if (!rs.eof())
        throw Error(QStringLiteral("商品“%1 %2”已经删除，不能再选用。")
                        .arg(rs.text(QStringLiteral("FNumber")), rs.text(QStringLiteral("FName"))));
    return std::nullopt;
}

} // namespace zostore::modules::items
