#include "counter/frmSdyhGroup.h"

#include "ui/DateTimePickers.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace zostore::counter {

frmSdyhGroup::frmSdyhGroup(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSdyhGroup"));
    setWindowTitle(QStringLiteral("新增时段优惠分组"));
    dtpFromDate = new ui::DatePicker(this);
    dtpFromTime = new ui::TimePicker(this);
    dtpToDate = new ui::DatePicker(this);
    dtpToTime = new ui::TimePicker(this);
    dtpFromDate->setObjectName(QStringLiteral("dtpFromDate"));
    dtpFromTime->setObjectName(QStringLiteral("dtpFromTime"));
    dtpToDate->setObjectName(QStringLiteral("dtpToDate"));
    dtpToTime->setObjectName(QStringLiteral("dtpToTime"));
    cmdSave = new QPushButton(QStringLiteral("保存(&S)"), this);
    cmdExit = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdSave->setDefault(true);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("优惠起始日期："), this), 0, 0);
    grid->addWidget(dtpFromDate, 0, 1);
    grid->addWidget(dtpFromTime, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("截止日期："), this), 1, 0, Qt::AlignRight);
    grid->addWidget(dtpToDate, 1, 1);
    grid->addWidget(dtpToTime, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdExit);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(cmdSave, &QPushButton::clicked, this, [this] {
        // Built from the pickers' parts as text, so what is stored is what the pickers showed.
        FromDate = QDateTime::fromString(dtpFromDate->text() + QLatin1Char(' ') + dtpFromTime->text(),
                                         QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        ToDate = QDateTime::fromString(dtpToDate->text() + QLatin1Char(' ') + dtpToTime->text(),
                                       QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        m_isok = true;
        accept();
    });
    connect(cmdExit, &QPushButton::clicked, this, [this] {
        m_isok = false;
        reject();
    });
}

void frmSdyhGroup::setDates(const QDateTime &from, const QDateTime &to) {
    FromDate = from;
    ToDate = to;
    dtpFromDate->setDate(FromDate.date());
    dtpFromTime->setTime(FromDate.time());
    dtpToDate->setDate(ToDate.date());
    dtpToTime->setTime(ToDate.time());
}

} // namespace zostore::counter
