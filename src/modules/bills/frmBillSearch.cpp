#include "modules/bills/frmBillSearch.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "modules/bills/Bill.h"
#include "modules/bills/BillSearch.h"
#include "modules/bills/BillStore.h"
#include "modules/bills/frmBill.h"
#include "ui/DateTimePickers.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"
#include "ui/WaitCursor.h"
#include "db/NumberText.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zostore::modules::bills {

namespace {

const QStringList Keys{QStringLiteral("FInterID"),  QStringLiteral("FBillNo"),   QStringLiteral("FDate"),
                       QStringLiteral("FPartner"),  QStringLiteral("FOutStock"), QStringLiteral("FInStock"),
                       QStringLiteral("FEmp"),      QStringLiteral("FRemark"),   QStringLiteral("FSumQty"),
                       QStringLiteral("FSumAmount")};

QString num(double v) { return db::figureText(v, 4); }

} // namespace

frmBillSearch::frmBillSearch(QString cnstr, int userId, int kind, QWidget *parent, Purpose purpose)
    : QDialog(parent), m_cnstr(std::move(cnstr)), m_userId(userId), m_kind(kind), m_purpose(purpose) {
    if (!billKind(kind) || (purpose == Purpose::Labels && billKind(kind)->viewOnly))
        throw Error(QStringLiteral("单据类型 %1 不是本组件管理的单据。").arg(kind));
    build();
    db::Connection conn(m_cnstr);
    BillStore store(conn, m_userId);
    const QDate first(store.currentYear(), store.currentPeriod(), 1);
    dtpFrom->setDate(first);
    dtpTo->setDate(first.addMonths(1).addDays(-1));
    cmbPartner->addItem(QString(), 0);
    const QString partners =
        kind == 99
            ? QStringLiteral(
                  "select FVipID as FItemID,FCardNo||' '||FOwner as FText from Vip order by FCardNo")
            : QStringLiteral("select FItemID,FNumber||' '||FName as FText from t_Supplier order by FNumber");
    for (auto rs = conn.open(partners); !rs.eof(); rs.moveNext())
        cmbPartner->addItem(rs.text(QStringLiteral("FText")), rs.toInt(QStringLiteral("FItemID")));
    cmbStock->addItem(QString(), 0);
    for (auto rs = conn.open(
             QStringLiteral("select FItemID,FNumber||' '||FName as FText from t_Stock order by FNumber"));
         !rs.eof(); rs.moveNext())
        cmbStock->addItem(rs.text(QStringLiteral("FText")), rs.toInt(QStringLiteral("FItemID")));
    applyKind(kind);
    if (purpose == Purpose::Labels) {
        setObjectName(QStringLiteral("frmBillSearch_Labels"));
        setWindowTitle(QStringLiteral("打印条形码 - 选择单据"));
        cmdOpen->setText(QStringLiteral("打印条形码(&P)"));
        cmdNew->hide();
        // Counter sales keep members, not suppliers, in the partner list, so they are not offered here.
        for (int code : billKindCodes())
            if (!billKind(code)->viewOnly)
                cmbKind->addItem(billKind(code)->name, code);
        cmbKind->setCurrentIndex(cmbKind->findData(kind));
        connect(cmbKind, &QComboBox::currentIndexChanged, this, [this] {
            ui::errorTrap([this] {
                applyKind(cmbKind->currentData().toInt());
                find();
            });
        });
    } else {
        lblKind->hide();
        cmbKind->hide();
        cmdNew->setVisible(!billKind(kind)->viewOnly);
    }
    find();
}

void frmBillSearch::applyKind(int kind) {
    const BillKind *k = billKind(kind);
    m_kind = kind;
    if (m_purpose == Purpose::Open) {
        setObjectName(QStringLiteral("frmBillSearch_%1").arg(kind));
        setWindowTitle(QStringLiteral("查找%1").arg(k->name));
    }
    Flex->setHeaders({QString(), QStringLiteral("单据号码"), QStringLiteral("单据日期"),
                      kind == 99 ? QStringLiteral("会员") : QStringLiteral("供应商"),
                      kind == 31 || kind == 9 ? QStringLiteral("调出仓库") : QStringLiteral("出库仓库"),
                      kind == 31 || kind == 9 ? QStringLiteral("调入仓库") : QStringLiteral("入库仓库"),
                      QStringLiteral("经手人"), QStringLiteral("备注"), QStringLiteral("数量"),
                      QStringLiteral("金额")});
    if (!k->supplier && kind != 99)
        cmbPartner->setCurrentIndex(0);
    cmbPartner->setEnabled(k->supplier || kind == 99);
    if (k->order)
        cmbStock->setCurrentIndex(0);
    cmbStock->setEnabled(!k->order);
}

void frmBillSearch::build() {
    dtpFrom = new ui::DatePicker(this);
    dtpFrom->setObjectName(QStringLiteral("dtpFrom"));
    dtpTo = new ui::DatePicker(this);
    dtpTo->setObjectName(QStringLiteral("dtpTo"));
    txtBillNo = new QLineEdit(this);
    txtBillNo->setObjectName(QStringLiteral("txtBillNo"));
    cmbPartner = new QComboBox(this);
    cmbPartner->setObjectName(QStringLiteral("cmbPartner"));
    cmbPartner->setMinimumWidth(160);
    cmbStock = new QComboBox(this);
    cmbStock->setObjectName(QStringLiteral("cmbStock"));
    cmbStock->setMinimumWidth(140);
    txtItem = new QLineEdit(this);
    txtItem->setObjectName(QStringLiteral("txtItem"));
    txtItem->setPlaceholderText(QStringLiteral("代码、名称或条码"));
    lblKind = new QLabel(QStringLiteral("单据类型："), this);
    cmbKind = new QComboBox(this);
    cmbKind->setObjectName(QStringLiteral("cmbKind"));
    Flex = new ui::Grid(this);
    Flex->setObjectName(QStringLiteral("Flex"));
    Flex->setCols(Keys.size());
    Flex->setFixedRows(1);
    for (int c = 0; c < Keys.size(); ++c)
        Flex->setColKey(c, Keys[c]);
    Flex->setColHidden(0, true);
    Flex->setColAlignment(8, Qt::AlignRight | Qt::AlignVCenter);
    Flex->setColAlignment(9, Qt::AlignRight | Qt::AlignVCenter);
    const int widths[] = {0, 2000, 1300, 3600, 1500, 1500, 1000, 1800, 1000, 1200};
    for (int c = 1; c < int(std::size(widths)); ++c)
        Flex->setColWidthTwips(c, widths[c]);
    Flex->setSelectionBehavior(QAbstractItemView::SelectRows);
    lblTotal = new QLabel(this);
    lblTotal->setObjectName(QStringLiteral("lblTotal"));
    cmdFind = new QPushButton(QStringLiteral("查找(&F)"), this);
    cmdFind->setObjectName(QStringLiteral("cmdFind"));
    cmdFind->setDefault(true);
    cmdOpen = new QPushButton(QStringLiteral("打开(&O)"), this);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    cmdNew = new QPushButton(QStringLiteral("新增(&N)"), this);
    cmdNew->setObjectName(QStringLiteral("cmdNew"));
    cmdClose = new QPushButton(QStringLiteral("关闭(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto *head = new QGridLayout;
    head->addWidget(new QLabel(QStringLiteral("日期从："), this), 0, 0);
    head->addWidget(dtpFrom, 0, 1);
    head->addWidget(new QLabel(QStringLiteral("到："), this), 0, 2);
    head->addWidget(dtpTo, 0, 3);
    head->addWidget(new QLabel(QStringLiteral("单据号码："), this), 0, 4);
    head->addWidget(txtBillNo, 0, 5);
    head->addWidget(new QLabel(m_kind == 99 ? QStringLiteral("会员：") : QStringLiteral("供应商："), this), 1,
                    0);
    head->addWidget(cmbPartner, 1, 1);
    head->addWidget(new QLabel(QStringLiteral("仓库："), this), 1, 2);
    head->addWidget(cmbStock, 1, 3);
    head->addWidget(new QLabel(QStringLiteral("商品："), this), 1, 4);
    head->addWidget(txtItem, 1, 5);
    head->addWidget(cmdFind, 0, 6, 2, 1);
    head->setColumnStretch(5, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblKind);
    bottom->addWidget(cmbKind);
    bottom->addWidget(lblTotal, 1);
    bottom->addWidget(cmdOpen);
    bottom->addWidget(cmdNew);
    bottom->addWidget(cmdClose);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(head);
    lay->addWidget(Flex, 1);
    lay->addLayout(bottom);
    resize(980, 560);

    connect(cmdFind, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { find(); }); });
    connect(txtItem, &QLineEdit::returnPressed, this, [this] { ui::errorTrap([this] { find(); }); });
    connect(txtBillNo, &QLineEdit::returnPressed, this, [this] { ui::errorTrap([this] { find(); }); });
    connect(cmdOpen, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { openCurrent(); }); });
    connect(Flex, &QAbstractItemView::doubleClicked, this,
            [this] { ui::errorTrap([this] { openCurrent(); }); });
    connect(cmdNew, &QPushButton::clicked, this, [this] {
        ui::errorTrap([this] {
            frmBill w(m_cnstr, m_userId, m_kind, 0, this);
            ui::dialogs().exec(w);
            find();
        });
    });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
}

void frmBillSearch::find() {
    if (dtpFrom->date() > dtpTo->date())
        throw Error(QStringLiteral("开始日期不能晚于结束日期。"));
    ui::WaitCursor wait;
    BillCriteria c;
    c.kind = m_kind;
    c.from = dtpFrom->date();
    c.to = dtpTo->date();
    c.billNo = txtBillNo->text();
    c.orgaId = cmbPartner->currentData().toInt();
    c.stockId = cmbStock->currentData().toInt();
    c.item = txtItem->text();
    db::Connection conn(m_cnstr);
    auto rs = searchBills(conn, c);
    QVector<QString> cells;
    int rows = 0;
    double qty = 0, amount = 0;
    for (; !rs.eof(); rs.moveNext(), ++rows) {
        for (const QString &k : Keys) {
            if (k == QLatin1String("FSumQty"))
                cells << num(rs.toDouble(k));
            else if (k == QLatin1String("FSumAmount"))
                cells << QString::number(rs.toDouble(k), 'f', 2);
            else if (k == QLatin1String("FDate"))
                cells << rs.toDate(k).toString(QStringLiteral("yyyy-MM-dd"));
            else
                cells << rs.text(k);
        }
        qty += rs.toDouble(QStringLiteral("FSumQty"));
        amount += rs.toDouble(QStringLiteral("FSumAmount"));
    }
    Flex->setData(rows, Keys.size(), std::move(cells));
    lblTotal->setText(QStringLiteral("共 %1 张单据  数量 %2  金额 %3")
                          .arg(rows)
                          .arg(num(qty), QString::number(amount, 'f', 2)));
}

void frmBillSearch::openCurrent() {
    const int row = Flex->currentGridRow();
    if (row < Flex->fixedRows()) {
        ui::dialogs().info(QStringLiteral("请先在列表中选择一张单据。"));
        return;
    }
    if (m_purpose == Purpose::Labels) {
        m_chosen = Flex->textMatrix(row, 0).toInt();
        accept();
        return;
    }
    frmBill w(m_cnstr, m_userId, m_kind, Flex->textMatrix(row, 0).toInt(), this);
    ui::dialogs().exec(w);
    find();
}

} // namespace zostore::modules::bills
