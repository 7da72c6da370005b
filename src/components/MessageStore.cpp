// Message store over t_Message.
#include "components/MessageStore.h"

#include "db/Connection.h"

namespace zostore::components {

QList<Message> MessageStore::inbox(int userId) const {
    db::Connection conn(m_cnstr);
    QList<Message> out;
    db::Recordset rs = conn.open(
        QStringLiteral("select m.FMsgID, m.FFromUserID, u.FName, m.FTitle, m.FContent, m.FSendTime, m.FRead "
                       "from t_Message m left join t_User u on u.FUserID=m.FFromUserID "
                       "where m.FToUserID=? order by m.FSendTime desc, m.FMsgID desc"),
        {userId});
    for (; !rs.eof(); rs.moveNext())
        out.append({rs.toInt(QStringLiteral("FMsgID")), rs.toInt(QStringLiteral("FFromUserID")),
                    rs.text(QStringLiteral("FName")), rs.text(QStringLiteral("FTitle")),
                    rs.text(QStringLiteral("FContent")), rs.toDateTime(QStringLiteral("FSendTime")),
                    rs.toInt(QStringLiteral("FRead")) != 0});
    return out;
}

int MessageStore::unreadCount(int userId) const {
    db::Connection conn(m_cnstr);
    return conn.scalar(QStringLiteral("select count(*) from t_Message where FToUserID=? and FRead=0"), {userId})
        .toInt();
}

void MessageStore::markRead(int msgId, int userId) {
    db::Connection conn(m_cnstr);
    conn.execute(QStringLiteral("update t_Message set FRead=1 where FMsgID=? and FToUserID=?"), {msgId, userId});
}

void MessageStore::markAllRead(int userId) {
    db::Connection conn(m_cnstr);
    conn.execute(QStringLiteral("update t_Message set FRead=1 where FToUserID=? and FRead=0"), {userId});
}

QString MessageStore::send(int fromUserId, int toUserId, const QString &title, const QString &content) {
    if (toUserId <= 0)
        return QStringLiteral("请选择收件人！");
    if (title.trimmed().isEmpty())
        return QStringLiteral("请输入消息标题！");
    db::Connection conn(m_cnstr);
    if (conn.scalar(QStringLiteral("select count(*) from t_User where FUserID=?"), {toUserId}).toInt() == 0)
        return QStringLiteral("收件人不存在！");
    const QDateTime now = QDateTime::currentDateTime();
    conn.execute(QStringLiteral("insert into t_Message (FFromUserID, FToUserID, FTitle, FContent, FSendTime, FRead) "
                                "values (?, ?, ?, ?, ?, 0)"),
                 {fromUserId, toUserId, title.trimmed(), content, QDateTime(now.date(), QTime(now.time().hour(),
                                                                                              now.time().minute(),
                                                                                              now.time().second()))});
    return {};
}

QList<QPair<int, QString>> MessageStore::users() const {
    db::Connection conn(m_cnstr);
    QList<QPair<int, QString>> out;
    for (db::Recordset rs = conn.open(QStringLiteral("select FUserID, FName from t_User order by FUserID"));
         !rs.eof(); rs.moveNext())
        out.append({rs.toInt(QStringLiteral("FUserID")), rs.text(QStringLiteral("FName"))});
    return out;
}

} // namespace zostore::components
