#include "modules/items/FileStore.h"

#include "accountdb/Schema.h"
#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "db/Transaction.h"
#include "modules/items/FieldCheck.h"
#include "modules/items/FileLock.h"

namespace zostore::modules::items {

namespace {

int lengthOf(const QString &table, const char *column, int fallback) {
    const accountdb::TableDef *t = accountdb::findTable(table);
    const accountdb::Column *c = t ? t->column(QString::fromLatin1(column)) : nullptr;
    return c && c->size > 0 ? c->size : fallback;
}

} // namespace

FileStore::FileStore(db::Connection &conn, FileKind kind)
    : m_conn(conn), m_kind(kind), m_table(table(kind)) {}

QList<FileKind> FileStore::kinds() {
    return {FileKind::Stock, FileKind::PriceStyle, FileKind::Supplier, FileKind::Customer,
            FileKind::Employee};
}

QString FileStore::table(FileKind kind) {
    switch (kind) {
    case FileKind::Stock:
        return QStringLiteral("t_Stock");
    case FileKind::PriceStyle:
        return QStringLiteral("t_PriceStyle");
    case FileKind::Supplier:
        return QStringLiteral("t_Supplier");
    case FileKind::Customer:
        return QStringLiteral("t_Organization");
    case FileKind::Employee:
        return QStringLiteral("t_Emp");
    }
    return {};
}

QString FileStore::caption(FileKind kind) {
    switch (kind) {
    case FileKind::Stock:
        return QStringLiteral("仓库");
    case FileKind::PriceStyle:
        return QStringLiteral("价格类型");
    case FileKind::Supplier:
        return QStringLiteral("供应商");
    case FileKind::Customer:
        return QStringLiteral("客户");
    case FileKind::Employee:
        return QStringLiteral("职员");
    }
    return {};
}

QList<FileRow> FileStore::rows() const {
    QString cols = QStringLiteral("FItemID,FNumber,FName");
    if (hasPhone())
        cols += QStringLiteral(",FPhone");
    if (hasAddress())
        cols += QStringLiteral(",FAddress");
    if (m_kind == FileKind::Stock)
        cols += QStringLiteral(",FVirtual,FPriceStyleID");
    QList<FileRow> out;
    for (auto rs = m_conn.open(QStringLiteral("select %1 from %2 order by FNumber").arg(cols, m_table));
         !rs.eof(); rs.moveNext()) {
        FileRow r;
        r.id = rs.toInt(QStringLiteral("FItemID"));
        r.number = rs.text(QStringLiteral("FNumber"));
        r.name = rs.text(QStringLiteral("FName"));
        if (hasPhone())
            r.phone = rs.text(QStringLiteral("FPhone"));
        if (hasAddress())
            r.address = rs.text(QStringLiteral("FAddress"));
        if (m_kind == FileKind::Stock) {
            r.isVirtual = rs.toInt(QStringLiteral("FVirtual")) != 0;
            r.priceStyleId = rs.toInt(QStringLiteral("FPriceStyleID"));
        }
        out.append(r);
    }
    return out;
}

FileRow FileStore::row(int id) const {
    for (const FileRow &r : rows())
        if (r.id == id)
            return r;
    throw Error(QStringLiteral("%1（编号 %2）不存在，可能已被别人删除。").arg(caption(m_kind)).arg(id));
}

int FileStore::idOf(const QString &number) const {
    return m_conn
        .scalar(QStringLiteral("select FItemID from %1 where FNumber=?").arg(m_table), {number.trimmed()})
        .toInt();
}

int FileStore::save(const FileRow &in) {
    const QString what = caption(m_kind);
    FileRow r = in;
    r.number = requiredText(in.number, what + QStringLiteral("代码"), lengthOf(m_table, "FNumber", 50));
    r.name = requiredText(in.name, what + QStringLiteral("名称"), lengthOf(m_table, "FName", 80));
    if (hasPhone())
        r.phone = optionalText(in.phone, QStringLiteral("电话"), lengthOf(m_table, "FPhone", 30));
    if (hasAddress())
        r.address = optionalText(in.address, QStringLiteral("地址"), lengthOf(m_table, "FAddress", 200));
    db::Transaction tx(m_conn);
    lockFile(m_conn, m_table);
    QString oldName;
    if (r.id != 0) {
        const QVariant n =
            m_conn.scalar(QStringLiteral("select FName from %1 where FItemID=?").arg(m_table), {r.id});
        if (n.isNull())
            throw Error(QStringLiteral("%1（编号 %2）不存在，可能已被别人删除。").arg(what).arg(r.id));
        oldName = n.toString();
    }
    const QVariant other = m_conn.scalar(
        QStringLiteral("select FName from %1 where FNumber=? and FItemID<>?").arg(m_table), {r.number, r.id});
    if (!other.isNull())
        throw Error(QStringLiteral("%1代码“%2”已经存在（%3）。")
                        .arg(what, db::shortened(r.number), other.toString()));
    if (m_kind == FileKind::Stock && r.priceStyleId != 0 &&
        m_conn.scalar(QStringLiteral("select count(*) from t_PriceStyle where FItemID=?"), {r.priceStyleId})
                .toInt() == 0)
        throw Error(QStringLiteral("零售价格类型（编号 %1）不存在。").arg(r.priceStyleId));
    QStringList cols{QStringLiteral("FNumber"), QStringLiteral("FName")};
    QVariantList values{r.number, r.name};
    if (hasPhone()) {
        cols << QStringLiteral("FPhone");
        values << r.phone;
    }
    if (hasAddress()) {
        cols << QStringLiteral("FAddress");
        values << r.address;
    }
    if (m_kind == FileKind::Stock) {
        cols << QStringLiteral("FVirtual") << QStringLiteral("FPriceStyleID");
        values << (r.isVirtual ? 1 : 0) << (r.priceStyleId == 0 ? QVariant() : QVariant(r.priceStyleId));
    }
    if (r.id == 0) {
        r.id = nextKey(m_conn, m_table);
        cols.prepend(QStringLiteral("FItemID"));
        values.prepend(r.id);
        m_conn.execute(
            QStringLiteral("insert into %1(%2) values(%3)")
                .arg(m_table, cols.join(u','), QStringList(cols.size(), QStringLiteral("?")).join(u',')),
            values);
        if (m_kind == FileKind::PriceStyle)
            accountdb::addPriceStyleColumn(m_conn, r.id);
    } else {
        QStringList sets;
        for (const QString &c : cols)
            sets << c + QStringLiteral("=?");
        values << r.id;
        m_conn.execute(QStringLiteral("update %1 set %2 where FItemID=?").arg(m_table, sets.join(u',')),
                       values);
        // The receipt template and the manual-cost setting know these by name.
        if (m_kind == FileKind::Stock && oldName != r.name)
            m_conn.execute(QStringLiteral("update TDPosBill set FStockName=? where FStockName=?"),
                           {r.name, oldName});
        if (m_kind == FileKind::PriceStyle && oldName != r.name &&
            accountdb::readProfile(m_conn, QStringLiteral("CostStyle_PriceName")) == oldName)
            m_conn.execute(
                QStringLiteral("update t_systemprofile set FValue=? where lower(FKey)='coststyle_pricename'"),
                {r.name});
    }
    tx.commit();
    return r.id;
}

QString FileStore::usedBy(int id) const {
    struct Use {
        const char *sql;
        const char *what;
    };
    QList<Use> uses;
    switch (m_kind) {
    case FileKind::Stock:
        uses = {{"select count(*) from ICStockBill where FOutStockID=? or FInStockID=?", "单据"},
                {"select count(*) from icstockbal where FStockID=?", "期初库存"},
                {"select count(*) from ICInventory where FStockID=? and FQty<>0", "库存"},
                {"select count(*) from ICSafeStock where FStockID=?", "库存上下限"},
                {"select count(*) from PosQtZkSet where FStockID=?", "时段优惠"}};
        break;
    case FileKind::PriceStyle:
        uses = {{"select count(*) from t_Stock where FPriceStyleID=?", "仓库的零售价格类型"},
                {"select count(*) from t_icitem_barcode where FPriceStyleID=?", "商品的多条码"}};
        break;
    case FileKind::Supplier:
        uses = {{"select count(*) from ICStockBill where FOrgaID=? and FTranType in (12,14,15,16)", "单据"},
                {"select count(*) from ICOrder where FOrgaID=?", "订单"},
                {"select count(*) from t_WLBegBal where FOrgaType=1 and FOrgaID=?", "期初应付"}};
        break;
    case FileKind::Customer:
        uses = {
            {"select count(*) from ICStockBill where FOrgaID=? and FTranType not in (12,14,15,16)", "单据"},
            {"select count(*) from ICOrder where FOrgaID=?", "订单"},
            {"select count(*) from t_WLBegBal where FOrgaType=2 and FOrgaID=?", "期初应收"}};
        break;
    case FileKind::Employee:
        uses = {{"select count(*) from ICStockBill where FEmpID=?", "单据"},
                {"select count(*) from ICOrder where FSalerID=?", "订单"}};
        break;
    }
    for (const Use &u : uses) {
        const QString sql = QString::fromLatin1(u.sql);
        if (m_conn.scalar(sql, QVariantList(sql.count(QLatin1Char('?')), id)).toInt() > 0)
            return QString::fromUtf8(u.what);
    }
    return {};
}

void FileStore::remove(int id) {
    const FileRow r = row(id);
    db::Transaction tx(m_conn);
    lockFile(m_conn, m_table);
    QString use = usedBy(id);
    if (use.isEmpty() && m_kind == FileKind::Stock &&
        m_conn.scalar(QStringLiteral("select count(*) from TDPosBill where FStockName=?"), {r.name}).toInt() >
            0)
        use = QStringLiteral("小票格式");
    if (use.isEmpty() && m_kind == FileKind::PriceStyle &&
        accountdb::readProfile(m_conn, QStringLiteral("CostStyle_PriceName")) == r.name)
        use = QStringLiteral("系统参数（手工指定成本）");
    if (!use.isEmpty())
        throw Error(QStringLiteral("%1“%2”已经用在%3中，不能删除。").arg(caption(m_kind), r.name, use));
    if (m_kind == FileKind::PriceStyle &&
        accountdb::hasColumn(m_conn, QStringLiteral("t_ICItem"), accountdb::priceColumnName(id)))
        // The column stays; a style made later with the same key must not inherit these prices.
        m_conn.execute(QStringLiteral("update t_ICItem set %1=0").arg(accountdb::priceColumnName(id)));
    m_conn.execute(QStringLiteral("delete from %1 where FItemID=?").arg(m_table), {id});
    tx.commit();
}

} // namespace zostore::modules::items
