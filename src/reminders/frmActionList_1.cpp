#include "reminders/frmActionList_1.h"

#include "db/Connection.h"
#include "reminders/ReminderPages.h"
#include "startup/LoginContext.h"
#include "ui/ErrorTrap.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace zostore::reminders {

frmActionList_1::frmActionList_1(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmActionList_1"));
    setWindowTitle(QStringLiteral("请选择仓库"));
    auto *lay = new QGridLayout(this);
    auto *label = new QLabel(QStringLiteral("仓库名称："), this);
    cmbStock = new QComboBox(this);
    cmbStock->setObjectName(QStringLiteral("cmbStock"));
    cmbStock->setMinimumWidth(220);
    cmdOK = new QPushButton(QStringLiteral("确定(&O)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdExit = new QPushButton(QStringLiteral("关闭(&C)"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    lay->addWidget(label, 0, 0);
    lay->addWidget(cmbStock, 0, 1, 1, 3);
    lay->addWidget(cmdOK, 1, 2);
    lay->addWidget(cmdExit, 1, 3);
    lay->setColumnStretch(1, 1);

    cmbStock->addItem(AllStores);
    ui::errorTrap([this] {
        db::Connection conn(startup::loginContext().cnstr());
        for (auto rs = conn.open(QStringLiteral("Select FItemID,FName from t_Stock order by FNumber"));
             !rs.eof(); rs.moveNext())
            cmbStock->addItem(rs.text(QStringLiteral("FName")));
    });
    cmbStock->setCurrentIndex(0);
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        m_ok = true;
        m_stockName = cmbStock->currentText();
        accept();
    });
    connect(cmdExit, &QPushButton::clicked, this, [this] {
        m_ok = false;
        reject();
    });
}

} // namespace zostore::reminders
