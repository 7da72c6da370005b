// Stand-in main window.
#include "app/frmMainStandIn.h"

#include "db/ConnectionString.h"
#include "startup/ExitConfirmation.h"
#include "startup/LoginContext.h"
#include "startup/ProgramFolder.h"
#include "ui/ErrorTrap.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace zostore::app {

namespace {

QString redacted(const QString &cnstr) {
    if (cnstr.isEmpty())
        return {};
    try {
        return db::ConnectionString::parse(cnstr).redacted();
    } catch (...) {
        return QStringLiteral("（无法解析的连接字符串）");
    }
}

QString yesNo(bool b) { return b ? QStringLiteral("是") : QStringLiteral("否"); }

} // namespace

frmMainStandIn::frmMainStandIn(QWidget *parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(24, 20, 24, 20);
    auto *title = new QLabel(QStringLiteral("登录信息"), central);
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 1.4);
    f.setBold(true);
    title->setFont(f);
    layout->addWidget(title);
    auto *box = new QGroupBox(central);
    m_form = new QFormLayout(box);
    m_form->setLabelAlignment(Qt::AlignRight);
    m_form->setHorizontalSpacing(16);
    m_form->setVerticalSpacing(8);
    lblAcct = addRow(QStringLiteral("账套："));
    lblUser = addRow(QStringLiteral("操作员："));
    lblManager = addRow(QStringLiteral("系统管理员："));
    lblPeriod = addRow(QStringLiteral("当前月份："));
    lblStart = addRow(QStringLiteral("启用月份："));
    lblInitClosed = addRow(QStringLiteral("初始化已结束："));
    lblBirthday = addRow(QStringLiteral("会员生日提前天数："));
    lblShowAction = addRow(QStringLiteral("启动时显示每日提醒："));
    lblCnstr = addRow(QStringLiteral("账套连接："));
    lblMaster = addRow(QStringLiteral("服务器连接："));
    lblSystemDb = addRow(QStringLiteral("系统库连接："));
    lblHelp = addRow(QStringLiteral("帮助文件："));
    lblVersion = addRow(QStringLiteral("版本标签："));
    layout->addWidget(box);
    auto *note = new QLabel(QStringLiteral("主窗口的功能菜单尚未装入本程序。"), central);
    note->setStyleSheet(QStringLiteral("color: gray"));
    layout->addWidget(note);
    layout->addStretch();
    setCentralWidget(central);
    resize(720, 520);
    load();
}

QLabel *frmMainStandIn::addRow(const QString &caption) {
    auto *l = new QLabel(this);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setWordWrap(true);
    l->setMinimumWidth(420);
    m_form->addRow(caption, l);
    return l;
}

void frmMainStandIn::load() {
    startup::MainWindowLoad loader(m_state);
    ui::errorTrap([&] {
        loader.prepare();
        loader.readManagerFlag();
        loader.readProfile();
        startup::MainWindowLoad::applyRegionalFormats();
    });
    showContext();
}

void frmMainStandIn::showContext() {
    const startup::LoginContext &ctx = startup::loginContext();
    setWindowTitle(ctx.acctName().isEmpty() ? QStringLiteral("ZoStore") : ctx.acctName());
    lblAcct->setText(ctx.acctName());
    lblUser->setText(QStringLiteral("%1（编号 %2）").arg(ctx.userName()).arg(ctx.userId()));
    lblManager->setText(yesNo(ctx.isManager()));
    lblPeriod->setText(QStringLiteral("%1年%2月").arg(ctx.currentYear()).arg(ctx.currentPeriod()));
    lblStart->setText(QStringLiteral("%1年%2月").arg(ctx.startYear()).arg(ctx.startPeriod()));
    lblInitClosed->setText(yesNo(m_state.initClosed));
    lblBirthday->setText(QString::number(m_state.birthdayDays));
    lblShowAction->setText(yesNo(m_state.showActionAtStart));
    lblCnstr->setText(redacted(ctx.cnstr()));
    lblMaster->setText(redacted(ctx.masterPromptString()));
    lblSystemDb->setText(startup::systemDbConnectionString());
    lblHelp->setText(m_state.helpFile);
    lblVersion->setText(m_state.versionLabel);
}

void frmMainStandIn::closeEvent(QCloseEvent *e) {
    if (!startup::confirmExit()) {
        e->ignore();
        return;
    }
    e->accept();
    QCoreApplication::exit(0);
}

} // namespace zostore::app
