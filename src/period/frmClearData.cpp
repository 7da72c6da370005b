// History clearing window: deletes the business data before a chosen day.
#include "period/frmClearData.h"

#include "accountdb/AccountBackup.h"
#include "db/Error.h"
#include "period/HistoryClearing.h"
#include "period/PeriodMath.h"
#include "startup/LoginContext.h"
#include "startup/SettingsStore.h"
#include "ui/Dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zostore::period {

namespace {

const QString App = QStringLiteral("ZoStore");
const QString Section = QStringLiteral("ClearData");

bool storedFlag(const QString &key) {
    return startup::SettingsStore::value(App, Section, key, QStringLiteral("1")) == u"1";
}

// Runs body under the hourglass; an error is shown with its description once the pointer is back.
bool underHourglass(const std::function<void()> &body) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        body();
        QApplication::restoreOverrideCursor();
        return true;
    } catch (const Error &e) {
        QApplication::restoreOverrideCursor();
        ui::dialogs().message(e.description(), ui::Icon::Information);
    } catch (const std::exception &e) {
        QApplication::restoreOverrideCursor();
        ui::dialogs().message(QString::fromLocal8Bit(e.what()), ui::Icon::Information);
    }
    return false;
}

} // namespace

frmClearData::frmClearData(QWidget *parent, const QDate &today) : QDialog(parent) {
    setObjectName(QStringLiteral("frmClearData"));
    setWindowTitle(QStringLiteral("清除历史数据"));

    dtpDate = new QDateEdit(this);
    dtpDate->setObjectName(QStringLiteral("dtpDate"));
    dtpDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dtpDate->setCalendarPopup(true);
    lblRemark = new QLabel(this);
    lblRemark->setObjectName(QStringLiteral("lblRemark"));
    auto *dateRow = new QHBoxLayout;
    dateRow->addWidget(new QLabel(QStringLiteral("清除--》"), this));
    dateRow->addWidget(dtpDate);
    dateRow->addWidget(new QLabel(QStringLiteral("以前的所有数据。"), this));
    dateRow->addStretch();

    auto check = [this](const char *name, const char *caption) {
        auto *c = new QCheckBox(QString::fromUtf8(caption), this);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    Check1 = check("Check1", "保留库存余额");
    Check2 = check("Check2", "保留往来款余额");
    chkInit = check("chkInit", "返回初始化状态");
    chkDelItem = check("chkDelItem", "删除不再使用的商品");
    chkClearOrder = check("chkClearOrder", "清除已经执行完成的订单");

    auto *options = new QGroupBox(this);
    auto *optionsLayout = new QVBoxLayout(options);
    optionsLayout->addLayout(dateRow);
    optionsLayout->addWidget(lblRemark);
    optionsLayout->addSpacing(4);
    for (QCheckBox *c : {Check1, Check2, chkInit, chkDelItem, chkClearOrder})
        optionsLayout->addWidget(c);

    cmdBackup = new QPushButton(QStringLiteral("先备份帐套(&B)"), this);
    cmdBackup->setObjectName(QStringLiteral("cmdBackup"));
    cmdOk = new QPushButton(QStringLiteral("确定(&O)"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdExit = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    for (QPushButton *b : {cmdBackup, cmdOk, cmdExit}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(96);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdBackup);
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdExit);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(options);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    connect(dtpDate, &QDateEdit::dateChanged, this, &frmClearData::dtpDate_Change);
    connect(Check1, &QCheckBox::toggled, this, [](bool on) {
        startup::SettingsStore::setValue(App, Section, QStringLiteral("RemainStock"),
                                         on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    connect(Check2, &QCheckBox::toggled, this, [](bool on) {
        startup::SettingsStore::setValue(App, Section, QStringLiteral("RemainWL"),
                                         on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    connect(cmdOk, &QPushButton::clicked, this, &frmClearData::cmdOk_Click);
    connect(cmdBackup, &QPushButton::clicked, this, &frmClearData::cmdBackup_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);
    Form_Load(today);
}

void frmClearData::Form_Load(const QDate &today) {
    dtpDate->setDate(today.addDays(1));
    dtpDate_Change();
    // Set before the signals matter: loading the stored state must not write it back.
    const QSignalBlocker b1(Check1), b2(Check2);
    Check1->setChecked(storedFlag(QStringLiteral("RemainStock")));
    Check2->setChecked(storedFlag(QStringLiteral("RemainWL")));
    chkInit->setChecked(false);
    chkDelItem->setChecked(false);
    chkClearOrder->setChecked(true);
    if (!startup::loginContext().isManager()) {
        Check1->setEnabled(false);
        Check2->setEnabled(false);
    }
}

void frmClearData::dtpDate_Change() {
    lblRemark->setText(QStringLiteral("(不含") + dtpDate->date().toString(QStringLiteral("yyyy-MM-dd")) +
                       u')');
}

void frmClearData::cmdOk_Click() {
    const auto &ctx = startup::loginContext();
    const YearPeriod cur{ctx.currentYear(), ctx.currentPeriod()};
    if (!isInPeriod(dtpDate->date(), cur)) {
        ui::dialogs().message(clearDateMessage(cur), ui::Icon::Information);
        return;
    }
    if (ui::dialogs().question(QStringLiteral("清除数据之前最好先备份帐套，是否现在清除数据？"),
                               ui::Icon::Question, ui::Answer::No) != ui::Answer::Yes)
        return;
    ClearOptions o;
    o.remainStock = Check1->isChecked();
    o.remainWL = Check2->isChecked();
    o.reinit = chkInit->isChecked();
    o.remainDate = dtpDate->date();
    o.delItem = chkDelItem->isChecked();
    o.delCplOrder = chkClearOrder->isChecked();
    if (!underHourglass([&] { clearHistory(ctx.cnstr(), o); }))
        return;
    // the procedure made the current month the first one
    startup::loginContext().setStartPeriod(static_cast<qint16>(cur.year), static_cast<qint16>(cur.period));
    ui::dialogs().message(QStringLiteral("删除数据成功！"), ui::Icon::Information);
    accept();
}

void frmClearData::cmdBackup_Click() {
    const auto &ctx = startup::loginContext();
    QString file;
    if (underHourglass([&] { file = accountdb::backupAccount(ctx.cnstr(), ctx.acctName()); })) {
        m_lastBackup = file;
        ui::dialogs().message(QStringLiteral("帐套已备份到：\n") + QDir::toNativeSeparators(file),
                              ui::Icon::Information);
    }
}

} // namespace zostore::period
