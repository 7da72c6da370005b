#include "components/labels/LabelList.h"

#include "components/labels/LabelFormat.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "db/Recordset.h"
#include "ui/Dialogs.h"
#include "ui/Grid.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace zostore::components::labels {

namespace {

struct Column {
    const char *key;
    const char *caption;
    int twips;
};
// The retail price is found by its caption, the other columns by key.
constexpr Column Columns[] = {{"FNumber", "商品编码", 1500}, {"FName", "商品名称", 2600},
                              {"FShopNumber", "店内码", 1500}, {"FModel", "规格", 1200},
                              {"FUnit", "单位", 700},         {"FBarCode", "条码", 1700},
                              {"FPriceText", "零售价", 1000},  {"FCount", "标签数", 900}};

} // namespace

LabelList::LabelList(QWidget *parent)
    : QWidget(parent), m_grid(new ui::Grid(this)), m_code(new QLineEdit(this)), m_count(new QSpinBox(this)) {
    m_grid->setObjectName(QStringLiteral("grdLabel"));
    m_grid->setCols(static_cast<int>(std::size(Columns)));
    QStringList captions;
    for (int c = 0; c < m_grid->cols(); ++c) {
        m_grid->setColKey(c, QString::fromLatin1(Columns[c].key));
        m_grid->setColWidthTwips(c, Columns[c].twips);
        captions << QString::fromUtf8(Columns[c].caption);
    }
    m_grid->setHeaders(captions);
    m_grid->setEditable(true);
    for (int c = 0; c < m_grid->cols(); ++c)
        m_grid->setColEditable(c, false);
    const int countCol = m_grid->colIndex(QStringLiteral("FCount"));
    m_grid->setColEditable(countCol, true);
    m_grid->setColAlignment(countCol, Qt::AlignRight | Qt::AlignVCenter);
    m_grid->setColAlignment(m_grid->colIndex(QStringLiteral("FPriceText")), Qt::AlignRight | Qt::AlignVCenter);
    connect(m_grid, &ui::Grid::afterEdit, this, [this, countCol](int row, int col) {
        if (col != countCol)
            return;
        bool ok = false;
        const int n = m_grid->textMatrix(row, col).trimmed().toInt(&ok);
        if (!ok || n < 1 || n > 9999) {
            ui::dialogs().info(QStringLiteral("标签数要填 1 到 9999 之间的整数。"));
            m_grid->setTextMatrix(row, col, QStringLiteral("1"));
        }
    });

    m_code->setObjectName(QStringLiteral("txtCode"));
    m_code->setPlaceholderText(QStringLiteral("输入或扫描商品编码、店内码、条码，回车加入"));
    m_code->setMaxLength(50);
    m_count->setObjectName(QStringLiteral("txtCount"));
    m_count->setRange(1, 9999);
    auto *add = new QPushButton(QStringLiteral("加入"), this);
    auto *bill = new QPushButton(QStringLiteral("从单据加入…"), this);
    connect(m_code, &QLineEdit::returnPressed, this, &LabelList::addTyped);
    connect(add, &QPushButton::clicked, this, &LabelList::addTyped);
    connect(bill, &QPushButton::clicked, this, &LabelList::askBill);

    auto *entry = new QHBoxLayout;
    entry->addWidget(new QLabel(QStringLiteral("商品："), this));
    entry->addWidget(m_code, 1);
    entry->addWidget(new QLabel(QStringLiteral("标签数："), this));
    entry->addWidget(m_count);
    entry->addWidget(add);
    entry->addWidget(bill);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(entry);
    layout->addWidget(m_grid, 1);
}

void LabelList::init(const QString &cnstr, int /*userId*/) {
    m_cnstr = cnstr;
    clearList();
}

int LabelList::rowOf(const QString &number, const QString &barcode) const {
    for (int r = m_grid->fixedRows(); r < m_grid->rows(); ++r)
        if (m_grid->text(r, QStringLiteral("FNumber")) == number &&
            m_grid->text(r, QStringLiteral("FBarCode")) == barcode)
            return r;
    return -1;
}

void LabelList::addItem(const LabelItem &item) {
    int row = rowOf(item.number, item.barcode);
    if (row >= 0) {
        const int n = m_grid->text(row, QStringLiteral("FCount")).toInt() + item.count;
        m_grid->setText(row, QStringLiteral("FCount"), QString::number(std::min(n, 9999)));
        return;
    }
    row = m_grid->rows();
    m_grid->setRows(row + 1);
    m_grid->setText(row, QStringLiteral("FNumber"), item.number);
    m_grid->setText(row, QStringLiteral("FName"), item.name);
    m_grid->setText(row, QStringLiteral("FShopNumber"), item.shopNumber);
    m_grid->setText(row, QStringLiteral("FModel"), item.model);
    m_grid->setText(row, QStringLiteral("FUnit"), item.unit);
    m_grid->setText(row, QStringLiteral("FBarCode"), item.barcode);
    m_grid->setText(row, QStringLiteral("FPriceText"), item.priceText);
    m_grid->setText(row, QStringLiteral("FCount"), QString::number(std::clamp(item.count, 1, 9999)));
}

bool LabelList::addCode(const QString &codeOrBarcode, int count) {
    if (codeOrBarcode.trimmed().isEmpty())
        return false;
    db::Connection conn(m_cnstr);
    auto item = LabelItems(conn).find(codeOrBarcode);
    if (!item) {
        ui::dialogs().info(
            QStringLiteral("没有编码、店内码或条码为“%1”的商品。").arg(db::shortened(codeOrBarcode.trimmed())));
        return false;
    }
    item->count = count;
    addItem(*item);
    return true;
}

void LabelList::addBill(const QString &billNo) {
    db::Connection conn(m_cnstr);
    for (const LabelItem &item : LabelItems(conn).fromBill(billNo))
        addItem(item);
}

void LabelList::addTyped() {
    try {
        if (addCode(m_code->text(), m_count->value()))
            m_code->clear();
        m_code->setFocus();
    } catch (const Error &e) {
        ui::dialogs().info(e.description());
    }
}

void LabelList::askBill() {
    const auto no = ui::dialogs().inputBox(QStringLiteral("单据号："), QStringLiteral("从单据加入标签"));
    if (!no || no->trimmed().isEmpty())
        return;
    try {
        addBill(*no);
    } catch (const Error &e) {
        ui::dialogs().info(e.description());
    }
}

void LabelList::clearList() { m_grid->clear(); }

void LabelList::deleteCurrentRow() {
    const int row = m_grid->currentGridRow();
    if (row < m_grid->fixedRows() || row >= m_grid->rows())
        return;
    m_grid->removeGridRow(row);
}

int LabelList::itemCount() const { return m_grid->rows() - m_grid->fixedRows(); }

db::Recordset LabelList::labelData(int perRow) const {
    if (perRow < 1 || perRow > 50)
        throw Error(QStringLiteral("每行打印标签数要在 1 到 50 之间。"));
    QStringList names{QStringLiteral("FRow"), QStringLiteral("FCol")};
    for (const auto &f : labelFields())
        names << f.first;
    QVector<QVector<QVariant>> rows;
    int k = 0;
    for (int r = m_grid->fixedRows(); r < m_grid->rows(); ++r) {
        if (m_grid->text(r, QStringLiteral("FNumber")).isEmpty())
            continue;
        QVector<QVariant> fields;
        for (const auto &f : labelFields())
            fields << m_grid->text(r, f.first);
        const int copies = std::max(1, m_grid->text(r, QStringLiteral("FCount")).toInt());
        for (int i = 0; i < copies; ++i, ++k) {
            QVector<QVariant> rec{k / perRow, k % perRow};
            rec << fields;
            rows << rec;
        }
    }
    return db::Recordset::fromRows(names, rows);
}

} // namespace zostore::components::labels
