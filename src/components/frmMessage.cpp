// Message manager windows.
#include "components/frmMessage.h"

#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace zostore::components {

frmMessage::frmMessage(const QString &cnstr, int userId, QWidget *parent)
    : QDialog(parent), m_cnstr(cnstr), m_store(cnstr), m_userId(userId) {
    setObjectName(QStringLiteral("frmMessage"));
    setWindowTitle(QStringLiteral("消息管理"));
    resize(720, 480);

    grdInbox = new ui::Grid(this);
    grdInbox->setCols(4);
    grdInbox->setHeaders({QStringLiteral("状态"), QStringLiteral("发件人"), QStringLiteral("标题"),
                          QStringLiteral("发送时间")});
    for (const auto &[col, key] : {std::pair{0, "FRead"}, {1, "FFromName"}, {2, "FTitle"}, {3, "FSendTime"}})
        grdInbox->setColKey(col, QLatin1String(key));
    grdInbox->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdInbox->setSelectionMode(QAbstractItemView::SingleSelection);
    grdInbox->horizontalHeader()->setStretchLastSection(true);
    grdInbox->setColumnWidth(0, 50);
    grdInbox->setColumnWidth(1, 90);
    grdInbox->setColumnWidth(2, 300);

    txtContent = new QTextBrowser(this);
    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(grdInbox);
    split->addWidget(txtContent);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    cmdNew = new QPushButton(QStringLiteral("写消息(&N)"), this);
    cmdAllRead = new QPushButton(QStringLiteral("全部标为已读(&A)"), this);
    cmdRefresh = new QPushButton(QStringLiteral("刷新(&R)"), this);
    cmdClose = new QPushButton(QStringLiteral("关闭"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdNew);
    buttons->addWidget(cmdAllRead);
    buttons->addWidget(cmdRefresh);
    buttons->addStretch();
    buttons->addWidget(cmdClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(split);
    layout->addLayout(buttons);

    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdRefresh, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { refresh(); }); });
    connect(cmdAllRead, &QPushButton::clicked, this, [this] {
        ui::errorTrap([this] {
            m_store.markAllRead(m_userId);
            refresh();
        });
    });
    connect(cmdNew, &QPushButton::clicked, this, [this] {
        frmSendMessage dlg(m_cnstr, m_userId, this);
        ui::dialogs().exec(dlg);
    });
    connect(grdInbox, &QTableView::clicked, this,
            [this](const QModelIndex &i) { ui::errorTrap([&] { openRow(i.row() + grdInbox->fixedRows()); }); });
    ui::errorTrap([this] { refresh(); });
}

void frmMessage::refresh() {
    m_messages = m_store.inbox(m_userId);
    QVector<QString> cells;
    cells.reserve(m_messages.size() * 4);
    for (const Message &m : m_messages)
        cells << (m.read ? QStringLiteral("已读") : QStringLiteral("未读")) << m.fromName << m.title
              << m.sendTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    grdInbox->setData(int(m_messages.size()), 4, std::move(cells));
    for (int i = 0; i < m_messages.size(); ++i)
        if (!m_messages.at(i).read)
            for (int c = 0; c < 4; ++c)
                grdInbox->setCellForeColor(i + grdInbox->fixedRows(), c, QColor(0, 0, 160));
    txtContent->clear();
}

void frmMessage::openRow(int row) {
    const int i = row - grdInbox->fixedRows();
    if (i < 0 || i >= m_messages.size())
        return;
    Message &m = m_messages[i];
    txtContent->setPlainText(QStringLiteral("发件人：%1\n时间：%2\n标题：%3\n\n%4")
                                 .arg(m.fromName, m.sendTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                      m.title, m.content));
    if (m.read)
        return;
    m_store.markRead(m.id, m_userId);
    m.read = true;
    grdInbox->setTextMatrix(row, 0, QStringLiteral("已读"));
    for (int c = 0; c < 4; ++c)
        grdInbox->setCellForeColor(row, c, palette().color(QPalette::Text));
}

frmSendMessage::frmSendMessage(const QString &cnstr, int fromUserId, QWidget *parent)
    : QDialog(parent), m_store(cnstr), m_fromUserId(fromUserId) {
    setObjectName(QStringLiteral("frmSendMessage"));
    setWindowTitle(QStringLiteral("写消息"));
    cmbTo = new QComboBox(this);
    txtTitle = new QLineEdit(this);
    txtTitle->setMaxLength(255);
    txtBody = new QPlainTextEdit(this);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("收件人(&T)："), cmbTo);
    form->addRow(QStringLiteral("标题(&S)："), txtTitle);
    form->addRow(QStringLiteral("内容(&C)："), txtBody);
    auto *box = new QDialogButtonBox(this);
    cmdSend = box->addButton(QStringLiteral("发送(&S)"), QDialogButtonBox::AcceptRole);
    cmdCancel = box->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(box);
    resize(460, 320);
    ui::errorTrap([this] {
        cmbTo->addItem(QString(), 0);
        for (const auto &[id, name] : m_store.users())
            if (id != m_fromUserId)
                cmbTo->addItem(name, id);
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdSend, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { send(); }); });
}

void frmSendMessage::send() {
    const QString fault = m_store.send(m_fromUserId, cmbTo->currentData().toInt(), txtTitle->text(),
                                       txtBody->toPlainText());
    if (!fault.isEmpty()) {
        ui::dialogs().info(fault);
        return;
    }
    accept();
}

} // namespace zostore::components
