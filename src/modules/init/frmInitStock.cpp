#include "modules/init/frmInitStock.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "modules/init/InitState.h"
#include "modules/init/StockTransfer.h"
#include "startup/FormServices.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"
#include "ui/WaitCursor.h"
#include "db/NumberText.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace zostore::modules::init {

namespace {

const QStringList Keys = {QStringLiteral("FItemID"), QStringLiteral("FNumber"), QStringLiteral("FName"),
                          QStringLiteral("FModel"),  QStringLiteral("FUnit"),   QStringLiteral("FQty"),
                          QStringLiteral("FPrice"),  QStringLiteral("FAmount")};
const QStringList Captions = {QString(),           QStringLiteral("商品代码"), QStringLiteral("商品名称"),
                              QStringLiteral("规格型号"), QStringLiteral("单位"),     QStringLiteral("期初数量"),
                              QStringLiteral("单价"),     QStringLiteral("期初金额")};

QString money(double v) { return std::abs(v) < 0.005 ? QString() : QString::number(v, 'f', 2); }

QString trimmed(double v, int decimals) {
    if (std::abs(v) < 0.5 * std::pow(10.0, -decimals))
        return QString();
    return db::figureText(v, decimals);
}

// Empty counts as 0; anything else that is not a plain number is refused.
bool parse(const QString &text, double &out) {
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        out = 0;
        return true;
    }
    bool ok = false;
    out = t.toDouble(&ok);
    return ok && std::isfinite(out) && out >= 0;
}

} // namespace

frmInitStock::frmInitStock(QString cnstr, QWidget *parent) : QDialog(parent), m_cnstr(std::move(cnstr)) {
    setObjectName(QStringLiteral("frmInitStock"));
    setWindowTitle(QStringLiteral("商品库存余额初始化"));
    build();
    ui::errorTrap([this] {
        db::Connection conn(m_cnstr);
        const InitState s = InitState::read(conn);
        const QString why = s.whyReadOnly();
        m_readOnly = !why.isEmpty();
        lblState->setText(m_readOnly ? why
                                     : QStringLiteral("期初月份：%1。选择仓库，录入各商品的期初数量和金额（或单价），"
                                                      "再按“保存”。")
                                           .arg(s.monthText()));
        cmdSave->setEnabled(!m_readOnly);
        cmdImport->setEnabled(!m_readOnly);
        Flex->setEditable(!m_readOnly);
        for (const StoreRef &st : OpeningStock(conn).stores())
            cmbStock->addItem(QStringLiteral("%1 %2").arg(st.number, st.name), st.id);
        startup::ApplyGridFormat(Flex, objectName());
    });
    connect(cmbStock, &QComboBox::currentIndexChanged, this, [this](int i) { ui::errorTrap([&] { storeChosen(i); }); });
    if (cmbStock->count() > 0)
        ui::errorTrap([this] { loadStore(); });
    else
        lblState->setText(QStringLiteral("帐套中还没有仓库，请先在档案资料中建立仓库。"));
}

void frmInitStock::build() {
    cmbStock = new QComboBox(this);
    cmbStock->setObjectName(QStringLiteral("cmbStock"));
    cmbStock->setMinimumWidth(200);
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setPlaceholderText(QStringLiteral("商品代码或名称，回车找下一个"));
    lblState = new QLabel(this);
    lblState->setWordWrap(true);
    Flex = new ui::Grid(this);
    Flex->setObjectName(QStringLiteral("Flex"));
    Flex->setCols(Keys.size());
    Flex->setFixedRows(1);
    for (int c = 0; c < Keys.size(); ++c)
        Flex->setColKey(c, Keys[c]);
    Flex->setHeaders(Captions);
    Flex->setColHidden(0, true);
    for (const char *k : {"FQty", "FPrice", "FAmount"})
        Flex->setColAlignment(Flex->colIndex(QString::fromLatin1(k)), Qt::AlignRight | Qt::AlignVCenter);
    for (int c = 0; c < Keys.size(); ++c)
        Flex->setColEditable(c, c >= Flex->colIndex(QStringLiteral("FQty")));
    lblTotal = new QLabel(this);
    lblTotal->setObjectName(QStringLiteral("lblTotal"));
    cmdImport = new QPushButton(QStringLiteral("导入(&I)"), this);
    cmdImport->setObjectName(QStringLiteral("cmdImport"));
    cmdImport->setToolTip(QStringLiteral("从 Excel 或 CSV 文件导入各仓库的期初库存"));
    cmdSave = new QPushButton(QStringLiteral("保存(&S)"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdClose = new QPushButton(QStringLiteral("关闭(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("仓库："), this));
    top->addWidget(cmbStock);
    top->addSpacing(16);
    top->addWidget(new QLabel(QStringLiteral("查找："), this));
    top->addWidget(txtFind, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblTotal, 1);
    bottom->addWidget(cmdImport);
    bottom->addWidget(cmdSave);
    bottom->addWidget(cmdClose);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(top);
    lay->addWidget(lblState);
    lay->addWidget(Flex, 1);
    lay->addLayout(bottom);
    resize(900, 600);

    connect(Flex, &ui::Grid::afterEdit, this, [this](int r, int c) { ui::errorTrap([&] { afterEdit(r, c); }); });
    connect(txtFind, &QLineEdit::returnPressed, this, [this] { findNext(); });
    connect(cmdImport, &QPushButton::clicked, this, [this] { importFile(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { save(); });
    connect(cmdClose, &QPushButton::clicked, this, &frmInitStock::reject);
}

int frmInitStock::storeId() const { return cmbStock->currentData().toInt(); }

void frmInitStock::loadStore() {
    ui::WaitCursor wait;
    db::Connection conn(m_cnstr);
    const QList<OpeningLine> lines = OpeningStock(conn).lines(storeId());
    QVector<QString> cells;
    cells.reserve(lines.size() * Keys.size());
    for (const OpeningLine &l : lines)
        cells << QString::number(l.itemId) << l.number << l.name << l.model << l.unit << trimmed(l.qty, 4)
              << (l.qty > 0 ? trimmed(l.amount / l.qty, 4) : QString()) << money(l.amount);
    Flex->setData(lines.size(), Keys.size(), std::move(cells));
    Flex->fitColumns();
    m_dirty.clear();
    m_shownStore = cmbStock->currentIndex();
    showTotals();
}

void frmInitStock::storeChosen(int index) {
    if (index == m_shownStore)
        return;
    if (!settleChanges()) {
        const QSignalBlocker block(cmbStock);
        cmbStock->setCurrentIndex(m_shownStore);
        return;
    }
    loadStore();
}

void frmInitStock::afterEdit(int row, int col) {
    const QString key = Flex->colKey(col);
    double value = 0;
    if (!parse(Flex->textMatrix(row, col), value)) {
        Flex->setTextMatrix(row, col, Flex->editedFrom());
        ui::dialogs().info(QStringLiteral("%1必须是不小于零的数字。").arg(Captions.value(col)));
        return;
    }
    double qty = 0, price = 0, amount = 0;
    parse(Flex->text(row, QStringLiteral("FQty")), qty);
    parse(Flex->text(row, QStringLiteral("FPrice")), price);
    parse(Flex->text(row, QStringLiteral("FAmount")), amount);
    // Quantity or price give the amount; an amount typed gives the price.
    if (key == QLatin1String("FAmount"))
        price = qty > 0 ? amount / qty : 0;
    else
        amount = std::round(qty * price * 100) / 100;
    Flex->setText(row, QStringLiteral("FQty"), trimmed(qty, 4));
    Flex->setText(row, QStringLiteral("FPrice"), trimmed(price, 4));
    Flex->setText(row, QStringLiteral("FAmount"), money(amount));
    m_dirty.insert(row);
    showTotals();
}

void frmInitStock::showTotals() {
    double qty = 0, amount = 0, v = 0;
    for (int r = Flex->fixedRows(); r < Flex->rows(); ++r) {
        if (parse(Flex->text(r, QStringLiteral("FQty")), v))
            qty += v;
        if (parse(Flex->text(r, QStringLiteral("FAmount")), v))
            amount += v;
    }
    lblTotal->setText(QStringLiteral("本仓库合计：数量 %1，金额 %2%3")
                          .arg(trimmed(qty, 4).isEmpty() ? QStringLiteral("0") : trimmed(qty, 4))
                          .arg(amount, 0, 'f', 2)
                          .arg(m_dirty.isEmpty() ? QString() : QStringLiteral("（有 %1 行未保存）").arg(m_dirty.size())));
}

bool frmInitStock::save() {
    if (m_dirty.isEmpty())
        return true;
    QList<OpeningLine> changed;
    for (int r : std::as_const(m_dirty)) {
        OpeningLine l;
        l.itemId = Flex->text(r, QStringLiteral("FItemID")).toInt();
        l.number = Flex->text(r, QStringLiteral("FNumber"));
        l.name = Flex->text(r, QStringLiteral("FName"));
        parse(Flex->text(r, QStringLiteral("FQty")), l.qty);
        parse(Flex->text(r, QStringLiteral("FAmount")), l.amount);
        changed << l;
    }
    bool done = false;
    ui::errorTrap([&] {
        ui::WaitCursor wait;
        db::Connection conn(m_cnstr);
        // The rows belong to the store they were loaded for, even while another is being chosen.
        OpeningStock(conn).save(cmbStock->itemData(m_shownStore).toInt(), changed);
        done = true;
    });
    if (!done)
        return false;
    m_dirty.clear();
    showTotals();
    ui::dialogs().info(QStringLiteral("期初库存已保存。"));
    return true;
}

void frmInitStock::importFile() {
    if (!settleChanges())
        return;
    if (components::sheet::importFromFile(m_cnstr, QStringLiteral("期初库存"), importOpeningStock) &&
        cmbStock->count() > 0)
        ui::errorTrap([this] { loadStore(); });
}

void frmInitStock::findNext() {
    const QString text = txtFind->text().trimmed();
    if (text.isEmpty() || Flex->rows() <= Flex->fixedRows())
        return;
    const int first = Flex->fixedRows(), n = Flex->rows() - first;
    const int from = std::max(Flex->currentGridRow(), first - 1) + 1;
    for (int i = 0; i < n; ++i) {
        const int r = first + (from - first + i) % n;
        if (Flex->text(r, QStringLiteral("FNumber")).contains(text, Qt::CaseInsensitive) ||
            Flex->text(r, QStringLiteral("FName")).contains(text, Qt::CaseInsensitive)) {
            const QModelIndex at = Flex->model()->index(r - first, Flex->colIndex(QStringLiteral("FQty")));
            Flex->setCurrentIndex(at);
            Flex->scrollTo(at);
            return;
        }
    }
    ui::dialogs().info(QStringLiteral("没有找到“%1”。").arg(text));
}

bool frmInitStock::settleChanges() {
    if (m_dirty.isEmpty())
        return true;
    switch (ui::dialogs().questionWithCancel(QStringLiteral("期初库存有 %1 行改动还没有保存，是否保存？").arg(m_dirty.size()))) {
    case ui::Answer::Yes:
        return save();
    case ui::Answer::No:
        m_dirty.clear();
        return true;
    default:
        return false;
    }
}

void frmInitStock::reject() {
    if (settleChanges())
        QDialog::reject();
}

} // namespace zostore::modules::init
