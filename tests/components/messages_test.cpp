// Messages between users: sending, counting new ones, reading marks them read.
#include "AccountFixture.h"
#include "components/MessageComponents.h"
#include "components/MessageStore.h"
#include "components/frmMessage.h"
#include "ui/Grid.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

using namespace zostore;
using namespace zostore::components;

class MessagesTest : public AccountFixture {};

TEST_P(MessagesTest, new_messages_are_counted_until_read_in_the_message_window) {
    ui::DialogsScope scope(m_dialogs);
    MessageStore store(cnstr());
    EXPECT_EQ(store.send(1, 0, QStringLiteral("标题"), QString()), QStringLiteral("请选择收件人！"));
    EXPECT_EQ(store.send(1, 2, QStringLiteral("  "), QString()), QStringLiteral("请输入消息标题！"));
    EXPECT_EQ(store.send(1, 99, QStringLiteral("标题"), QString()), QStringLiteral("收件人不存在！"));
    EXPECT_EQ(store.send(1, 2, QStringLiteral("盘点通知"), QStringLiteral("周六盘点")), QString());
    EXPECT_EQ(store.send(3, 2, QStringLiteral("调价"), QStringLiteral("苹果调价")), QString());
    EXPECT_EQ(store.send(2, 3, QStringLiteral("回复"), QString()), QString());

    ReceiveMsgComponent receive;
    const auto count = [&](int user) {
        return receive.invoke(QStringLiteral("DoReceive"), {cnstr(), user}).toInt();
    };
    EXPECT_EQ(count(2), 2);
    EXPECT_EQ(count(3), 1);
    EXPECT_EQ(count(1), 0);

    // User 2 opens the oldest message, then writes to admin from the window.
    m_dialogs.queueWindow([&](QDialog &d) {
        auto &w = static_cast<frmMessage &>(d);
        EXPECT_EQ(w.grdInbox->rows(), 3);
        const int oldest = w.grdInbox->textMatrix(1, 2) == QStringLiteral("盘点通知") ? 1 : 2;
        EXPECT_EQ(w.grdInbox->textMatrix(oldest, 0), QStringLiteral("未读"));
        w.openRow(oldest);
        EXPECT_TRUE(w.txtContent->toPlainText().contains(QStringLiteral("周六盘点")));
        EXPECT_EQ(w.grdInbox->textMatrix(oldest, 0), QStringLiteral("已读"));
        m_dialogs.queueWindow([](QDialog &s) {
            auto &send = static_cast<frmSendMessage &>(s);
            send.cmbTo->setCurrentIndex(send.cmbTo->findText(QStringLiteral("admin")));
            send.txtTitle->setText(QStringLiteral("收到"));
            send.txtBody->setPlainText(QStringLiteral("好的"));
            QTest::mouseClick(send.cmdSend, Qt::LeftButton);
            return send.result();
        });
        QTest::mouseClick(w.cmdNew, Qt::LeftButton);
        return int(QDialog::Accepted);
    });
    MessageComponent msg;
    msg.invoke(QStringLiteral("ShowMsg"), {cnstr(), 2});
    EXPECT_EQ(count(2), 1);
    EXPECT_EQ(count(3), 1); // another user's message is untouched
    EXPECT_EQ(count(1), 1);
    const QList<Message> inbox = store.inbox(1);
    ASSERT_EQ(inbox.size(), 1);
    EXPECT_EQ(inbox[0].fromName, QStringLiteral("王丽"));
    EXPECT_EQ(inbox[0].content, QStringLiteral("好的"));

    store.markAllRead(2);
    EXPECT_EQ(count(2), 0);
}

ZOSTORE_BACKENDS(MessagesTest);
