// The stock-limit generation window: span, item range, store, multipliers, and the copy into another account set.
#include "stocklimit/frmGenMinMaxStock.h"

#include "accountdb/WorkFolder.h"
#include "components/supertextbox/SuperTextbox.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "startup/LoginContext.h"
#include "stocklimit/NumberText.h"
#include "stocklimit/SafeStockFile.h"
#include "stocklimit/StockLimitGeneration.h"
#include "stocklimit/TargetServer.h"
#include "ui/DateTimePickers.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/WaitCursor.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

namespace zostore::stocklimit {

namespace {

components::SuperTextbox *superBox(const char *name, QWidget *parent) {
    auto *b = new components::SuperTextbox(parent);
    b->setObjectName(QLatin1String(name));
    b->setHistoryName(QStringLiteral("frmGenMinMaxStock/") + QLatin1String(name));
    return b;
}

QLineEdit *factorBox(const char *name, QWidget *parent) {
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setMaximumWidth(80);
    return e;
}

// A failing file step is reported and the generation still ends normally.
void reportFileError(const std::function<void()> &step) {
    try {
        step();
    } catch (const Error &e) {
        ui::dialogs().message(e.description(), ui::Icon::Information);
    }
}

} // namespace

frmGenMinMaxStock::frmGenMinMaxStock(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmGenMinMaxStock"));
    setWindowTitle(QStringLiteral("生成库存上下限"));
    build();
    dtpFromDate->setDate(QDate::currentDate());
    dtpToDate->setDate(QDate::currentDate());
    ui::errorTrap([this] {
        db::Connection conn(startup::loginContext().cnstr());
        txtStock->fillStores(conn);
    });
    if (!txtServer->text().isEmpty())
        ui::errorTrap([this] { lookupAccount(); });
}

void frmGenMinMaxStock::build() {
    auto *outer = new QVBoxLayout(this);

    auto *source = new QGroupBox(this);
    auto *grid = new QGridLayout(source);
    dtpFromDate = new ui::DatePicker(source);
    dtpFromDate->setObjectName(QStringLiteral("dtpFromDate"));
    dtpToDate = new ui::DatePicker(source);
    dtpToDate->setObjectName(QStringLiteral("dtpToDate"));
    auto *dates = new QHBoxLayout;
    dates->addWidget(dtpFromDate);
    dates->addWidget(new QLabel(QStringLiteral("至"), source));
    dates->addWidget(dtpToDate);
    dates->addStretch(1);
    grid->addWidget(new QLabel(QStringLiteral("数据来源：  从"), source), 0, 0, Qt::AlignRight);
    grid->addLayout(dates, 0, 1);

    txtFromItem = superBox("txtFromItem", source);
    txtToItem = superBox("txtToItem", source);
    auto *items = new QHBoxLayout;
    items->addWidget(txtFromItem, 1);
    items->addWidget(new QLabel(QStringLiteral("至"), source));
    items->addWidget(txtToItem, 1);
    grid->addWidget(new QLabel(QStringLiteral("商品代码：从"), source), 1, 0, Qt::AlignRight);
    grid->addLayout(items, 1, 1);

    txtStock = superBox("txtStock", source);
    txtStock->setHistoryName(QString());
    auto *store = new QHBoxLayout;
    store->addWidget(txtStock, 1);
    store->addWidget(new QLabel(QStringLiteral("(无选择仓库,生成总库存）"), source));
    grid->addWidget(new QLabel(QStringLiteral("仓库："), source), 2, 0, Qt::AlignRight);
    grid->addLayout(store, 2, 1);

    txt_MinStock = factorBox("txt_MinStock", source);
    txt_MaxStock = factorBox("txt_MaxStock", source);
    txt_SafeStock = factorBox("txt_SafeStock", source);
    int row = 3;
    for (const auto &[caption, box] : {std::pair{QStringLiteral("最小库存量："), txt_MinStock},
                                       std::pair{QStringLiteral("最大库存量："), txt_MaxStock},
                                       std::pair{QStringLiteral("安全库存量："), txt_SafeStock}}) {
        auto *line = new QHBoxLayout;
        line->addWidget(new QLabel(QStringLiteral("销售量   ×"), source));
        line->addWidget(box);
        line->addStretch(1);
        grid->addWidget(new QLabel(caption, source), row, 0, Qt::AlignRight);
        grid->addLayout(line, row++, 1);
    }

    opt[0] = new QRadioButton(QStringLiteral("按本仓销售计算"), source);
    opt[1] = new QRadioButton(QStringLiteral("按全部仓库销售计算"), source);
    auto *basis = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        opt[i]->setObjectName(QStringLiteral("opt"));
        opt[i]->setProperty("index", i);
        basis->addWidget(opt[i]);
    }
    basis->addStretch(1);
    opt[0]->setChecked(true);
    grid->addLayout(basis, row++, 1);
    outer->addWidget(source);

    auto *target = new QGroupBox(this);
    auto *tgrid = new QGridLayout(target);
    chkExp = new QCheckBox(QStringLiteral("生成结果导出到以下帐套"), target);
    chkExp->setObjectName(QStringLiteral("chkExp"));
    auto *warn = new QLabel(QStringLiteral("慎用！"), target);
    warn->setStyleSheet(QStringLiteral("color: red"));
    auto *head = new QHBoxLayout;
    head->addWidget(chkExp);
    head->addWidget(warn);
    head->addStretch(1);
    tgrid->addLayout(head, 0, 0, 1, 2);
    txtServer = superBox("txtServer", target);
    txtUser = superBox("txtUser", target);
    txtPwd = superBox("txtPwd", target);
    txtPwd->setPasswordMode(true);
    txtAccount = superBox("txtAccount", target);
    txtAccount->setHistoryName(QString());
    row = 1;
    for (const auto &[caption, box] : {std::pair{QStringLiteral("服务器："), txtServer},
                                       std::pair{QStringLiteral("用户名："), txtUser},
                                       std::pair{QStringLiteral("密码："), txtPwd},
                                       std::pair{QStringLiteral("帐套："), txtAccount}}) {
        tgrid->addWidget(new QLabel(caption, target), row, 0, Qt::AlignRight);
        tgrid->addWidget(box, row++, 1);
        box->setEnabled(false);
    }
    outer->addWidget(target);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdOK = new QPushButton(QStringLiteral("确定(&O)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdExit = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdExit);
    outer->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { onOK(); }); });
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);
    connect(chkExp, &QCheckBox::clicked, this, &frmGenMinMaxStock::onExpClicked);
    connect(txtAccount, &components::SuperTextbox::dropDown, this,
            [this] { ui::errorTrap([this] { fillAccountList(); }); });
    connect(txtAccount, &components::SuperTextbox::itemChosen, this,
            [this] { ui::errorTrap([this] { lookupAccount(); }); });
}

QString frmGenMinMaxStock::exchangeFilePath() {
    return QDir(accountdb::workFolder()).absoluteFilePath(SafeStockFile::fileName());
}

GenerationRequest frmGenMinMaxStock::request() const {
    GenerationRequest r;
    r.first = dtpFromDate->date();
    r.last = dtpToDate->date();
    r.fromItem = txtFromItem->text();
    r.toItem = txtToItem->text();
    r.stockId = static_cast<int>(txtStock->key());
    r.minF = leadingNumber(txt_MinStock->text());
    r.maxF = leadingNumber(txt_MaxStock->text());
    r.safeF = leadingNumber(txt_SafeStock->text());
    r.ownStoreSales = opt[0]->isChecked();
    return r;
}

void frmGenMinMaxStock::onExpClicked() {
    const bool on = chkExp->isChecked();
    for (auto *box : {txtServer, txtUser, txtPwd, txtAccount})
        box->setEnabled(on);
}

void frmGenMinMaxStock::fillAccountList() {
    const QStringList names = TargetServer(txtServer->text(), txtUser->text(), txtPwd->text()).accountNames();
    txtAccount->clearList();
    for (const QString &n : names)
        txtAccount->addItem(n);
}

bool frmGenMinMaxStock::lookupAccount() {
    const TargetServer server(txtServer->text(), txtUser->text(), txtPwd->text());
    const QString name = txtAccount->text();
    const QString database = server.databaseOf(name);
    if (database.isEmpty()) {
        ui::dialogs().message(QStringLiteral("帐套“") + name + QStringLiteral("”不存在！"), ui::Icon::Warning);
        txtAccount->setFocus();
        return false;
    }
    m_targetCnstr = server.accountString(database);
    return true;
}

void frmGenMinMaxStock::onOK() {
    if (chkExp->isChecked()) {
        if (txtAccount->text().isEmpty()) {
            ui::dialogs().message(QStringLiteral("请选择数据生成帐套！"), ui::Icon::Warning);
            txtAccount->setFocus();
            return;
        }
        if (!lookupAccount())
            return;
    }
    GenData();
    for (auto *box : {txtFromItem, txtToItem, txtServer, txtUser})
        box->remember();
}

void frmGenMinMaxStock::GenData() {
    {
        ui::WaitCursor wait(nullptr, QStringLiteral("正在生成库存上下限……"));
        const GenerationRequest r = request();
        db::Connection conn(startup::loginContext().cnstr());
        conn.setTimeout(3000);
        const QString path = exchangeFilePath();
        std::unique_ptr<QSaveFile> staged;
        int n = 0;
        StockLimitGeneration::generate(conn, r, [&] { staged = SafeStockFile::stageGenerated(conn, path, r, n); });
        if (!staged->commit()) {
            ui::dialogs().message(QStringLiteral("库存上下限已保存，但文件“%1”未能写出（%2），未导出到其他帐套。")
                                      .arg(QDir::toNativeSeparators(path), staged->errorString()),
                                  ui::Icon::Warning);
            return;
        }
        if (chkExp->isChecked())
            reportFileError([&] {
                db::Connection target(m_targetCnstr);
                SafeStockFile::import(target, path, r);
            });
    }
    ui::dialogs().message(QStringLiteral("OK!"), ui::Icon::Information);
}

} // namespace zostore::stocklimit
