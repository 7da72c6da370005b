#include "modules/members/MemberStore.h"

#include "accountdb/SystemProfile.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "db/Transaction.h"

#include <QRegularExpression>
#include <cmath>

namespace zostore::modules::members {

namespace {

const QString Columns =
    QStringLiteral("select FVipID,FCardNo,FOwner,FPhone,fbirthdate,FJf,FBalance,FExpiryDate,"
                   "FState,FDel from Vip ");

Member read(const db::Recordset &rs) {
    Member m;
    m.id = rs.toInt(QStringLiteral("FVipID"));
    m.cardNo = rs.text(QStringLiteral("FCardNo"));
    m.owner = rs.text(QStringLiteral("FOwner"));
    m.phone = rs.text(QStringLiteral("FPhone"));
    m.birthDate = rs.toDate(QStringLiteral("fbirthdate"));
    m.points = rs.toDouble(QStringLiteral("FJf"));
    m.balance = rs.toDouble(QStringLiteral("FBalance"));
    m.expiry = rs.toDate(QStringLiteral("FExpiryDate"));
    const int state = rs.toInt(QStringLiteral("FState"));
    m.state = state == 1 ? CardState::Disabled : state == 2 ? CardState::Lost : CardState::InUse;
    m.deleted = rs.toInt(QStringLiteral("FDel")) != 0;
    return m;
}

QVariant dateOrNull(const QDate &d) {
    return d.isValid() ? QVariant(d.startOfDay()) : QVariant(QMetaType(QMetaType::QDateTime));
}

} // namespace

MemberStore::MemberStore(db::Connection &conn) : m_conn(conn) {}

QString MemberStore::stateName(CardState state) {
    switch (state) {
    case CardState::Disabled:
        return QStringLiteral("停用");
    case CardState::Lost:
        return QStringLiteral("挂失");
    case CardState::InUse:
        break;
    }
    return QStringLiteral("正常");
}

QDate MemberStore::date(const QString &text, const QString &field) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    for (const QString &f :
         {QStringLiteral("yyyy-MM-dd"), QStringLiteral("yyyy-M-d"), QStringLiteral("yyyyMMdd")}) {
        const QDate d = QDate::fromString(t, f);
        if (d.isValid())
            return d;
    }
    throw Error(QStringLiteral("%1“%2”不是日期，请按 yyyy-MM-dd 输入，例如 1985-03-08。")
                    .arg(field, db::shortened(t, 20)));
}

QString MemberStore::pointsText(double points) {
    const double whole = std::round(points);
    if (std::abs(points - whole) < 0.005 && std::abs(whole) < 1e15)
        return QString::number(static_cast<qint64>(whole));
    QString t = QString::number(std::round(points * 100) / 100, 'f', 2);
    while (t.endsWith(QLatin1Char('0')))
        t.chop(1);
    if (t.endsWith(QLatin1Char('.')))
        t.chop(1);
    return t == QLatin1String("-0") ? QStringLiteral("0") : t;
}

QString MemberStore::summary(const Member &m) {
    QString s = QStringLiteral("卡号 %1　%2　%3　积分 %4　储值余额 %5 元")
                    .arg(m.cardNo, m.owner, m.phone.isEmpty() ? QStringLiteral("（无电话）") : m.phone,
                         pointsText(m.points), QString::number(m.balance, 'f', 2));
    if (m.expiry.isValid())
        s += QStringLiteral("　有效期至 %1").arg(m.expiry.toString(QStringLiteral("yyyy-MM-dd")));
    if (m.state != CardState::InUse)
        s += QStringLiteral("　已%1").arg(stateName(m.state));
    else if (m.expiredOn(QDate::currentDate()))
        s += QStringLiteral("　已过期");
    return s;
}

QList<Member> MemberStore::members() const {
    QList<Member> out;
    for (db::Recordset rs =
             m_conn.open(Columns + QStringLiteral("where coalesce(FDel,0)=0 order by FCardNo,FVipID"), {},
                         db::Cursor::Forward);
         !rs.eof(); rs.moveNext())
        out.append(read(rs));
    return out;
}

const QString MemberStore::ListSql = QStringLiteral(
    "select FVipID,FCardNo,FOwner,FPhone,cast(fbirthdate as varchar(10)),FJf,FBalance,"
    "cast(FExpiryDate as varchar(10)),FState from Vip where coalesce(FDel,0)=0 order by FCardNo,FVipID");

QList<MemberListRow> MemberStore::listRows() const {
    QList<MemberListRow> out;
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    const QString states[] = {stateName(CardState::InUse), stateName(CardState::Disabled),
                              stateName(CardState::Lost)};
    const QString expired = QStringLiteral("过期");
    // Dates travel as text: parsing them into date-times would be half the time of the list on PostgreSQL.
    for (db::Recordset rs = m_conn.open(ListSql, {}, db::Cursor::Forward); !rs.eof(); rs.moveNext()) {
        MemberListRow r;
        r.id = rs.value(0).toInt();
        r.idText = QString::number(r.id);
        r.cardNo = rs.value(1).toString();
        r.owner = rs.value(2).toString();
        r.phone = rs.value(3).toString();
        r.birthDate = rs.value(4).toString().left(10);
        r.points = pointsText(db::Recordset::doubleOf(rs.value(5)));
        r.balance = QString::number(db::Recordset::doubleOf(rs.value(6)), 'f', 2);
        r.expiry = rs.value(7).toString().left(10);
        const int state = rs.value(8).toInt();
        r.state = state == 0 && !r.expiry.isEmpty() && r.expiry < today
                      ? expired
                      : states[state >= 0 && state < 3 ? state : 0];
        out.append(std::move(r));
    }
    return out;
}

Member MemberStore::member(int id) const {
    db::Recordset rs = m_conn.open(Columns + QStringLiteral("where FVipID=?"), {id});
    if (rs.eof())
        throw Error(QStringLiteral("编号为 %1 的会员不存在（可能已被别人删除）。").arg(id));
    return read(rs);
}

std::optional<Member> MemberStore::findCard(const QString &cardNo) const {
    db::Recordset rs =
        m_conn.open(Columns + QStringLiteral("where FCardNo=? and coalesce(FDel,0)=0"), {cardNo.trimmed()});
    if (rs.eof())
        return std::nullopt;
    return read(rs);
}

int MemberStore::cardLength() const {
    bool ok = false;
    const int len = accountdb::readProfile(m_conn, QStringLiteral("CardLen")).trimmed().toInt(&ok);
    return ok && len > 0 ? len : 0;
}

MemberInput MemberStore::checked(const MemberInput &input) const {
    MemberInput in = input;
    in.cardNo = in.cardNo.trimmed();
    in.owner = in.owner.trimmed();
    in.phone = in.phone.trimmed();
    if (in.cardNo.isEmpty())
        throw Error(QStringLiteral("会员卡号不能为空。"));
    static const QRegularExpression cardChars(QStringLiteral("^[0-9A-Za-z]+$"));
    if (!cardChars.match(in.cardNo).hasMatch())
        throw Error(QStringLiteral("会员卡号只能由数字和字母组成：“%1”。").arg(db::shortened(in.cardNo)));
    const int len = cardLength();
    if (len > 0 && in.cardNo.size() != len)
        throw Error(QStringLiteral("会员卡号必须是 %1 位（“%2”是 %3 位）。")
                        .arg(len)
                        .arg(db::shortened(in.cardNo))
                        .arg(in.cardNo.size()));
    if (in.cardNo.size() > CardLength)
        throw Error(QStringLiteral("会员卡号最长 %1 位。").arg(CardLength));
    if (in.owner.isEmpty())
        throw Error(QStringLiteral("会员姓名不能为空。"));
    if (in.owner.size() > OwnerLength)
        throw Error(
            QStringLiteral("会员姓名最长 %1 个字符（现在是 %2 个）。").arg(OwnerLength).arg(in.owner.size()));
    static const QRegularExpression phoneChars(QStringLiteral("^[0-9 +\\-]*$"));
    if (!phoneChars.match(in.phone).hasMatch())
        throw Error(QStringLiteral("电话只能包含数字、空格、“-”和“+”：“%1”。").arg(db::shortened(in.phone)));
    if (in.phone.size() > PhoneLength)
        throw Error(QStringLiteral("电话最长 %1 个字符。").arg(PhoneLength));
    if (in.birthDate.isValid() && in.birthDate > QDate::currentDate())
        throw Error(QStringLiteral("生日不能晚于今天。"));
    return in;
}

void MemberStore::requireFreeCard(const QString &cardNo, int exceptId) const {
    db::Recordset rs = m_conn.open(
        QStringLiteral("select FOwner,FDel from Vip where FCardNo=? and FVipID<>?"), {cardNo, exceptId});
    if (rs.eof())
        return;
    if (rs.toInt(QStringLiteral("FDel")) != 0)
        throw Error(QStringLiteral("会员卡号“%1”属于已删除的会员“%2”（为了保留其单据和流水），不能再用。")
                        .arg(cardNo, db::shortened(rs.text(QStringLiteral("FOwner")))));
    throw Error(QStringLiteral("会员卡号“%1”已经是会员“%2”的卡。")
                    .arg(cardNo, db::shortened(rs.text(QStringLiteral("FOwner")))));
}

int MemberStore::add(const MemberInput &input) {
    const MemberInput in = checked(input);
    // Another workstation may take the same number or card between the check and the insert; the keys
    // refuse the second insert, and a second look says which one it was.
    for (int attempt = 1;; ++attempt) {
        int id = 0;
        try {
            db::Transaction tx(m_conn);
            requireFreeCard(in.cardNo, 0);
            id = m_conn.scalar(QStringLiteral("select coalesce(max(FVipID),0)+1 from Vip")).toInt();
            m_conn.execute(
                QStringLiteral("insert into Vip(FVipID,FCardNo,FOwner,FPhone,fbirthdate,FJf,FBalance,"
                               "FExpiryDate,FState,FDel,FCreateDate) values(?,?,?,?,?,0,0,?,?,0,?)"),
                {id, in.cardNo, in.owner, in.phone, dateOrNull(in.birthDate), dateOrNull(in.expiry),
                 static_cast<int>(in.state), QDateTime::currentDateTime()});
            tx.commit();
            return id;
        } catch (const Error &) {
            requireFreeCard(in.cardNo, 0);
            if (attempt >= 3 ||
                m_conn.scalar(QStringLiteral("select count(*) from Vip where FVipID=?"), {id}).toInt() == 0)
                throw;
        }
    }
}

void MemberStore::update(int id, const MemberInput &input) {
    const MemberInput in = checked(input);
    try {
        db::Transaction tx(m_conn);
        if (member(id).deleted)
            throw Error(QStringLiteral("会员“%1”已删除，不能修改。").arg(member(id).owner));
        requireFreeCard(in.cardNo, id);
        m_conn.execute(
            QStringLiteral("update Vip set FCardNo=?,FOwner=?,FPhone=?,fbirthdate=?,FExpiryDate=?,FState=? "
                           "where FVipID=?"),
            {in.cardNo, in.owner, in.phone, dateOrNull(in.birthDate), dateOrNull(in.expiry),
             static_cast<int>(in.state), id});
        tx.commit();
    } catch (const Error &) {
        requireFreeCard(in.cardNo, id);
        throw;
    }
}

bool MemberStore::hasHistory(int id) const {
    return m_conn.scalar(QStringLiteral("select count(*) from VipMove where FVipID=?"), {id}).toInt() > 0 ||
           m_conn.scalar(QStringLiteral("select count(*) from ICStockBill where FVipID=?"), {id}).toInt() > 0;
}

bool MemberStore::remove(int id) {
    db::Transaction tx(m_conn);
    member(id);
    const bool keep = hasHistory(id);
    // The birthday strip reads every row of Vip: a removed member's birth date goes with him.
    if (keep)
        m_conn.execute(QStringLiteral("update Vip set FDel=1,fbirthdate=null where FVipID=?"), {id});
    else
        m_conn.execute(QStringLiteral("delete from Vip where FVipID=?"), {id});
    tx.commit();
    return !keep;
}

} // namespace zostore::modules::members
