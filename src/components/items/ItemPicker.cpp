#include "components/items/ItemPicker.h"

#include "components/items/ItemGroupTree.h"
#include "components/items/ItemSearch.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "ui/Dialogs.h"
#include "ui/Grid.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace zostore::components::items {

namespace {

struct Column {
    const char *caption;
    int twips;
};
constexpr Column Columns[] = {{"商品代码", 1500}, {"商品名称", 2600}, {"规格型号", 1400},
                              {"单位", 700},      {"助记码", 1100},   {"条形码", 1800}};

} // namespace

ItemPicker::ItemPicker(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmItemPicker"));
    setWindowTitle(QStringLiteral("选择商品"));
    setModal(false);
    build();
}

ItemPicker::~ItemPicker() = default;

void ItemPicker::build() {
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setPlaceholderText(QStringLiteral("商品代码、名称、助记码或条形码"));
    txtFind->setMaxLength(50);
    connect(txtFind, &QLineEdit::textChanged, this, [this] { relist(); });

    m_grid = new ui::Grid(this);
    m_grid->setObjectName(QStringLiteral("grdItems"));
    m_grid->setCols(static_cast<int>(std::size(Columns)));
    QStringList captions;
    for (int c = 0; c < m_grid->cols(); ++c) {
        captions << QString::fromUtf8(Columns[c].caption);
        m_grid->setColWidthTwips(c, Columns[c].twips);
    }
    m_grid->setHeaders(captions);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this] { pick(false); });

    m_count = new QLabel(this);
    cmdSelect = new QPushButton(QStringLiteral("选入(&A)"), this);
    cmdSelect->setObjectName(QStringLiteral("cmdSelect"));
    cmdOk = new QPushButton(QStringLiteral("确定(&O)"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdClose = new QPushButton(QStringLiteral("关闭(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdOk->setDefault(true);
    connect(cmdSelect, &QPushButton::clicked, this, [this] { pick(false); });
    connect(cmdOk, &QPushButton::clicked, this, [this] { pick(true); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    auto *find = new QHBoxLayout;
    find->addWidget(new QLabel(QStringLiteral("查找："), this));
    find->addWidget(txtFind, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_count, 1);
    buttons->addWidget(cmdSelect);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdClose);

    auto *right = new QWidget(this);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addLayout(find);
    rightLayout->addWidget(m_grid, 1);
    m_tree = new ItemGroupTree(this);
    m_tree->setObjectName(QStringLiteral("atvItem"));
    connect(m_tree, &ItemGroupTree::groupSelected, this, [this](int key) {
        if (key != m_groupId) {
            m_groupId = key;
            relist();
        }
    });
    m_split = new QSplitter(Qt::Horizontal, this);
    m_split->setChildrenCollapsible(false);
    m_split->addWidget(m_tree);
    m_split->addWidget(right);
    m_split->setStretchFactor(1, 1);
    m_split->setSizes({200, 700});
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_split, 1);
    layout->addLayout(buttons);
    resize(900, 520);
}

void ItemPicker::setMultiSelect(bool on) {
    m_multi = on;
    m_grid->setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void ItemPicker::showPicker(const QString &cnstr, int /*userId*/) {
    m_cnstr = cnstr;
    try {
        m_tree->load(cnstr);
        // A group deleted since the last showing no longer filters.
        if (!m_tree->selectKey(m_groupId)) {
            m_groupId = ItemGroupTree::RootKey;
            m_tree->selectKey(m_groupId);
        }
    } catch (const Error &e) {
        ui::dialogs().info(e.description());
    }
    relist();
    show();
    raise();
    activateWindow();
    txtFind->setFocus();
}

void ItemPicker::search(const QString &text) {
    if (txtFind->text() == text)
        relist();
    else
        txtFind->setText(text); // relists
}

void ItemPicker::setGroup(int groupId) {
    m_groupId = groupId;
    m_tree->selectKey(groupId);
    relist();
}

void ItemPicker::relist() {
    if (m_cnstr.isEmpty())
        return;
    try {
        db::Connection conn(m_cnstr);
        const QVector<ItemRow> rows = searchItems(conn, txtFind->text(), m_groupId);
        QVector<QString> cells;
        cells.reserve(rows.size() * m_grid->cols());
        for (const ItemRow &r : rows)
            cells << r.number << r.name << r.model << r.unit << r.quickNumber << r.barcode;
        m_grid->setData(static_cast<int>(rows.size()), m_grid->cols(), std::move(cells));
        m_count->setText(QStringLiteral("共 %1 个商品").arg(rows.size()));
        if (!rows.isEmpty())
            m_grid->selectRow(0);
    } catch (const Error &e) {
        ui::dialogs().info(e.description());
    }
}

QStringList ItemPicker::listedCodes() const {
    QStringList out;
    for (int r = m_grid->fixedRows(); r < m_grid->rows(); ++r)
        out << m_grid->textMatrix(r, 0);
    return out;
}

void ItemPicker::selectCodes(const QStringList &codes) {
    m_grid->clearSelection();
    auto *sel = m_grid->selectionModel();
    for (int r = m_grid->fixedRows(); r < m_grid->rows(); ++r)
        if (codes.contains(m_grid->textMatrix(r, 0))) {
            sel->select(m_grid->model()->index(r - m_grid->fixedRows(), 0),
                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
            if (!m_multi)
                break;
        }
}

QStringList ItemPicker::selectedCodes() const {
    QList<int> rows;
    for (const QModelIndex &i : m_grid->selectionModel()->selectedRows())
        rows << i.row() + m_grid->fixedRows();
    std::sort(rows.begin(), rows.end());
    QStringList out;
    for (int r : rows)
        out << m_grid->textMatrix(r, 0);
    return out;
}

void ItemPicker::pick(bool closing) {
    const QStringList codes = selectedCodes();
    if (codes.isEmpty()) {
        ui::dialogs().info(QStringLiteral("请先选择商品！"));
        return;
    }
    if (closing)
        hide();
    emit MuliSelectItem(codes, closing);
}

} // namespace zostore::components::items
