#include "modules/items/frmItemEdit.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zostore::modules::items {

namespace {

constexpr int BarcodeRows = 6;

QLineEdit *box(QWidget *parent, const QString &name, int maxLength = 0) {
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    if (maxLength > 0)
        e->setMaxLength(maxLength + 1); // one more, so that a too long text is told, not cut
    return e;
}

} // namespace

frmItemEdit::frmItemEdit(QString cnstr, int itemId, int groupId, QWidget *parent)
    : QDialog(parent), m_cnstr(std::move(cnstr)), m_itemId(itemId), m_groupId(groupId) {
    setObjectName(QStringLiteral("frmItemEdit"));
    setWindowTitle(itemId == 0 ? QStringLiteral("新增商品") : QStringLiteral("修改商品"));
    txtNumber = box(this, QStringLiteral("txtNumber"), 50);
    txtName = box(this, QStringLiteral("txtName"), 100);
    txtModel = box(this, QStringLiteral("txtModel"), 100);
    txtUnit = box(this, QStringLiteral("txtUnit"), 20);
    txtExchange = box(this, QStringLiteral("txtExchange"));
    cmbGroup = new QComboBox(this);
    cmbGroup->setObjectName(QStringLiteral("cmbGroup"));
    txtQuickNum = box(this, QStringLiteral("txtQuickNum"), 50);
    txtShopNumber = box(this, QStringLiteral("txtShopNumber"), 50);
    txtShopNumber->setPlaceholderText(QStringLiteral("空着时按系统参数自动产生"));
    txtBarcode = box(this, QStringLiteral("txtBarcode"), 50);
    txtPurPrice = box(this, QStringLiteral("txtPurPrice"));
    txtCostPrice = box(this, QStringLiteral("txtCostPrice"));

    auto *left = new QFormLayout;
    left->addRow(QStringLiteral("商品代码(&N)："), txtNumber);
    left->addRow(QStringLiteral("商品名称(&M)："), txtName);
    left->addRow(QStringLiteral("规格型号："), txtModel);
    left->addRow(QStringLiteral("单位："), txtUnit);
    left->addRow(QStringLiteral("包装数："), txtExchange);
    left->addRow(QStringLiteral("商品类别："), cmbGroup);
    left->addRow(QStringLiteral("助记码："), txtQuickNum);
    left->addRow(QStringLiteral("店内码："), txtShopNumber);
    left->addRow(QStringLiteral("条形码(&B)："), txtBarcode);
    auto *right = new QFormLayout;
    right->addRow(QStringLiteral("进价(&J)："), txtPurPrice);
    right->addRow(QStringLiteral("成本价："), txtCostPrice);

    FlexBarcode = new ui::Grid(this);
    FlexBarcode->setObjectName(QStringLiteral("FlexBarcode"));
    FlexBarcode->setCols(4);
    FlexBarcode->setFixedRows(1);
    const QStringList keys{QStringLiteral("FBarCode"), QStringLiteral("FPriceStyle"),
                           QStringLiteral("FPrice"), QStringLiteral("FExchange")};
    for (int c = 0; c < keys.size(); ++c)
        FlexBarcode->setColKey(c, keys[c]);
    FlexBarcode->setHeaders({QStringLiteral("条形码"), QStringLiteral("价格类型"), QStringLiteral("售价"),
                             QStringLiteral("包装数")});
    FlexBarcode->setEditable(true);
    FlexBarcode->setColWidthTwips(0, 2200);
    FlexBarcode->setColWidthTwips(1, 1300);
    FlexBarcode->setColWidthTwips(2, 1000);
    FlexBarcode->setColWidthTwips(3, 900);

    cmdOK = new QPushButton(QStringLiteral("保存(&S)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    ui::errorTrap([&] {
        db::Connection conn(m_cnstr);
        ItemStore store(conn);
        m_styles = store.priceStyles();
        for (const PriceStyle &s : m_styles) {
            txtPrice[s.id] = box(this, QStringLiteral("txtPrice_%1").arg(s.id));
            right->addRow(s.name + QStringLiteral("："), txtPrice[s.id]);
        }
        for (const auto &f : store.extraFields()) {
            txtExtra[f.name] = box(this, QStringLiteral("txt_") + f.name);
            right->addRow(f.caption + QStringLiteral("："), txtExtra[f.name]);
        }
        cmbGroup->addItem(QStringLiteral("（无类别）"), 0);
        for (auto rs =
                 conn.open(QStringLiteral("select FItemID,FNumber,FName from t_ItemGroup order by FNumber"));
             !rs.eof(); rs.moveNext())
            cmbGroup->addItem(rs.text(QStringLiteral("FNumber")) + QLatin1Char(' ') +
                                  rs.text(QStringLiteral("FName")),
                              rs.toInt(QStringLiteral("FItemID")));
    });

    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addSpacing(12);
    columns->addLayout(right, 2);
    auto *bars = new QGroupBox(QStringLiteral("多条码（包装条码可以有自己的价格类型、售价和包装数）"), this);
    auto *barsLay = new QVBoxLayout(bars);
    barsLay->addWidget(FlexBarcode);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(columns);
    lay->addWidget(bars, 1);
    lay->addLayout(buttons);
    resize(720, 560);
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        if (save())
            accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    ui::errorTrap([this] { load(); });
}

void frmItemEdit::load() {
    ItemInput in;
    if (m_itemId != 0) {
        db::Connection conn(m_cnstr);
        in = ItemStore(conn).item(m_itemId);
    } else {
        in.groupId = m_groupId;
    }
    txtNumber->setText(in.number);
    txtName->setText(in.name);
    txtModel->setText(in.model);
    txtUnit->setText(in.unit);
    txtExchange->setText(in.exchange);
    cmbGroup->setCurrentIndex(std::max(0, cmbGroup->findData(in.groupId)));
    txtQuickNum->setText(in.quickNumber);
    txtShopNumber->setText(in.shopNumber);
    txtBarcode->setText(in.barcode);
    txtPurPrice->setText(in.purPrice);
    txtCostPrice->setText(in.costPrice);
    for (auto it = txtPrice.cbegin(); it != txtPrice.cend(); ++it)
        it.value()->setText(in.prices.value(it.key()));
    for (auto it = txtExtra.cbegin(); it != txtExtra.cend(); ++it)
        it.value()->setText(in.extra.value(it.key()));
    QVector<QString> cells;
    for (const ExtraBarcode &b : in.barcodes) {
        QString style;
        for (const PriceStyle &s : m_styles)
            if (s.id == b.priceStyleId)
                style = s.name;
        cells << b.barcode << style << b.price << b.exchange;
    }
    const int rows = static_cast<int>(in.barcodes.size()) + BarcodeRows;
    cells.resize(rows * 4);
    FlexBarcode->setData(rows, 4, std::move(cells));
}

ItemInput frmItemEdit::input() const {
    ItemInput in;
    in.id = m_itemId;
    in.number = txtNumber->text();
    in.name = txtName->text();
    in.model = txtModel->text();
    in.unit = txtUnit->text();
    in.exchange = txtExchange->text();
    in.groupId = cmbGroup->currentData().toInt();
    in.quickNumber = txtQuickNum->text();
    in.shopNumber = txtShopNumber->text();
    in.barcode = txtBarcode->text();
    in.purPrice = txtPurPrice->text();
    in.costPrice = txtCostPrice->text();
    for (auto it = txtPrice.cbegin(); it != txtPrice.cend(); ++it)
        in.prices[it.key()] = it.value()->text();
    for (auto it = txtExtra.cbegin(); it != txtExtra.cend(); ++it)
        in.extra[it.key()] = it.value()->text();
    for (int r = FlexBarcode->fixedRows(); r < FlexBarcode->rows(); ++r) {
        const QString code = FlexBarcode->text(r, QStringLiteral("FBarCode")).trimmed();
        if (code.isEmpty())
            continue;
        ExtraBarcode b;
        b.barcode = code;
        const QString style = FlexBarcode->text(r, QStringLiteral("FPriceStyle")).trimmed();
        if (!style.isEmpty()) {
            for (const PriceStyle &s : m_styles)
                if (s.name == style || s.number == style)
                    b.priceStyleId = s.id;
            if (b.priceStyleId == 0)
                throw Error(QStringLiteral("条形码“%1”的价格类型“%2”不存在。").arg(code, style));
        }
        b.price = FlexBarcode->text(r, QStringLiteral("FPrice"));
        b.exchange = FlexBarcode->text(r, QStringLiteral("FExchange"));
        in.barcodes.append(b);
    }
    return in;
}

bool frmItemEdit::save() {
    return ui::errorTrap([this] {
        db::Connection conn(m_cnstr);
        m_savedId = ItemStore(conn).save(input());
        m_itemId = m_savedId;
    });
}

} // namespace zostore::modules::items
