// Messages between the users of an account set (t_Message).
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

namespace zostore::components {

struct Message {
    int id = 0;
    int fromUserId = 0;
    QString fromName;
    QString title;
    QString content;
    QDateTime sendTime;
    bool read = false;
};

class MessageStore {
public:
    explicit MessageStore(QString cnstr) : m_cnstr(std::move(cnstr)) {}

    // Newest first.
    QList<Message> inbox(int userId) const;
    int unreadCount(int userId) const;
    // Only the addressee's own message is marked.
    void markRead(int msgId, int userId);
    void markAllRead(int userId);
    // Empty text on success, else what the user must correct; nothing is stored then.
    QString send(int fromUserId, int toUserId, const QString &title, const QString &content);
    QList<QPair<int, QString>> users() const;

private:
    QString m_cnstr;
};

} // namespace zostore::components
