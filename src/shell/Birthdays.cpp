// The join with the bills yields one row per bill, so a member with two birthday bills is listed twice.
#include "shell/Birthdays.h"

#include "db/Connection.h"

namespace zostore::shell {

QList<BirthdayEntry> loadBirthdays(const QString &cnstr, int days, const QDate &today) {
    QList<BirthdayEntry> entries;
    if (days <= 0)
        return entries;
    db::Connection conn(cnstr);
    const QDate from = today.addDays(-days);
    int row = 0, column = 0;
    for (int i = 0; i < days; ++i) {
        const QDate d = today.addDays(i);
        db::Recordset rs = conn.open(
            QStringLiteral("select t1.FOwner,t1.FPhone,t1.FVipID,t2.FRemark "
                           "from Vip t1 left join (select FVipID,FRemark from icstockbill "
                           "where FRemark=? and FDate between ? and ?) "
                           "t2 on t1.FVipID=t2.FVipID where month(fbirthdate)=? and day(fbirthdate)=?"),
            {QString::fromUtf8(BirthdayRemark), from, today, d.month(), d.day()}, db::Cursor::Forward);
        for (; !rs.eof(); rs.moveNext()) {
            BirthdayEntry e;
            e.row = row;
            e.column = column;
            e.text = QString::number(entries.size() + 1) + QStringLiteral(".  ") +
                     rs.text(QStringLiteral("FOwner")) + QLatin1Char(' ') +
                     rs.text(QStringLiteral("FPhone")) + QStringLiteral("  ") + QString::number(d.month()) +
                     QStringLiteral("月") + QString::number(d.day()) + QStringLiteral("日");
            e.vipId = rs.text(QStringLiteral("FVipID"));
            e.marked = !rs.isNull(QStringLiteral("FRemark"));
            entries.append(e);
            if (++row > 2) {
                row = 0;
                ++column;
            }
        }
    }
    return entries;
}

} // namespace zostore::shell
