#include "modules/members/MemberMoves.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/LockRetry.h"
#include "db/Transaction.h"
#include "modules/members/MemberStore.h"
#include "db/NumberText.h"

#include <cmath>

namespace zostore::modules::members {

namespace {

constexpr double Largest = 100000000; // a typing slip, not a sum a shop keeps on a card

double cents(double v) {
    return std::round(v * 100) / 100;
}

QString figure(double v) { return db::figureText(cents(v), 2); }

QString checkedReason(const QString &reason) {
    const QString r = reason.trimmed();
    if (r.isEmpty())
        throw Error(QStringLiteral("原因不能为空。"));
    if (r.size() > MemberMoves::ReasonLength)
        throw Error(QStringLiteral("原因最长 %1 个字符。").arg(MemberMoves::ReasonLength));
    return r;
}

double positive(double v, const QString &field) {
    const double c = cents(v);
    if (!std::isfinite(v) || c <= 0)
        throw Error(QStringLiteral("%1必须大于 0。").arg(field));
    if (c >= Largest)
        throw Error(QStringLiteral("%1太大：%2。").arg(field, figure(c)));
    return c;
}

} // namespace

MemberMoves::MemberMoves(db::Connection &conn, int userId) : m_conn(conn), m_user(userId) {}

QString MemberMoves::typeName(MoveType type) {
    switch (type) {
    case MoveType::TopUp:
        return QStringLiteral("充值");
    case MoveType::Refund:
        return QStringLiteral("退款");
    case MoveType::PointsAdjust:
        return QStringLiteral("积分调整");
    case MoveType::PointsExchange:
        return QStringLiteral("积分兑换");
    }
    return {};
}

double MemberMoves::number(const QString &text, const QString &field) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        throw Error(QStringLiteral("请输入%1。").arg(field));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        throw Error(QStringLiteral("%1“%2”不是数字。").arg(field, t.left(20)));
    return v;
}

Move MemberMoves::topUp(int vipId, double amount, const QString &reason) {
    return apply(vipId, MoveType::TopUp, 0, positive(amount, QStringLiteral("充值金额")),
                 checkedReason(reason), QStringLiteral("充值"));
}

Move MemberMoves::refund(int vipId, double amount, const QString &reason) {
    return apply(vipId, MoveType::Refund, 0, -positive(amount, QStringLiteral("退款金额")),
                 checkedReason(reason), QStringLiteral("退款"));
}

Move MemberMoves::adjustPoints(int vipId, double points, const QString &reason) {
    const double p = cents(points);
    if (!std::isfinite(points) || p == 0)
        throw Error(QStringLiteral("调整积分不能为 0。"));
    if (std::abs(p) >= Largest)
        throw Error(QStringLiteral("调整积分太大：%1。").arg(figure(p)));
    return apply(vipId, MoveType::PointsAdjust, p, 0, checkedReason(reason), QStringLiteral("调整积分"));
}

Move MemberMoves::exchange(int vipId, double stepPoints, int count, const QString &reason) {
    if (count < 1)
        throw Error(QStringLiteral("兑换份数必须大于 0。"));
    const QList<ExchangeStep> steps = exchangeSteps();
    if (steps.isEmpty())
        throw Error(QStringLiteral("积分换金额表是空的：请先在“设置参数”的“积分换金额”里设置。"));
    for (const ExchangeStep &s : steps)
        if (std::abs(s.points - stepPoints) < 0.005) {
            const double points = cents(s.points * count), amount = cents(s.amount * count);
            if (points >= Largest || amount >= Largest)
                throw Error(QStringLiteral("兑换份数太大：%1。").arg(count));
            return apply(vipId, MoveType::PointsExchange, -points, amount, checkedReason(reason),
                         QStringLiteral("兑换积分"));
        }
    throw Error(QStringLiteral("积分换金额表里没有 %1 分这一档。").arg(figure(stepPoints)));
}

Move MemberMoves::apply(int vipId, MoveType type, double points, double amount, const QString &reason,
                        const QString &what) {
    return db::withLockRetry([&] {
        db::Transaction tx(m_conn);
        MemberStore store(m_conn);
        const Member m = store.member(vipId);
        const QString card = m.cardNo.isEmpty() ? m.owner : m.cardNo;
        if (m.deleted)
            throw Error(QStringLiteral("会员“%1”已删除，不能%2。").arg(m.owner, what));
        if (m.state != CardState::InUse)
            throw Error(
                QStringLiteral("会员卡“%1”已%2，不能%3。").arg(card, MemberStore::stateName(m.state), what));
        if (m.expiredOn(QDate::currentDate()))
            throw Error(QStringLiteral("会员卡“%1”已于 %2 过期，不能%3。")
                            .arg(card, m.expiry.toString(QStringLiteral("yyyy-MM-dd")), what));
        const QString taking = type == MoveType::PointsExchange ? QStringLiteral("兑换")
                               : type == MoveType::Refund       ? QStringLiteral("退")
                                                                : QStringLiteral("扣除");
        const QString shortOfPoints = QStringLiteral("积分不足：会员“%1”只有 %2 分，不能%3 %4 分。");
        const QString shortOfMoney = QStringLiteral("储值余额不足：会员“%1”只有 %2 元，不能%3 %4 元。");
        if (cents(m.points + points) < 0)
            throw Error(shortOfPoints.arg(m.owner, figure(m.points), taking, figure(-points)));
        if (cents(m.balance + amount) < 0)
            throw Error(shortOfMoney.arg(m.owner, figure(m.balance), taking, figure(-amount)));
        // The condition holds the rule against a change another workstation committed meanwhile.
        const int changed = m_conn.execute(
            QStringLiteral("update Vip set FJf=round(cast(coalesce(FJf,0)+? as numeric),2),"
                           "FBalance=round(cast(coalesce(FBalance,0)+? as numeric),2) "
                           "where FVipID=? and coalesce(FJf,0)+?>-0.005 and coalesce(FBalance,0)+?>-0.005"),
            {points, amount, vipId, points, amount});
        const Member after = store.member(vipId);
        if (changed == 0) {
            if (points < 0 && cents(after.points + points) < 0)
                throw Error(shortOfPoints.arg(m.owner, figure(after.points), taking, figure(-points)));
            throw Error(shortOfMoney.arg(m.owner, figure(after.balance), taking, figure(-amount)));
        }
        Move mv;
        mv.date = QDateTime::currentDateTime();
        mv.date.setTime(QTime(mv.date.time().hour(), mv.date.time().minute(), mv.date.time().second()));
        mv.type = type;
        mv.points = points;
        mv.amount = amount;
        mv.pointsAfter = after.points;
        mv.balanceAfter = after.balance;
        mv.reason = reason;
        m_conn.execute(
            QStringLiteral("insert into VipMove(FVipID,FDate,FType,FJf,FAmount,FJfAfter,FBalanceAfter,"
                           "FUserID,FReason) values(?,?,?,?,?,?,?,?,?)"),
            {vipId, mv.date, static_cast<int>(type), points, amount, after.points, after.balance, m_user,
             reason});
        mv.id = m_conn.scalar(QStringLiteral("select max(FID) from VipMove where FVipID=?"), {vipId})
                    .toLongLong();
        mv.user =
            m_conn.scalar(QStringLiteral("select FName from t_User where FUserID=?"), {m_user}).toString();
        tx.commit();
        return mv;
    });
}

QList<Move> MemberMoves::history(int vipId) const {
    QList<Move> out;
    for (db::Recordset rs = m_conn.open(
             QStringLiteral(
                 "select m.FID,m.FDate,m.FType,m.FJf,m.FAmount,m.FJfAfter,m.FBalanceAfter,m.FReason,"
                 "u.FName from VipMove m left join t_User u on u.FUserID=m.FUserID "
                 "where m.FVipID=? order by m.FID desc"),
             {vipId}, db::Cursor::Forward);
         !rs.eof(); rs.moveNext()) {
        Move mv;
        mv.id = rs.toInt64(QStringLiteral("FID"));
        mv.date = rs.toDateTime(QStringLiteral("FDate"));
        mv.type = static_cast<MoveType>(rs.toInt(QStringLiteral("FType")));
        mv.points = rs.toDouble(QStringLiteral("FJf"));
        mv.amount = rs.toDouble(QStringLiteral("FAmount"));
        mv.pointsAfter = rs.toDouble(QStringLiteral("FJfAfter"));
        mv.balanceAfter = rs.toDouble(QStringLiteral("FBalanceAfter"));
        mv.reason = rs.text(QStringLiteral("FReason"));
        mv.user = rs.text(QStringLiteral("FName"));
        out.append(mv);
    }
    return out;
}

QList<ExchangeStep> MemberMoves::exchangeSteps() const {
    QList<ExchangeStep> out;
    for (db::Recordset rs =
             m_conn.open(QStringLiteral("select FJf,FAmount from VipJfToAmount where FJf>0 order by FJf"));
         !rs.eof(); rs.moveNext())
        out.append({rs.toDouble(QStringLiteral("FJf")), rs.toDouble(QStringLiteral("FAmount"))});
    return out;
}

} // namespace zostore::modules::members
