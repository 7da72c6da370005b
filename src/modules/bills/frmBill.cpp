#include "modules/bills/frmBill.h"

#include "accountdb/SystemProfile.h"
#include "components/Registry.h"
#include "components/items/ItemLookup.h"
#include "components/items/ItemPicker.h"
#include "components/labels/LabelFormatStore.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Recordset.h"
#include "modules/bills/BillLabelWindow.h"
#include "modules/bills/BillPrint.h"
#include "modules/bills/BillStore.h"
#include "ui/DateTimePickers.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"
#include "db/NumberText.h"

#include <QAbstractItemDelegate>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSharedPointer>
#include <QVBoxLayout>
#include <cmath>

namespace zostore::modules::bills {

namespace {

const QStringList Keys{QStringLiteral("FNumber"),    QStringLiteral("FName"),     QStringLiteral("FModel"),
                       QStringLiteral("FUnit"),      QStringLiteral("FExchange"), QStringLiteral("FMainQty"),
                       QStringLiteral("FQty"),       QStringLiteral("FPrice"),    QStringLiteral("FAmount"),
                       QStringLiteral("FSalePrice"), QStringLiteral("FJhDate"),   QStringLiteral("FItemID"),
                       QStringLiteral("FSource")};
const QStringList Captions{QStringLiteral("商品代码"),
                           QStringLiteral("商品名称"),
                           QStringLiteral("规格型号"),
                           QStringLiteral("单位"),
                           QStringLiteral("包装数"),
                           QStringLiteral("件数"),
                           QStringLiteral("数量"),
                           QStringLiteral("单价"),
                           QStringLiteral("金额"),
                           QStringLiteral("售价"),
                           QStringLiteral("交货日期"),
                           QString(),
                           QString()};

QString num(double v, int decimals = 4) { return db::figureText(v, decimals); }
QString money(double v) {
    return QString::number(v, 'f', 2);
}

// Empty text reads as zero; anything else must be a number.
bool parse(const QString &text, double &value) {
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        value = 0;
        return true;
    }
    bool ok = false;
    value = t.toDouble(&ok);
    return ok && std::isfinite(value);
}

void fillCombo(QComboBox *cmb, db::Connection &conn, const QString &sql) {
    cmb->clear();
    cmb->addItem(QString(), 0);
    for (auto rs = conn.open(sql); !rs.eof(); rs.moveNext())
        cmb->addItem(rs.text(QStringLiteral("FText")), rs.toInt(QStringLiteral("FItemID")));
}

void selectData(QComboBox *cmb, int id) {
    cmb->setCurrentIndex(std::max(0, cmb->findData(id)));
}

} // namespace

frmBill::frmBill(QString cnstr, int userId, int kind, int interId, QWidget *parent)
    : QDialog(parent), m_cnstr(std::move(cnstr)), m_userId(userId) {
    const BillKind *k = billKind(kind);
    if (!k)
        throw Error(QStringLiteral("单据类型 %1 不是本组件管理的单据。").arg(kind));
    setObjectName(QStringLiteral("frmBill_%1").arg(kind));
    setWindowTitle(k->name);
    m_bill.kind = kind;
    build();
    loadLists();
    if (interId > 0) {
        BillStore store(lookupConnection(), m_userId);
        showBill(store.load(kind, interId));
    } else {
        newBill();
    }
}

frmBill::~frmBill() = default;

db::Connection &frmBill::lookupConnection() {
    if (!m_conn)
        m_conn = std::make_unique<db::Connection>(m_cnstr);
    return *m_conn;
}

void frmBill::build() {
    const BillKind &k = *billKind(m_bill.kind);
    lblTitle = new QLabel(k.name, this);
    QFont f = lblTitle->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    f.setBold(true);
    lblTitle->setFont(f);
    lblTitle->setAlignment(Qt::AlignCenter);
    txtBillNo = new QLineEdit(this);
    txtBillNo->setObjectName(QStringLiteral("txtBillNo"));
    txtBillNo->setReadOnly(true);
    dtpDate = new ui::DatePicker(this);
    dtpDate->setObjectName(QStringLiteral("dtpDate"));
    cmbSupplier = new QComboBox(this);
    cmbSupplier->setObjectName(QStringLiteral("cmbSupplier"));
    cmbOutStock = new QComboBox(this);
    cmbOutStock->setObjectName(QStringLiteral("cmbOutStock"));
    cmbInStock = new QComboBox(this);
    cmbInStock->setObjectName(QStringLiteral("cmbInStock"));
    cmbEmp = new QComboBox(this);
    cmbEmp->setObjectName(QStringLiteral("cmbEmp"));
    txtRemark = new QLineEdit(this);
    txtRemark->setObjectName(QStringLiteral("txtRemark"));
    for (QComboBox *c : {cmbSupplier, cmbOutStock, cmbInStock, cmbEmp})
        c->setMinimumWidth(160);

    auto *head = new QGridLayout;
    int col = 0;
    const auto add = [&](const QString &caption, QWidget *w, int row) {
        head->addWidget(new QLabel(caption, this), row, col * 2);
        head->addWidget(w, row, col * 2 + 1);
    };
    add(QStringLiteral("单据号码："), txtBillNo, 0);
    add(QStringLiteral("经手人："), cmbEmp, 1);
    ++col;
    add(QStringLiteral("单据日期："), dtpDate, 0);
    if (k.supplier) {
        add(QStringLiteral("供应商："), cmbSupplier, 1);
    } else {
        cmbSupplier->hide();
        head->addWidget(new QLabel(this), 1, col * 2);
    }
    ++col;
    if (k.outStore)
        add(k.inStore ? QStringLiteral("调出仓库：") : QStringLiteral("仓库："), cmbOutStock, 0);
    else
        cmbOutStock->hide();
    if (k.inStore)
        add(k.outStore ? QStringLiteral("调入仓库：") : QStringLiteral("仓库："), cmbInStock,
            k.outStore ? 1 : 0);
    else
        cmbInStock->hide();
    if (!k.inStore && !k.outStore)
        head->addWidget(new QLabel(this), 0, col * 2);
    head->setColumnStretch(1, 1);
    head->setColumnStretch(3, 1);
    head->setColumnStretch(5, 1);

    Flex = new ui::Grid(this);
    Flex->setObjectName(QStringLiteral("Flex"));
    Flex->setCols(Keys.size());
    Flex->setFixedRows(1);
    for (int c = 0; c < Keys.size(); ++c)
        Flex->setColKey(c, Keys[c]);
    Flex->setHeaders(Captions);
    Flex->setEditable(true);
    for (int c = 0; c < Keys.size(); ++c)
        Flex->setColEditable(c, false);
    for (const char *key : {"FNumber", "FMainQty", "FQty", "FPrice", "FJhDate"})
        Flex->setColEditable(Flex->colIndex(QString::fromLatin1(key)), true);
    for (const char *key : {"FExchange", "FMainQty", "FQty", "FPrice", "FAmount", "FSalePrice"})
        Flex->setColAlignment(Flex->colIndex(QString::fromLatin1(key)), Qt::AlignRight | Qt::AlignVCenter);
    Flex->setColHidden(Flex->colIndex(QStringLiteral("FItemID")), true);
    Flex->setColHidden(Flex->colIndex(QStringLiteral("FSource")), true);
    Flex->setColHidden(Flex->colIndex(QStringLiteral("FJhDate")), !k.order);
    Flex->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::DoubleClicked);
    const int widths[] = {1500, 2600, 1400, 700, 800, 800, 900, 1000, 1200, 1000, 1300};
    for (int c = 0; c < int(std::size(widths)); ++c)
        Flex->setColWidthTwips(c, widths[c]);
    Flex->installEventFilter(this);
    Flex->setRows(Flex->fixedRows() + 1);

    lblTotal = new QLabel(this);
    lblTotal->setObjectName(QStringLiteral("lblTotal"));
    lblState = new QLabel(this);
    lblState->setObjectName(QStringLiteral("lblState"));
    cmdNew = new QPushButton(QStringLiteral("新增(&N)"), this);
    cmdNew->setObjectName(QStringLiteral("cmdNew"));
    cmdSave = new QPushButton(QStringLiteral("保存(&S)"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdDelete = new QPushButton(QStringLiteral("删除(&D)"), this);
    cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
    cmdPrint = new QPushButton(QStringLiteral("打印(&P)"), this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdBarcode = new QPushButton(QStringLiteral("打印条形码(&B)"), this);
    cmdBarcode->setObjectName(QStringLiteral("cmdBarcode"));
    cmdFromOrder = new QPushButton(
        k.code == 31 ? QStringLiteral("引入调拨预订单(&O)") : QStringLiteral("引入订货单(&O)"), this);
    cmdFromOrder->setObjectName(QStringLiteral("cmdFromOrder"));
    cmdFromOrder->setVisible(k.code == 12 || k.code == 31);
    cmdPicker = new QPushButton(QStringLiteral("选择商品(F3)"), this);
    cmdPicker->setObjectName(QStringLiteral("cmdPicker"));
    cmdDelLine = new QPushButton(QStringLiteral("删除行"), this);
    cmdDelLine->setObjectName(QStringLiteral("cmdDelLine"));
    cmdClose = new QPushButton(QStringLiteral("关闭(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto *remark = new QHBoxLayout;
    remark->addWidget(new QLabel(QStringLiteral("备注："), this));
    remark->addWidget(txtRemark, 1);
    auto *tools = new QHBoxLayout;
    tools->addWidget(cmdPicker);
    tools->addWidget(cmdDelLine);
    tools->addWidget(cmdFromOrder);
    tools->addStretch(1);
    tools->addWidget(lblTotal);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblState, 1);
    for (QPushButton *b : {cmdNew, cmdSave, cmdDelete, cmdPrint, cmdBarcode, cmdClose})
        bottom->addWidget(b);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(lblTitle);
    lay->addLayout(head);
    lay->addLayout(tools);
    lay->addWidget(Flex, 1);
    lay->addLayout(remark);
    lay->addLayout(bottom);
    resize(1000, 620);

    connect(Flex, &ui::Grid::afterEdit, this, [this](int r, int c) {
        if (!m_quiet)
            ui::errorTrap([&] { afterEdit(r, c); });
    });
    connect(Flex->itemDelegate(), &QAbstractItemDelegate::closeEditor, this, [this] {
        if (m_nextRow < 0)
            return;
        const int row = m_nextRow;
        m_nextRow = -1;
        goTo(row, m_nextKey);
    });
    connect(cmdNew, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { newBill(); }); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { save(); }); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { deleteBill(); }); });
    connect(cmdPrint, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { print(); }); });
    connect(cmdBarcode, &QPushButton::clicked, this, [this] {
        ui::errorTrap([this] {
            if (m_bill.interId <= 0)
                throw Error(QStringLiteral("请先保存单据，再打印它的条形码。"));
            openBillLabels(this, m_cnstr, m_userId, m_bill.kind, m_bill.interId);
        });
    });
    connect(cmdFromOrder, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { chooseOrder(); }); });
    connect(cmdPicker, &QPushButton::clicked, this, [this] { ui::errorTrap([this] { openPicker(); }); });
    connect(cmdDelLine, &QPushButton::clicked, this, [this] {
        const int r = Flex->currentGridRow();
        if (r >= Flex->fixedRows() && !m_readOnly) {
            Flex->removeGridRow(r);
            ensureSpareRow();
            showTotals();
        }
    });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    // The sale price shown comes from the receiving store's price style.
    connect(cmbInStock, &QComboBox::currentIndexChanged, this, [this] { m_lookup.reset(); });
}

void frmBill::loadLists() {
    db::Connection &conn = lookupConnection();
    fillCombo(cmbSupplier, conn,
              QStringLiteral("select FItemID,FNumber||' '||FName as FText from t_Supplier order by FNumber"));
    const QString stores =
        QStringLiteral("select FItemID,FNumber||' '||FName as FText from t_Stock order by FNumber");
    fillCombo(cmbOutStock, conn, stores);
    fillCombo(cmbInStock, conn, stores);
    fillCombo(cmbEmp, conn,
              QStringLiteral("select FItemID,FName as FText from t_Emp order by FNumber,FName"));
    const bool salePrice =
        m_bill.kind == 12 &&
        accountdb::readProfile(conn, QStringLiteral("ShowSalePriceOnRkBill")).trimmed() == QLatin1String("1");
    Flex->setColHidden(Flex->colIndex(QStringLiteral("FSalePrice")), !salePrice);
}

void frmBill::newBill() {
    Bill b;
    b.kind = m_bill.kind;
    BillStore store(lookupConnection(), m_userId);
    const int y = store.currentYear(), p = store.currentPeriod();
    const QDate today = QDate::currentDate();
    b.date = (today.year() == y && today.month() == p) ? today : QDate(y, p, 1);
    // A new bill keeps the stores and supplier of the one before: clerks enter runs of them.
    b.orgaId = cmbSupplier->currentData().toInt();
    b.outStockId = cmbOutStock->currentData().toInt();
    b.inStockId = cmbInStock->currentData().toInt();
    b.empId = cmbEmp->currentData().toInt();
    showBill(b);
}

void frmBill::showBill(const Bill &b) {
    m_bill = b;
    m_readOnly = b.readOnly;
    txtBillNo->setText(b.interId > 0 ? b.billNo : QStringLiteral("（保存时编号）"));
    dtpDate->setDate(b.date);
    selectData(cmbSupplier, b.orgaId);
    selectData(cmbOutStock, b.outStockId);
    selectData(cmbInStock, b.inStockId);
    selectData(cmbEmp, b.empId);
    txtRemark->setText(b.remark);
    QVector<QString> cells;
    for (const BillLine &l : b.lines)
        cells << l.number << l.name << l.model << l.unit << num(l.exchange) << num(l.mainQty) << num(l.qty)
              << num(l.price) << money(l.amount) << (l.salePrice ? money(l.salePrice) : QString())
              << (l.due.isValid() ? l.due.toString(QStringLiteral("yyyy-MM-dd")) : QString())
              << QString::number(l.itemId)
              << (l.sourceInterId ? QStringLiteral("%1:%2").arg(l.sourceInterId).arg(l.sourceEntryId)
                                  : QString());
    m_quiet = true;
    Flex->setData(b.lines.size(), Keys.size(), std::move(cells));
    if (!Flex->colHidden(Flex->colIndex(QStringLiteral("FSalePrice"))))
        for (int r = Flex->fixedRows(); r < Flex->rows(); ++r)
            if (const auto f = lookup().find(Flex->text(r, QStringLiteral("FNumber"))); f && f->price != 0)
                Flex->setText(r, QStringLiteral("FSalePrice"), money(f->price));
    m_quiet = false;
    Flex->setEditable(!m_readOnly);
    for (QWidget *w :
         std::initializer_list<QWidget *>{dtpDate, cmbSupplier, cmbOutStock, cmbInStock, cmbEmp, txtRemark,
                                          cmdSave, cmdPicker, cmdDelLine, cmdFromOrder})
        w->setEnabled(!m_readOnly);
    cmdDelete->setEnabled(!m_readOnly && b.interId > 0);
    cmdBarcode->setEnabled(b.interId > 0);
    const BillKind &k = *billKind(b.kind);
    cmdNew->setEnabled(!k.viewOnly);
    lblState->setText(k.viewOnly ? QStringLiteral("前台销售单只能查看。")
                      : m_readOnly
                          ? QStringLiteral("%1年%2月已经结帐，这张单据只能查看。").arg(b.year).arg(b.period)
                          : QString());
    ensureSpareRow();
    showTotals();
    if (!m_readOnly)
        goTo(Flex->fixedRows() + int(b.lines.size()), QStringLiteral("FNumber"));
}

void frmBill::ensureSpareRow() {
    if (m_readOnly)
        return;
    const int last = Flex->rows() - 1;
    if (last < Flex->fixedRows() || !Flex->text(last, QStringLiteral("FNumber")).isEmpty())
        Flex->setRows(Flex->rows() + 1);
}

void frmBill::goTo(int row, const QString &key) {
    if (row >= Flex->rows())
        Flex->setRows(row + 1);
    const QModelIndex at = Flex->model()->index(row - Flex->fixedRows(), Flex->colIndex(key));
    Flex->setCurrentIndex(at);
    Flex->scrollTo(at);
    Flex->setFocus();
}

bool frmBill::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Flex && event->type() == QEvent::KeyPress && !m_readOnly) {
        auto *ke = static_cast<QKeyEvent *>(event);
        const int row = Flex->currentGridRow();
        if (ke->key() == Qt::Key_Down && row == Flex->rows() - 1 &&
            !Flex->text(row, QStringLiteral("FNumber")).isEmpty()) {
            Flex->setRows(Flex->rows() + 1);
            goTo(row + 1, QStringLiteral("FNumber"));
            return true;
        }
        if (ke->key() == Qt::Key_Down && row >= Flex->fixedRows() && row < Flex->rows() - 1) {
            goTo(row + 1, QStringLiteral("FNumber"));
            return true;
        }
        if (ke->key() == Qt::Key_F3) {
            ui::errorTrap([this] { openPicker(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

components::items::ItemLookup &frmBill::lookup() {
    if (!m_lookup) {
        int style = 0;
        if (!Flex->colHidden(Flex->colIndex(QStringLiteral("FSalePrice"))))
            style = lookupConnection()
                        .scalar(QStringLiteral("select FPriceStyleID from t_Stock where FItemID=?"),
                                {cmbInStock->currentData().toInt()})
                        .toInt();
        m_lookup = std::make_unique<components::items::ItemLookup>(lookupConnection(), style);
        m_lookup->setByQuickNumber(true);
    }
    return *m_lookup;
}

bool frmBill::enterItem(int row, const QString &text) {
    const auto found = lookup().find(text);
    if (!found) {
        ui::dialogs().warning(QStringLiteral("没有找到代码、条码或助记码为“%1”的商品。").arg(text.trimmed()));
        for (int c = 0; c < Flex->cols(); ++c)
            Flex->setTextMatrix(row, c, QString());
        return false;
    }
    BillStore store(lookupConnection(), m_userId);
    const auto facts = store.itemFacts(found->itemId);
    const double exchange = found->isPackage() ? found->barcodeExchange : (facts ? facts->exchange : 1);
    Flex->setText(row, QStringLiteral("FNumber"), found->number);
    Flex->setText(row, QStringLiteral("FName"), found->name);
    Flex->setText(row, QStringLiteral("FModel"), found->model);
    Flex->setText(row, QStringLiteral("FUnit"), found->unit);
    Flex->setText(row, QStringLiteral("FItemID"), QString::number(found->itemId));
    Flex->setText(row, QStringLiteral("FSource"), QString());
    Flex->setText(row, QStringLiteral("FExchange"), num(exchange));
    // A package barcode counts one package; the item's own code one unit.
    Flex->setText(row, QStringLiteral("FQty"), num(found->isPackage() ? exchange : 1));
    Flex->setText(row, QStringLiteral("FPrice"), num(store.startPrice(m_bill.kind, found->itemId)));
    if (found->price != 0)
        Flex->setText(row, QStringLiteral("FSalePrice"), money(found->price));
    if (billKind(m_bill.kind)->order && Flex->text(row, QStringLiteral("FJhDate")).isEmpty())
        Flex->setText(row, QStringLiteral("FJhDate"),
                      dtpDate->date().addDays(7).toString(QStringLiteral("yyyy-MM-dd")));
    recalc(row);
    return true;
}

void frmBill::recalc(int row) {
    double qty = 0, price = 0, exchange = 1;
    parse(Flex->text(row, QStringLiteral("FQty")), qty);
    parse(Flex->text(row, QStringLiteral("FPrice")), price);
    parse(Flex->text(row, QStringLiteral("FExchange")), exchange);
    if (exchange <= 0)
        exchange = 1;
    Flex->setText(row, QStringLiteral("FMainQty"), num(qty / exchange));
    Flex->setText(row, QStringLiteral("FAmount"), money(std::round(qty * price * 100.0) / 100.0));
    showTotals();
}

void frmBill::afterEdit(int row, int col) {
    m_quiet = true;
    const struct Unquiet {
        bool &q;
        ~Unquiet() { q = false; }
    } unquiet{m_quiet};
    const QString key = Flex->colKey(col);
    const QString text = Flex->textMatrix(row, col);
    if (key == QLatin1String("FNumber")) {
        if (text.trimmed().isEmpty()) {
            for (int c = 0; c < Flex->cols(); ++c)
                Flex->setTextMatrix(row, c, QString());
            showTotals();
            return;
        }
        if (enterItem(row, text)) {
            ensureSpareRow();
            m_nextRow = row;
            m_nextKey = QStringLiteral("FQty");
        }
        return;
    }
    if (Flex->text(row, QStringLiteral("FItemID")).isEmpty()) {
        Flex->setTextMatrix(row, col, QString());
        return;
    }
    if (key == QLatin1String("FJhDate")) {
        const QDate d = QDate::fromString(text.trimmed(), QStringLiteral("yyyy-MM-dd"));
        if (!d.isValid()) {
            Flex->setTextMatrix(row, col, Flex->editedFrom());
            ui::dialogs().warning(QStringLiteral("交货日期要写成“年-月-日”，例如 2026-12-20。"));
        }
        return;
    }
    double value = 0;
    if (!parse(text, value) || value < 0) {
        Flex->setTextMatrix(row, col, Flex->editedFrom());
        ui::dialogs().warning(QStringLiteral("%1必须是不小于零的数字。").arg(Captions.value(col)));
        return;
    }
    if (key == QLatin1String("FMainQty")) {
        double exchange = 1;
        parse(Flex->text(row, QStringLiteral("FExchange")), exchange);
        Flex->setText(row, QStringLiteral("FQty"), num(value * (exchange > 0 ? exchange : 1)));
    }
    recalc(row);
    // Quantity entered: on to the next line's code, as a scanner expects.
    if (key == QLatin1String("FQty") || key == QLatin1String("FMainQty")) {
        ensureSpareRow();
        m_nextRow = row + 1;
        m_nextKey = QStringLiteral("FNumber");
    }
}

void frmBill::showTotals() {
    double qty = 0, amount = 0;
    int lines = 0;
    for (int r = Flex->fixedRows(); r < Flex->rows(); ++r) {
        if (Flex->text(r, QStringLiteral("FItemID")).isEmpty())
            continue;
        double q = 0, a = 0;
        parse(Flex->text(r, QStringLiteral("FQty")), q);
        parse(Flex->text(r, QStringLiteral("FAmount")), a);
        qty += q;
        amount += a;
        ++lines;
    }
    lblTotal->setText(
        QStringLiteral("合计：%1 种商品  数量 %2  金额 %3").arg(lines).arg(num(qty), money(amount)));
}

Bill frmBill::gather() const {
    Bill b = m_bill;
    b.date = dtpDate->date();
    b.orgaId = cmbSupplier->currentData().toInt();
    b.outStockId = cmbOutStock->currentData().toInt();
    b.inStockId = cmbInStock->currentData().toInt();
    b.empId = cmbEmp->currentData().toInt();
    b.remark = txtRemark->text().trimmed();
    b.lines.clear();
    for (int r = Flex->fixedRows(); r < Flex->rows(); ++r) {
        if (Flex->text(r, QStringLiteral("FItemID")).isEmpty())
            continue;
        BillLine l;
        l.itemId = Flex->text(r, QStringLiteral("FItemID")).toInt();
        l.number = Flex->text(r, QStringLiteral("FNumber"));
        l.name = Flex->text(r, QStringLiteral("FName"));
        l.unit = Flex->text(r, QStringLiteral("FUnit"));
        l.model = Flex->text(r, QStringLiteral("FModel"));
        if (!parse(Flex->text(r, QStringLiteral("FQty")), l.qty))
            l.qty = std::nan("");
        if (!parse(Flex->text(r, QStringLiteral("FPrice")), l.price))
            l.price = std::nan("");
        parse(Flex->text(r, QStringLiteral("FExchange")), l.exchange);
        if (l.exchange <= 0)
            l.exchange = 1;
        l.mainQty = l.qty / l.exchange;
        l.due = QDate::fromString(Flex->text(r, QStringLiteral("FJhDate")), QStringLiteral("yyyy-MM-dd"));
        const QStringList src = Flex->text(r, QStringLiteral("FSource")).split(QLatin1Char(':'));
        if (src.size() == 2) {
            l.sourceInterId = src[0].toInt();
            l.sourceEntryId = src[1].toInt();
        }
        b.lines << l;
    }
    return b;
}

bool frmBill::save() {
    if (m_readOnly)
        return false;
    Bill b = gather();
    BillStore store(lookupConnection(), m_userId);
    SaveOutcome out = store.save(b);
    if (!out.saved) {
        QStringList lines;
        for (const Shortage &s : out.shortages)
            lines << QStringLiteral("%1 %2：%3库存 %4，本单需要 %5")
                         .arg(s.number, s.name, s.store, num(s.onHand), num(s.needed));
        for (const OverReceipt &o : out.overReceipts)
            lines << QStringLiteral("%1 %2：订货单未到货 %3，本单入库 %4")
                         .arg(o.number, o.name, num(o.open), num(o.received));
        const QString what = out.shortages.isEmpty()
                                 ? QStringLiteral("下列商品的入库数量超过了订货单未到货的数量：")
                                 : QStringLiteral("下列商品库存不足：");
        if (ui::dialogs().question(what + QStringLiteral("\n") + lines.join(u'\n') +
                                       QStringLiteral("\n是否仍然保存？"),
                                   ui::Icon::Question, ui::Answer::No) != ui::Answer::Yes)
            return false;
        out = store.save(b, true);
    }
    if (!out.saved)
        return false;
    m_bill = b;
    if (accountdb::readProfile(lookupConnection(), QStringLiteral("AutoNewBillAfterSave")).trimmed() ==
        QLatin1String("1")) {
        newBill();
        lblState->setText(QStringLiteral("单据 %1 已保存，请录入下一张。").arg(b.billNo));
    } else {
        showBill(store.load(b.kind, b.interId));
        lblState->setText(QStringLiteral("单据 %1 已保存。").arg(b.billNo));
    }
    return true;
}

void frmBill::gridPrint() {
    // The grid printer prints what the window shows, with the header as its lines above.
    QVariantList head{QStringLiteral("单据号码：") + txtBillNo->text(),
                      QStringLiteral("单据日期：") + dtpDate->date().toString(QStringLiteral("yyyy-MM-dd"))};
    for (QComboBox *c : {cmbSupplier, cmbOutStock, cmbInStock})
        if (c->isVisible() && !c->currentText().isEmpty())
            head << c->currentText();
    components::createObject(QStringLiteral("VNPrinter.DoPrint"))
        ->invoke(QStringLiteral("DoPrint"), {false, m_cnstr, objectName(), windowTitle(),
                                             QVariant(QVariantList{head, QVariantList{lblTotal->text()}}),
                                             QVariant::fromValue<QObject *>(Flex)});
}

void frmBill::print() {
    QList<components::labels::FormatEntry> formats;
    {
        db::Connection conn(m_cnstr);
        formats = components::labels::LabelFormatStore(conn, m_bill.kind).list();
    }
    if (formats.isEmpty()) {
        gridPrint();
        return;
    }
    QDialog dlg(this);
    dlg.setObjectName(QStringLiteral("frmPrintFormat"));
    dlg.setWindowTitle(QStringLiteral("打印") + windowTitle());
    auto *cmbFormat = new QComboBox(&dlg);
    cmbFormat->setObjectName(QStringLiteral("cmbFormat"));
    int preferred = 0;
    for (const auto &f : formats) {
        if (f.selected)
            preferred = cmbFormat->count();
        cmbFormat->addItem(f.name, f.name);
    }
    cmbFormat->addItem(QStringLiteral("表格打印（按窗口中的表格）"), QString());
    cmbFormat->setCurrentIndex(preferred);
    auto *ok = new QPushButton(QStringLiteral("打印"), &dlg);
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), &dlg);
    auto *lay = new QVBoxLayout(&dlg);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("打印格式："), &dlg));
    row->addWidget(cmbFormat, 1);
    lay->addLayout(row);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    lay->addLayout(buttons);
    dlg.resize(380, 110);
    connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, &dlg, &QDialog::reject);
    if (ui::dialogs().exec(dlg) != QDialog::Accepted)
        return;
    const QString name = cmbFormat->currentData().toString();
    if (name.isEmpty()) {
        gridPrint();
        return;
    }
    Bill b = gather();
    if (b.lines.isEmpty()) {
        ui::dialogs().info(QStringLiteral("单据上没有商品，没有可打印的内容。"));
        return;
    }
    db::Connection conn(m_cnstr);
    const auto records = QSharedPointer<db::Recordset>::create(billPrintRecords(conn, b));
    components::createObject(QStringLiteral("ZoTdPrinter.Printer"))
        ->invoke(QStringLiteral("DoPrint"),
                 {false, m_cnstr, m_bill.kind, false, true, QVariant::fromValue(records), name});
}

void frmBill::deleteBill() {
    if (m_bill.interId <= 0 || m_readOnly)
        return;
    if (ui::dialogs().question(QStringLiteral("是否删除单据 %1？").arg(m_bill.billNo), ui::Icon::Question,
                               ui::Answer::No) != ui::Answer::Yes)
        return;
    BillStore(lookupConnection(), m_userId).remove(m_bill.kind, m_bill.interId);
    const QString no = m_bill.billNo;
    m_bill.interId = 0;
    newBill();
    lblState->setText(QStringLiteral("单据 %1 已删除。").arg(no));
}

void frmBill::fillFromOrder(int orderInterId) {
    BillStore store(lookupConnection(), m_userId);
    const bool transfer = m_bill.kind == 31;
    Bill r = transfer ? store.transferFromRequest(orderInterId) : store.receiptFromOrder(orderInterId);
    r.date = dtpDate->date();
    if (!transfer)
        r.inStockId = cmbInStock->currentData().toInt();
    if (!r.empId)
        r.empId = cmbEmp->currentData().toInt();
    showBill(r);
}

void frmBill::chooseOrder() {
    db::Connection &conn = lookupConnection();
    QDialog dlg(this);
    dlg.setObjectName(QStringLiteral("frmOrderPick"));
    const bool transfer = m_bill.kind == 31;
    dlg.setWindowTitle(transfer ? QStringLiteral("选择调拨预订单") : QStringLiteral("选择订货单"));
    auto *grid = new ui::Grid(&dlg);
    grid->setObjectName(QStringLiteral("Flex"));
    auto rs =
        transfer
            ? conn.open(QStringLiteral("select t1.FInterID,t1.FBillNo as 单据号码,t1.FDate as "
                                       "单据日期,o.FName as 调出仓库,n.FName as 调入仓库 "
                                       "from ICStockBill t1 left join t_Stock o on o.FItemID=t1.FOutStockID "
                                       "left join t_Stock n on n.FItemID=t1.FInStockID "
                                       "where t1.FTranType=9 and t1.FDeleted=0 and exists (select 1 from "
                                       "ICStockBillEntry e where e.FInterID=t1.FInterID "
                                       "and e.FQty>isnull((select sum(x.FQty) from ICStockBillEntry x join "
                                       "ICStockBill b on b.FInterID=x.FInterID "
                                       "where b.FDeleted=0 and b.FTranType=31 and "
                                       "x.FSourceInterID=e.FInterID and x.FSourceEntryID=e.FEntryID),0)) "
                                       "order by t1.FDate,t1.FBillNo"))
            : conn.open(QStringLiteral(
                  "select o.FInterID,o.FBillNo as 单据号码,o.FDate as 单据日期,s.FName as 供应商,"
                  "(select sum(e.FQty-isnull(e.FCompleteQty,0)) from ICOrderEntry e where "
                  "e.FInterID=o.FInterID "
                  "and isnull(e.FCancelAction,0)=0) as 未到货数量 from ICOrder o left join t_Supplier s on "
                  "s.FItemID=o.FOrgaID "
                  "where isnull(o.FDeleted,0)=0 and exists (select 1 from ICOrderEntry e where "
                  "e.FInterID=o.FInterID "
                  "and isnull(e.FCancelAction,0)=0 and e.FQty-isnull(e.FCompleteQty,0)>0) order by "
                  "o.FDate,o.FBillNo"));
    grid->loadRecordset(rs);
    grid->setColHidden(0, true);
    grid->fitColumns();
    auto *ok = new QPushButton(QStringLiteral("确定"), &dlg);
    auto *cancel = new QPushButton(QStringLiteral("取消"), &dlg);
    auto *lay = new QVBoxLayout(&dlg);
    lay->addWidget(grid, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    lay->addLayout(buttons);
    dlg.resize(560, 360);
    connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, &dlg, &QDialog::reject);
    connect(grid, &QAbstractItemView::doubleClicked, &dlg, &QDialog::accept);
    if (grid->rows() <= grid->fixedRows()) {
        ui::dialogs().info(transfer ? QStringLiteral("没有未调拨完的调拨预订单。")
                                    : QStringLiteral("没有未到货的订货单。"));
        return;
    }
    if (ui::dialogs().exec(dlg) != QDialog::Accepted)
        return;
    const int r = std::max(grid->currentGridRow(), grid->fixedRows());
    fillFromOrder(grid->textMatrix(r, 0).toInt());
}

void frmBill::openPicker() {
    if (m_readOnly)
        return;
    if (!m_picker) {
        m_picker = std::make_unique<components::items::ItemPicker>(this);
        connect(m_picker.get(), &components::items::ItemPicker::MuliSelectItem, this,
                [this](const QStringList &codes, bool) { ui::errorTrap([&] { enterCodes(codes); }); });
    }
    m_picker->setMultiSelect(true);
    m_picker->showPicker(m_cnstr, m_userId);
}

void frmBill::enterCodes(const QStringList &codes) {
    int row = std::max(Flex->currentGridRow(), Flex->fixedRows());
    for (const QString &code : codes) {
        while (row < Flex->rows() && !Flex->text(row, QStringLiteral("FItemID")).isEmpty())
            ++row;
        if (row >= Flex->rows())
            Flex->setRows(row + 1);
        m_quiet = true;
        const bool ok = enterItem(row, code);
        m_quiet = false;
        if (!ok)
            return;
    }
    ensureSpareRow();
    goTo(row, QStringLiteral("FQty"));
}

} // namespace zostore::modules::bills
