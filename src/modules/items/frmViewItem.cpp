#include "modules/items/frmViewItem.h"

#include "components/export/SheetImport.h"
#include "components/items/ItemGroupTree.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "modules/items/ItemGroups.h"
#include "modules/items/ItemStore.h"
#include "modules/items/ItemTransfer.h"
#include "modules/items/frmFileEdit.h"
#include "modules/items/frmItemEdit.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"
#include "ui/WaitCursor.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace zostore::modules::items {

namespace {

QPushButton *button(QWidget *parent, const char *name, const QString &caption) {
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

} // namespace

FilePage::FilePage(QString cnstr, FileKind k, QWidget *parent)
    : QWidget(parent), kind(k), m_cnstr(std::move(cnstr)) {
    setObjectName(QStringLiteral("page_") + FileStore::table(k));
    Flex = new ui::Grid(this);
    Flex->setObjectName(QStringLiteral("Flex"));
    Flex->setEditable(false);
    Flex->setSelectionBehavior(QAbstractItemView::SelectRows);
    cmdNew = button(this, "cmdNew", QStringLiteral("新增(&N)"));
    cmdEdit = button(this, "cmdEdit", QStringLiteral("修改(&E)"));
    cmdDelete = button(this, "cmdDelete", QStringLiteral("删除(&D)"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdNew);
    buttons->addWidget(cmdEdit);
    buttons->addWidget(cmdDelete);
    if (k == FileKind::Supplier || k == FileKind::Customer) {
        cmdImport = button(this, "cmdImport", QStringLiteral("导入(&I)"));
        buttons->addWidget(cmdImport);
        connect(cmdImport, &QPushButton::clicked, this, [this] {
            if (components::sheet::importFromFile(m_cnstr, FileStore::caption(kind),
                           [this](db::Connection &c, const QList<QStringList> &rows, bool skip) {
                               return importPartners(c, kind, rows, skip);
                           }))
                ui::errorTrap([this] { load(); });
        });
    }
    buttons->addStretch(1);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(Flex, 1);
    lay->addLayout(buttons);
    connect(cmdNew, &QPushButton::clicked, this, [this] { addRow(); });
    connect(cmdEdit, &QPushButton::clicked, this, [this] { editRow(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { removeRow(); });
    connect(Flex, &QAbstractItemView::doubleClicked, this, [this] { editRow(); });
}

void FilePage::load() {
    db::Connection conn(m_cnstr);
    FileStore store(conn, kind);
    const QString what = FileStore::caption(kind);
    QStringList headers{QString(), what + QStringLiteral("代码"), what + QStringLiteral("名称")};
    if (store.hasPhone())
        headers << QStringLiteral("电话");
    if (store.hasAddress())
        headers << QStringLiteral("地址");
    QMap<int, QString> styles;
    if (kind == FileKind::Stock) {
        headers << QStringLiteral("零售价格类型") << QStringLiteral("虚拟仓库");
        for (const FileRow &s : FileStore(conn, FileKind::PriceStyle).rows())
            styles[s.id] = s.name;
    }
    const int cols = static_cast<int>(headers.size());
    Flex->setCols(cols);
    Flex->setFixedRows(1);
    Flex->setHeaders(headers);
    Flex->setColKey(0, QStringLiteral("FItemID"));
    Flex->setColHidden(0, true);
    QVector<QString> cells;
    const QList<FileRow> rows = store.rows();
    for (const FileRow &r : rows) {
        cells << QString::number(r.id) << r.number << r.name;
        if (store.hasPhone())
            cells << r.phone;
        if (store.hasAddress())
            cells << r.address;
        if (kind == FileKind::Stock)
            cells << styles.value(r.priceStyleId) << (r.isVirtual ? QStringLiteral("是") : QString());
    }
    Flex->setData(static_cast<int>(rows.size()), cols, std::move(cells));
    Flex->fitColumns();
}

int FilePage::currentId() const {
    const int r = Flex->currentGridRow();
    return r >= Flex->fixedRows() ? Flex->text(r, QStringLiteral("FItemID")).toInt() : 0;
}

void FilePage::addRow() {
    ui::errorTrap([this] {
        frmFileEdit w(m_cnstr, kind, 0, this);
        if (ui::dialogs().exec(w) == QDialog::Accepted)
            load();
    });
}

void FilePage::editRow() {
    const int id = currentId();
    if (id == 0)
        return;
    ui::errorTrap([&] {
        frmFileEdit w(m_cnstr, kind, id, this);
        if (ui::dialogs().exec(w) == QDialog::Accepted)
            load();
    });
}

void FilePage::removeRow() {
    const int id = currentId();
    if (id == 0)
        return;
    const QString name = Flex->textMatrix(Flex->currentGridRow(), 2);
    if (ui::dialogs().question(QStringLiteral("是否删除%1“%2”？").arg(FileStore::caption(kind), name)) !=
        ui::Answer::Yes)
        return;
    ui::errorTrap([&] {
        db::Connection conn(m_cnstr);
        FileStore(conn, kind).remove(id);
        load();
    });
}

frmViewItem::frmViewItem(QString cnstr, int userId, QWidget *parent)
    : QDialog(parent), m_cnstr(std::move(cnstr)), m_userId(userId) {
    setObjectName(QStringLiteral("frmViewItem"));
    setWindowTitle(QStringLiteral("档案资料"));
    lstFiles = new QListWidget(this);
    lstFiles->setObjectName(QStringLiteral("lstFiles"));
    lstFiles->addItem(QStringLiteral("商品资料"));
    for (FileKind k : FileStore::kinds())
        lstFiles->addItem(FileStore::caption(k));
    lstFiles->setFixedWidth(110);
    stkFiles = new QStackedWidget(this);

    // Items: group tree on the left, the list with its search box on the right.
    auto *itemsPage = new QWidget(this);
    itemsPage->setObjectName(QStringLiteral("page_t_ICItem"));
    tvwGroup = new components::items::ItemGroupTree(itemsPage);
    tvwGroup->setObjectName(QStringLiteral("tvwGroup"));
    cmdAddGroup = button(itemsPage, "cmdAddGroup", QStringLiteral("新增类别"));
    cmdRenameGroup = button(itemsPage, "cmdRenameGroup", QStringLiteral("改名"));
    cmdMoveGroup = button(itemsPage, "cmdMoveGroup", QStringLiteral("移动"));
    cmdDelGroup = button(itemsPage, "cmdDelGroup", QStringLiteral("删除类别"));
    txtFind = new QLineEdit(itemsPage);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setPlaceholderText(QStringLiteral("输入代码、名称、助记码或条形码查找，回车选定"));
    txtFind->installEventFilter(this);
    FlexItem = new ui::Grid(itemsPage);
    FlexItem->setObjectName(QStringLiteral("FlexItem"));
    FlexItem->setEditable(false);
    FlexItem->setSelectionBehavior(QAbstractItemView::SelectRows);
    FlexItem->setCols(6);
    FlexItem->setFixedRows(1);
    const QStringList keys{QStringLiteral("FNumber"),   QStringLiteral("FName"),
                           QStringLiteral("FModel"),    QStringLiteral("FUnit"),
                           QStringLiteral("FQuickNum"), QStringLiteral("FBar_Code")};
    for (int c = 0; c < keys.size(); ++c)
        FlexItem->setColKey(c, keys[c]);
    FlexItem->setHeaders({QStringLiteral("商品代码"), QStringLiteral("商品名称"), QStringLiteral("规格型号"),
                          QStringLiteral("单位"), QStringLiteral("助记码"), QStringLiteral("条形码")});
    const int widths[] = {1500, 2600, 1400, 700, 1100, 1800};
    for (int c = 0; c < 6; ++c)
        FlexItem->setColWidthTwips(c, widths[c]);
    lblCount = new QLabel(itemsPage);
    // Its text changes with every key; it must not lay the whole window out again each time.
    lblCount->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    cmdNew = button(itemsPage, "cmdNew", QStringLiteral("新增(&N)"));
    cmdEdit = button(itemsPage, "cmdEdit", QStringLiteral("修改(&E)"));
    cmdDelete = button(itemsPage, "cmdDelete", QStringLiteral("删除(&D)"));
    cmdImport = button(itemsPage, "cmdImport", QStringLiteral("导入(&I)"));

    auto *groupButtons = new QGridLayout;
    groupButtons->addWidget(cmdAddGroup, 0, 0);
    groupButtons->addWidget(cmdRenameGroup, 0, 1);
    groupButtons->addWidget(cmdMoveGroup, 1, 0);
    groupButtons->addWidget(cmdDelGroup, 1, 1);
    auto *groupSide = new QVBoxLayout;
    groupSide->addWidget(tvwGroup, 1);
    groupSide->addLayout(groupButtons);
    auto *find = new QHBoxLayout;
    find->addWidget(new QLabel(QStringLiteral("查找(&F)："), itemsPage));
    find->addWidget(txtFind, 1);
    auto *itemButtons = new QHBoxLayout;
    itemButtons->addWidget(lblCount, 1);
    itemButtons->addWidget(cmdNew);
    itemButtons->addWidget(cmdEdit);
    itemButtons->addWidget(cmdDelete);
    itemButtons->addWidget(cmdImport);
    auto *listSide = new QVBoxLayout;
    listSide->addLayout(find);
    listSide->addWidget(FlexItem, 1);
    listSide->addLayout(itemButtons);
    auto *itemsLay = new QHBoxLayout(itemsPage);
    itemsLay->setContentsMargins(0, 0, 0, 0);
    itemsLay->addLayout(groupSide, 0);
    itemsLay->addLayout(listSide, 1);
    tvwGroup->setFixedWidth(200);
    stkFiles->addWidget(itemsPage);
    for (FileKind k : FileStore::kinds()) {
        pages[k] = new FilePage(m_cnstr, k, this);
        stkFiles->addWidget(pages[k]);
    }

    cmdClose = button(this, "cmdClose", QStringLiteral("关闭(&C)"));
    auto *body = new QHBoxLayout;
    body->addWidget(lstFiles);
    body->addWidget(stkFiles, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(cmdClose);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(body, 1);
    lay->addLayout(bottom);
    resize(1000, 620);

    connect(lstFiles, &QListWidget::currentRowChanged, this, [this](int row) {
        stkFiles->setCurrentIndex(row);
        if (row > 0)
            ui::errorTrap([&] { static_cast<FilePage *>(stkFiles->widget(row))->load(); });
    });
    connect(txtFind, &QLineEdit::textChanged, this, [this] { showMatches(); });
    connect(FlexItem, &QAbstractItemView::doubleClicked, this, [this] { editItem(); });
    connect(cmdNew, &QPushButton::clicked, this, [this] { addItem(); });
    connect(cmdEdit, &QPushButton::clicked, this, [this] { editItem(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { removeItem(); });
    connect(cmdImport, &QPushButton::clicked, this, [this] { importItems(); });
    connect(cmdAddGroup, &QPushButton::clicked, this, [this] { addGroup(); });
    connect(cmdRenameGroup, &QPushButton::clicked, this, [this] { renameGroup(); });
    connect(cmdMoveGroup, &QPushButton::clicked, this, [this] { moveGroup(); });
    connect(cmdDelGroup, &QPushButton::clicked, this, [this] { removeGroup(); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    ui::errorTrap([this] {
        db::Connection conn(m_cnstr);
        tvwGroup->load(conn);
        tvwGroup->selectKey(components::items::ItemGroupTree::RootKey);
    });
    lstFiles->setCurrentRow(0);
    reloadItems();
    // Connected after the first selection, so that opening reads the items once.
    connect(tvwGroup, &components::items::ItemGroupTree::groupSelected, this, [this] { reloadItems(); });
}

void frmViewItem::reloadItems() {
    ui::errorTrap([this] {
        ui::WaitCursor wait;
        db::Connection conn(m_cnstr);
        m_index.load(conn, tvwGroup->selectedKey());
        showMatches();
    });
}

void frmViewItem::showMatches() {
    const QVector<int> &hits = m_index.match(txtFind->text());
    const QVector<components::items::ItemRow> &rows = m_index.rows();
    // While typing, the first rows are enough to pick from; the next key narrows them further.
    const bool typing = !txtFind->text().trimmed().isEmpty();
    const int shown = typing ? std::min<int>(static_cast<int>(hits.size()), ShownWhileTyping)
                             : static_cast<int>(hits.size());
    QVector<QString> cells;
    cells.reserve(qsizetype(shown) * 6);
    m_shown.clear();
    m_shown.reserve(shown);
    for (int k = 0; k < shown; ++k) {
        const auto &r = rows[hits[k]];
        cells << r.number << r.name << r.model << r.unit << r.quickNumber << r.barcode;
        m_shown.push_back(r.itemId);
    }
    FlexItem->setData(shown, 6, std::move(cells));
    lblCount->setText(shown < hits.size()
                          ? QStringLiteral("找到 %1 种商品，列出前 %2 种，再输入几个字可以缩小范围")
                                .arg(hits.size())
                                .arg(shown)
                          : QStringLiteral("共 %1 种商品").arg(hits.size()));
}

int frmViewItem::currentItemId() const {
    const int r = FlexItem->currentGridRow() - FlexItem->fixedRows();
    return r >= 0 && r < m_shown.size() ? m_shown[r] : 0;
}

void frmViewItem::selectItem(int itemId) {
    const int at = static_cast<int>(m_shown.indexOf(itemId));
    if (at >= 0)
        FlexItem->setCurrentIndex(FlexItem->model()->index(at + FlexItem->fixedRows() - 1, 0));
}

void frmViewItem::addItem() {
    ui::errorTrap([this] {
        frmItemEdit w(m_cnstr, 0, tvwGroup->selectedKey(), this);
        if (ui::dialogs().exec(w) != QDialog::Accepted)
            return;
        reloadItems();
        selectItem(w.savedId());
    });
}

void frmViewItem::editItem() {
    const int id = currentItemId();
    if (id == 0)
        return;
    ui::errorTrap([&] {
        frmItemEdit w(m_cnstr, id, 0, this);
        if (ui::dialogs().exec(w) != QDialog::Accepted)
            return;
        reloadItems();
        selectItem(id);
    });
}

void frmViewItem::removeItem() {
    const int id = currentItemId();
    if (id == 0)
        return;
    const QString name = FlexItem->text(FlexItem->currentGridRow(), QStringLiteral("FName"));
    if (ui::dialogs().question(QStringLiteral("是否删除商品“%1”？").arg(name)) != ui::Answer::Yes)
        return;
    ui::errorTrap([&] {
        db::Connection conn(m_cnstr);
        const auto how = ItemStore(conn).remove(id);
        reloadItems();
        if (how == ItemStore::Removal::Marked)
            ui::dialogs().info(
                QStringLiteral("商品“%1”已有单据、订单或余额，只作了删除标记，以后不能再选用。").arg(name));
    });
}

void frmViewItem::importItems() {
    if (components::sheet::importFromFile(m_cnstr, QStringLiteral("商品资料"),
                   [](db::Connection &c, const QList<QStringList> &rows, bool skip) {
                       return modules::items::importItems(c, rows, skip);
                   })) {
        ui::errorTrap([this] {
            db::Connection conn(m_cnstr);
            tvwGroup->load(conn);
        });
        reloadItems();
    }
}

void frmViewItem::chooseTyped() {
    ui::errorTrap([this] {
        db::Connection conn(m_cnstr);
        const auto found = ItemStore(conn).choose(txtFind->text());
        if (!found) {
            ui::dialogs().info(
                QStringLiteral("没有代码或条形码为“%1”的商品。").arg(txtFind->text().trimmed()));
            return;
        }
        if (!m_shown.contains(found->itemId)) {
            txtFind->setText(found->number);
            if (!m_shown.contains(found->itemId)) {
                tvwGroup->selectKey(components::items::ItemGroupTree::RootKey);
                reloadItems();
            }
        }
        selectItem(found->itemId);
        FlexItem->setFocus();
    });
}

bool frmViewItem::eventFilter(QObject *watched, QEvent *event) {
    if (watched == txtFind && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            chooseTyped();
            return true;
        }
        if (key == Qt::Key_Down) {
            FlexItem->setFocus();
            if (FlexItem->rows() > FlexItem->fixedRows())
                FlexItem->setCurrentIndex(FlexItem->model()->index(0, 0));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmViewItem::addGroup() {
    const auto number = ui::dialogs().inputBox(QStringLiteral("新类别的代码："), QStringLiteral("新增类别"));
    if (!number)
        return;
    const auto name = ui::dialogs().inputBox(QStringLiteral("新类别的名称："), QStringLiteral("新增类别"));
    if (!name)
        return;
    ui::errorTrap([&] {
        db::Connection conn(m_cnstr);
        const int id = ItemGroups(conn).add(*number, *name, tvwGroup->selectedKey());
        tvwGroup->load(conn);
        tvwGroup->selectKey(id);
    });
}

void frmViewItem::renameGroup() {
    const int id = tvwGroup->selectedKey();
    if (id == components::items::ItemGroupTree::RootKey)
        return;
    const auto name = ui::dialogs().inputBox(QStringLiteral("类别的新名称："), QStringLiteral("类别改名"),
                                             tvwGroup->selectedName());
    if (!name)
        return;
    ui::errorTrap([&] {
        db::Connection conn(m_cnstr);
        ItemGroups(conn).rename(id, *name);
        tvwGroup->load(conn);
    });
}

void frmViewItem::moveGroup() {
    const int id = tvwGroup->selectedKey();
    if (id == components::items::ItemGroupTree::RootKey)
        return;
    const auto parent = ui::dialogs().inputBox(
        QStringLiteral("把类别“%1”移到哪个类别下面？请输入那个类别的代码（空着表示移到最上层）：")
            .arg(tvwGroup->selectedName()),
        QStringLiteral("移动类别"));
    if (!parent)
        return;
    ui::errorTrap([&] {
        db::Connection conn(m_cnstr);
        int parentId = 0;
        if (!parent->trimmed().isEmpty()) {
            parentId = conn.scalar(QStringLiteral("select FItemID from t_ItemGroup where FNumber=?"),
                                   {parent->trimmed()})
                           .toInt();
            if (parentId == 0)
                throw Error(QStringLiteral("没有代码为“%1”的商品类别。").arg(parent->trimmed()));
        }
        ItemGroups(conn).move(id, parentId);
        tvwGroup->load(conn);
    });
}

void frmViewItem::removeGroup() {
    const int id = tvwGroup->selectedKey();
    if (id == components::items::ItemGroupTree::RootKey)
        return;
    if (ui::dialogs().question(QStringLiteral("是否删除类别“%1”？").arg(tvwGroup->selectedName())) !=
        ui::Answer::Yes)
        return;
    ui::errorTrap([&] {
        db::Connection conn(m_cnstr);
        ItemGroups(conn).remove(id);
        tvwGroup->load(conn);
        tvwGroup->selectKey(components::items::ItemGroupTree::RootKey);
    });
}

} // namespace zostore::modules::items
