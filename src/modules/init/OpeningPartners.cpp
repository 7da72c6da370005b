#include "modules/init/OpeningPartners.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Transaction.h"
#include "modules/init/InitState.h"

#include <cmath>

namespace zostore::modules::init {

QString OpeningPartners::title(PartnerKind kind) {
    return kind == PartnerKind::Customers ? QStringLiteral("应收帐款余额初始化") : QStringLiteral("应付帐款余额初始化");
}

int OpeningPartners::orgaType() const { return m_kind == PartnerKind::Suppliers ? 1 : 2; }

QString OpeningPartners::table() const {
    return m_kind == PartnerKind::Suppliers ? QStringLiteral("t_Supplier") : QStringLiteral("t_Organization");
}

QList<PartnerOpening> OpeningPartners::lines() {
    QList<PartnerOpening> out;
    // The table name is one of two constants, never input.
    db::Recordset rs = m_conn.open(
        QStringLiteral("select p.FItemID,p.FNumber,p.FName,w.FAmount from %1 p left join t_WLBegBal w "
                       "on w.FOrgaID=p.FItemID and w.FOrgaType=? order by p.FNumber")
            .arg(table()),
        {orgaType()}, db::Cursor::Forward);
    for (; !rs.eof(); rs.moveNext())
        out.append({rs.toInt(QStringLiteral("FItemID")), rs.text(QStringLiteral("FNumber")),
                    rs.text(QStringLiteral("FName")), rs.toDouble(QStringLiteral("FAmount"))});
    return out;
}

void OpeningPartners::save(const QList<PartnerOpening> &changed) {
    for (const PartnerOpening &p : changed)
        if (!std::isfinite(p.amount) || std::abs(p.amount) > 1e13)
            throw Error(QStringLiteral("%1 %2：期初余额必须是数字。").arg(p.number, p.name));
    db::Transaction tx(m_conn);
    const QString readOnly = InitState::read(m_conn).whyReadOnly();
    if (!readOnly.isEmpty())
        throw Error(readOnly);
    auto remove = m_conn.prepare(QStringLiteral("delete from t_WLBegBal where FOrgaType=? and FOrgaID=?"));
    auto put = m_conn.prepare(QStringLiteral("insert into t_WLBegBal (FOrgaType,FOrgaID,FAmount) values (?,?,?)"));
    for (const PartnerOpening &p : changed) {
        if (m_conn.scalar(QStringLiteral("select count(*) from %1 where FItemID=?").arg(table()), {p.partnerId})
                .toInt() == 0)
            throw Error(QStringLiteral("%1 %2 已被删除，未做修改。").arg(p.number, p.name));
        const double amount = std::round(p.amount * 100) / 100;
        remove.exec({orgaType(), p.partnerId});
        if (amount != 0)
            put.exec({orgaType(), p.partnerId, amount});
    }
    tx.commit();
}

} // namespace zostore::modules::init
