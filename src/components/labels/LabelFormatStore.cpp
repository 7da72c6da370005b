// One transaction per change, so a failed save leaves the format as it was.
#include "components/labels/LabelFormatStore.h"

#include "accountdb/Schema.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "db/Recordset.h"
#include "db/Transaction.h"

namespace zostore::components::labels {

namespace {

// Sets made before formats had a layout column get it on first use.
void ensureLayoutColumn(db::Connection &conn) {
    if (!accountdb::hasColumn(conn, QStringLiteral("TDBill"), QStringLiteral("FLayout")))
        conn.execute(QStringLiteral("alter table TDBill add column FLayout text"));
}

} // namespace

void requireLabelType(int tranType) {
    if (tranType != LabelTranType)
        throw Error(QStringLiteral("未安装单据套打组件：本程序只设计和打印商品标签（类型 51），不能处理类型 %1 的格式。")
                        .arg(tranType));
}

LabelFormatStore::LabelFormatStore(db::Connection &conn) : m_conn(conn) {
    ensureLayoutColumn(m_conn);
}

QList<FormatEntry> LabelFormatStore::list() const {
    QList<FormatEntry> out;
    auto rs = m_conn.open(
        QStringLiteral("select FTDBillName,FSelected from TDBill where FTranType=? order by FTDBillName"),
        {LabelTranType});
    for (; !rs.eof(); rs.moveNext())
        out.append({rs.text(QStringLiteral("FTDBillName")), rs.toInt(QStringLiteral("FSelected")) != 0});
    return out;
}

bool LabelFormatStore::exists(const QString &name) const {
    return m_conn.scalar(QStringLiteral("select count(*) from TDBill where FTranType=? and FTDBillName=?"),
                         {LabelTranType, name})
               .toInt() > 0;
}

LabelFormat LabelFormatStore::load(const QString &name) const {
    auto rs = m_conn.open(QStringLiteral("select FLayout from TDBill where FTranType=? and FTDBillName=?"),
                          {LabelTranType, name});
    if (rs.eof())
        throw Error(QStringLiteral("找不到标签格式“%1”！").arg(db::shortened(name)));
    const QString layout = rs.text(QStringLiteral("FLayout"));
    if (layout.trimmed().isEmpty()) {
        LabelFormat blank;
        blank.name = name;
        return blank;
    }
    return LabelFormat::fromLayoutText(name, layout);
}

void LabelFormatStore::save(const LabelFormat &format, const QString &originalName) {
    format.validate();
    db::Transaction tx(m_conn);
    const bool renamed = originalName.isEmpty() || originalName != format.name;
    if (renamed && exists(format.name))
        throw Error(QStringLiteral("标签格式“%1”已经存在，请换一个名称。").arg(db::shortened(format.name)));
    const QString layout = format.toLayoutText();
    if (!originalName.isEmpty() && exists(originalName)) {
        m_conn.execute(QStringLiteral("update TDBill set FTDBillName=?,FLayout=? where FTranType=? and FTDBillName=?"),
                       {format.name, layout, LabelTranType, originalName});
    } else {
        m_conn.execute(QStringLiteral("insert into TDBill(FTDBillName,FSelected,FTranType,FContent,FLayout) "
                                      "values(?,0,?,'',?)"),
                       {format.name, LabelTranType, layout});
    }
    tx.commit();
}

void LabelFormatStore::remove(const QString &name) {
    m_conn.execute(QStringLiteral("delete from TDBill where FTranType=? and FTDBillName=?"), {LabelTranType, name});
}

void LabelFormatStore::select(const QString &name) {
    if (!exists(name))
        throw Error(QStringLiteral("找不到标签格式“%1”！").arg(db::shortened(name)));
    db::Transaction tx(m_conn);
    m_conn.execute(QStringLiteral("update TDBill set FSelected=case when FTDBillName=? then 1 else 0 end "
                                  "where FTranType=?"),
                   {name, LabelTranType});
    tx.commit();
}

} // namespace zostore::components::labels
