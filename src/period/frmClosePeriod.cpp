// Month-end window: closes the current month or reopens the previous one.
#include "period/frmClosePeriod.h"

#include "db/Error.h"
#include "period/MonthEndClosing.h"
#include "period/frmCacuCost.h"
#include "startup/LoginContext.h"
#include "stocklimit/GenMinMaxStock.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/StatusBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zostore::period {

namespace {

// Runs body; on an error runs cleanup first (pointer, status text), then shows the description.
bool trapped(const std::function<void()> &body, const std::function<void()> &cleanup) {
    try {
        body();
        return true;
    } catch (const Error &e) {
        cleanup();
        ui::dialogs().message(e.description(), ui::Icon::Information);
    } catch (const std::exception &e) {
        cleanup();
        ui::dialogs().message(QString::fromLocal8Bit(e.what()), ui::Icon::Information);
    }
    return false;
}

YearPeriod contextPeriod() {
    const auto &ctx = startup::loginContext();
    return {ctx.currentYear(), ctx.currentPeriod()};
}

} // namespace

frmClosePeriod::frmClosePeriod(QWidget *parent, ui::StatusBar *statusBar)
    : QDialog(parent), m_statusBar(statusBar) {
    if (!m_statusBar && parent)
        m_statusBar = parent->window()->findChild<ui::StatusBar *>();
    setObjectName(QStringLiteral("frmClosePeriod"));
    setWindowTitle(QStringLiteral("月末结账"));

    auto *steps = new QGroupBox(this);
    auto *stepsLayout = new QVBoxLayout(steps);
    auto *heading = new QLabel(QStringLiteral("月底结账将进行以下步骤操作："), steps);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    stepsLayout->addWidget(heading);
    stepsLayout->addWidget(
        new QLabel(QStringLiteral("1、将本月库存余额、应收应付款余额结转到下月     余额"), steps));
    stepsLayout->addWidget(new QLabel(QStringLiteral("2、重新生成库存上下限数据"), steps));

    chkAutoStockLimit = new QCheckBox(QStringLiteral("自动重算库存上下限数据"), this);
    chkAutoStockLimit->setObjectName(QStringLiteral("chkAutoStockLimit"));
    chkAutoBill = new QCheckBox(QStringLiteral("将数量为零，金额不为零的商品自动出库"), this);
    chkAutoBill->setObjectName(QStringLiteral("chkAutoBill"));
    chkAutoBill->setChecked(true);

    cmdStart = new QPushButton(QStringLiteral("开始结账"), this);
    cmdStart->setObjectName(QStringLiteral("cmdStart"));
    cmdReClose = new QPushButton(QStringLiteral("开始反结账"), this);
    cmdReClose->setObjectName(QStringLiteral("cmdReClose"));
    Command1 = new QPushButton(QStringLiteral("重算成本"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    cmdCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton *b : {cmdStart, cmdReClose, Command1, cmdCancel}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(96);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdStart);
    buttons->addWidget(cmdReClose);
    buttons->addWidget(Command1);
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(steps);
    layout->addSpacing(6);
    layout->addWidget(chkAutoStockLimit);
    layout->addWidget(chkAutoBill);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    connect(cmdStart, &QPushButton::clicked, this, &frmClosePeriod::cmdStart_Click);
    connect(cmdReClose, &QPushButton::clicked, this, &frmClosePeriod::cmdReClose_Click);
    connect(Command1, &QPushButton::clicked, this, &frmClosePeriod::Command1_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    Form_Load();
}

void frmClosePeriod::Form_Load() {
    ui::errorTrap([this] {
        chkAutoStockLimit->setChecked(
            MonthEndClosing::readGenerateLimitsFlag(startup::loginContext().cnstr()));
    });
}

void frmClosePeriod::setTip(const QString &text) {
    if (m_statusBar)
        m_statusBar->setPanelText(QStringLiteral("handletip"), text);
}

void frmClosePeriod::finishPeriodChange(int year, int period) {
    startup::loginContext().setCurrentPeriod(static_cast<qint16>(year), static_cast<qint16>(period));
    if (m_statusBar)
        m_statusBar->setPanelText(QStringLiteral("currentperiod"), periodPanelText({year, period}));
    emit periodChanged(year, period);
}

void frmClosePeriod::cmdStart_Click() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QDate end = monthEnd(contextPeriod());
    auto restore = [this] {
        QApplication::restoreOverrideCursor();
        setTip(QString());
    };
    const bool ready = trapped(
        [&] {
            MonthEndClosing closing(startup::loginContext().cnstr(), contextPeriod());
            if (chkAutoStockLimit->isChecked()) {
                setTip(QStringLiteral("正在生成库存上下限..."));
                const StockLimitSettings s = closing.readStockLimitSettings();
                stocklimit::GenMinMaxStock gen(startup::loginContext().cnstr());
                gen.GenMaxMinStock(end.addDays(-s.days), end, s.maxFactor, s.minFactor, s.safeFactor,
                                   s.perStore);
            }
            setTip(QStringLiteral("正在结帐..."));
        },
        restore);
    if (!ready)
        return;
    if (ClosePeriod(end)) {
        const YearPeriod next = nextPeriod(contextPeriod());
        finishPeriodChange(next.year, next.period);
        QApplication::restoreOverrideCursor();
        ui::dialogs().message(QStringLiteral("操作成功！"), ui::Icon::Information);
        setTip(QString());
        accept();
        return;
    }
    QApplication::restoreOverrideCursor();
}

bool frmClosePeriod::ClosePeriod(const QDate &monthEnd) {
    bool closed = false;
    trapped(
        [&] {
            MonthEndClosing closing(startup::loginContext().cnstr(), contextPeriod());
            if (closing.hasIssuesWithoutCost()) {
                // the question must be readable, not under an hourglass
                QApplication::setOverrideCursor(Qt::ArrowCursor);
                const ui::Answer a = ui::dialogs().question(
                    QStringLiteral("注意，本期存在销售成本无法计算的商品，如果现在结帐，\n"
                                   "将导致下个月成本计算不准确，建议先计算成本再结帐，\n是否继续结帐？"),
                    ui::Icon::Question, ui::Answer::No);
                QApplication::restoreOverrideCursor();
                if (a != ui::Answer::Yes)
                    return;
            }
            closing.runClosePeriod(chkAutoBill->isChecked(), startup::loginContext().userId(), monthEnd);
            closed = true;
        },
        [] {});
    return closed;
}

void frmClosePeriod::UnClosePeriod() {
    MonthEndClosing(startup::loginContext().cnstr(), contextPeriod()).reopen({});
}

void frmClosePeriod::cmdReClose_Click() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setTip(QStringLiteral("正在反结帐..."));
    const bool done = trapped([this] { UnClosePeriod(); },
                              [this] {
                                  QApplication::restoreOverrideCursor();
                                  setTip(QString());
                              });
    if (!done)
        return;
    const YearPeriod prev = previousPeriod(contextPeriod());
    finishPeriodChange(prev.year, prev.period);
    QApplication::restoreOverrideCursor();
    ui::dialogs().message(QStringLiteral("操作成功！"), ui::Icon::Information);
    setTip(QString());
    accept();
}

void frmClosePeriod::Command1_Click() {
    auto *cost = new frmCacuCost(parentWidget(), m_statusBar);
    cost->setAttribute(Qt::WA_DeleteOnClose);
    reject();
    cost->show();
}

} // namespace zostore::period
