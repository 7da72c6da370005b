// The message manager: inbox, reading marks the message read, writing to another user.
#pragma once

#include "components/MessageStore.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTextBrowser;

namespace zostore::ui {
class Grid;
}

namespace zostore::components {

class frmMessage : public QDialog {
    Q_OBJECT
public:
    frmMessage(const QString &cnstr, int userId, QWidget *parent = nullptr);

    ui::Grid *grdInbox;
    QTextBrowser *txtContent;
    QPushButton *cmdNew;
    QPushButton *cmdAllRead;
    QPushButton *cmdRefresh;
    QPushButton *cmdClose;

    void refresh();
    // Shows the message of a grid row and marks it read.
    void openRow(int row);

private:
    QString m_cnstr;
    MessageStore m_store;
    int m_userId;
    QList<Message> m_messages;
};

class frmSendMessage : public QDialog {
    Q_OBJECT
public:
    frmSendMessage(const QString &cnstr, int fromUserId, QWidget *parent = nullptr);

    QComboBox *cmbTo;
    QLineEdit *txtTitle;
    QPlainTextEdit *txtBody;
    QPushButton *cmdSend;
    QPushButton *cmdCancel;

private:
    void send();
    MessageStore m_store;
    int m_fromUserId;
};

} // namespace zostore::components
