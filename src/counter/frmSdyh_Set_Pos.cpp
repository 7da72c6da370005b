#include "counter/frmSdyh_Set_Pos.h"

#include "components/items/ItemLookup.h"
#include "components/items/ItemPicker.h"
#include "counter/PosDiscounts.h"
#include "counter/frmSdyhGroup.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/LockRetry.h"
#include "startup/FormServices.h"
#include "startup/LoginContext.h"
#include "startup/SettingsStore.h"
#include "ui/ActBar.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"
#include "ui/Twips.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zostore::counter {

namespace {

const QString AllStores = QStringLiteral("(全部)");
const QString App = QStringLiteral("ZoStore");
const QString Section = QStringLiteral("DefaultValue");
const QString HeightKey = QStringLiteral("Sdyh_Pos.Height");
constexpr int TreeHeightTwips = 2200;
const QColor CurrentLine(0xFB, 0xD0, 0xCA);
constexpr int KeyRole = Qt::UserRole;

struct Column {
    const char *key;
    const char *caption;
    Qt::Alignment align;
    int twips;
};
constexpr Qt::Alignment Left = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment Right = Qt::AlignRight | Qt::AlignVCenter;
constexpr Qt::Alignment Centre = Qt::AlignCenter;
constexpr Column Columns[] = {{"FBarCode", "条形码", Left, 1800},
                              {"FNumber", "商品代码", Left, 1500},
                              {"FName", "商品名称", Left, 2600},
                              {"FModel", "规格型号", Left, 1300},
                              {"FMExchange", " 包装数", Left, 800},
                              {"FRetailPrice", "零售价", Right, 1000},
                              {"FZkRate", "折率(%)", Right, 900},
                              {"FPrice", "优惠价", Right, 1000},
                              {"FSaleQty", "限量", Centre, 800},
                              {"FVipQty", "每会员限量", Centre, 1100},
                              {"FItemID", "", Left, 0}};

bool isEditableKey(const QString &key) {
    const QString k = key.toLower();
    return k.contains(QLatin1String("barcode")) || k == QLatin1String("fzkrate") ||
           k == QLatin1String("fprice") || k == QLatin1String("fsaleqty") || k == QLatin1String("fvipqty");
}

// A cell's number for saving: empty is 0, anything else must be a number.
double cellNumber(const ui::Grid &g, int row, const QString &key) {
    const QString t = g.text(row, key).trimmed();
    if (t.isEmpty())
        return 0;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok)
        throw Error(QStringLiteral("第 %1 行的“%2”不是数字：%3")
                        .arg(row)
                        .arg(g.textMatrix(0, g.colIndex(key)).trimmed(), t.left(20)));
    return v;
}

} // namespace

frmSdyh_Set_Pos::frmSdyh_Set_Pos(QWidget *parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmSdyh_Set_Pos"));
    setWindowTitle(QStringLiteral("POS时段优惠设置"));
    setAttribute(Qt::WA_DeleteOnClose);
    build();
    setupGrid();
    try {
        db::Connection conn(startup::loginContext().cnstr());
        cmbStock->addItem(AllStores);
        cmbStock->addItems(PosDiscounts(conn).storeNames());
        startup::ApplyGridFormat(Flex, objectName());
    } catch (const Error &e) {
        ui::dialogs().info(e.description());
    }
    cmbStock->setCurrentIndex(-1);
    connect(cmbStock, &QComboBox::activated, this, &frmSdyh_Set_Pos::chooseStore);
}

frmSdyh_Set_Pos::~frmSdyh_Set_Pos() = default;

void frmSdyh_Set_Pos::build() {
    actBar = new ui::ActBar(this);
    const QString band = QStringLiteral("tool");
    actBar->addBand(band, ui::ActBar::BandType::Toolbar, QStringLiteral("工具栏"));
    actBar->addTool(band, QStringLiteral("newgroup"), QStringLiteral("新增组"));
    actBar->addTool(band, QStringLiteral("modifygroup"), QStringLiteral("修改组"));
    actBar->addTool(band, QStringLiteral("delgroup"), QStringLiteral("删除组"));
    actBar->addSeparator(band);
    actBar->addTool(band, QStringLiteral("save"), QStringLiteral("保存修改"));
    actBar->addSeparator(band);
    actBar->addTool(band, QStringLiteral("insert"), QStringLiteral("插入行"));
    actBar->addTool(band, QStringLiteral("delete"), QStringLiteral("删除行"));
    actBar->addTool(band, QStringLiteral("clear"), QStringLiteral("表格清除"));
    actBar->addTool(band, QStringLiteral("batchzk"), QStringLiteral("批量折率"));
    actBar->addSeparator(band);
    actBar->addTool(band, QStringLiteral("exit"), QStringLiteral("关闭"));
    actBar->toolbar(band)->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(actBar, &ui::ActBar::toolClicked, this, &frmSdyh_Set_Pos::runTool);

    auto *central = new QWidget(this);
    cmbStock = new QComboBox(central);
    cmbStock->setObjectName(QStringLiteral("cmbStock"));
    cmbStock->setMinimumContentsLength(18);
    cmbStock->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    lblNote = new QLabel(QStringLiteral("注：折率优先于时段价"), central);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setStyleSheet(QStringLiteral("color:#b00000"));
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("仓库名称："), central));
    top->addWidget(cmbStock);
    top->addSpacing(16);
    top->addWidget(lblNote);
    top->addStretch(1);

    tvwGroup = new QTreeWidget(central);
    tvwGroup->setObjectName(QStringLiteral("tvwGroup"));
    tvwGroup->setHeaderHidden(true);
    tvwGroup->setRootIsDecorated(false);
    connect(tvwGroup, &QTreeWidget::currentItemChanged, this, [this] {
        if (!m_quiet)
            ui::errorTrap([this] { loadGroup(); });
    });
    Flex = new ui::Grid(central);
    Flex->setObjectName(QStringLiteral("Flex"));
    splitter = new QSplitter(Qt::Vertical, central);
    splitter->setObjectName(QStringLiteral("picSplit"));
    splitter->setOpaqueResize(false); // one move when the bar is dropped
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(tvwGroup);
    splitter->addWidget(Flex);
    splitter->setStretchFactor(1, 1);
    connect(splitter, &QSplitter::splitterMoved, this, [this] {
        startup::SettingsStore::setValue(App, Section, HeightKey,
                                         QString::number(ui::twips::fromPixels(tvwGroup->height())));
    });

    cmdRefItem = new QToolButton(Flex->viewport());
    cmdRefItem->setObjectName(QStringLiteral("cmdRefItem"));
    cmdRefItem->setText(QStringLiteral("…"));
    cmdRefItem->setToolTip(QStringLiteral("选择商品"));
    cmdRefItem->hide();
    connect(cmdRefItem, &QToolButton::clicked, this, [this] { ui::errorTrap([this] { openPicker(); }); });

    auto *layout = new QVBoxLayout(central);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);
    setCentralWidget(central);
    resize(1000, 640);
}

void frmSdyh_Set_Pos::setupGrid() {
    Flex->setCols(static_cast<int>(std::size(Columns)));
    QStringList captions;
    for (int c = 0; c < Flex->cols(); ++c) {
        const Column &col = Columns[c];
        Flex->setColKey(c, QString::fromLatin1(col.key));
        captions << QString::fromUtf8(col.caption);
        Flex->setColAlignment(c, col.align);
        if (col.twips)
            Flex->setColWidthTwips(c, col.twips);
    }
    Flex->setHeaders(captions);
    Flex->setColHidden(Flex->colIndex(QStringLiteral("FItemID")), true);
    Flex->setEditable(true);
    for (int c = 0; c < Flex->cols(); ++c)
        Flex->setColEditable(c, isEditableKey(Flex->colKey(c)));
    Flex->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    resetGrid();
    connect(Flex, &ui::Grid::afterEdit, this, [this](int row, int col) {
        if (!m_quiet)
            ui::errorTrap([&] { afterEdit(row, col, false); });
    });
    connect(Flex->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        markCurrentLine(Flex->currentGridRow());
        placeLookupButton();
    });
    connect(Flex->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { placeLookupButton(); });
}

void frmSdyh_Set_Pos::resetGrid() {
    Flex->clear();
    m_markedRow = -1;
}

void frmSdyh_Set_Pos::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (m_laidOut)
        return;
    m_laidOut = true;
    const int twips =
        startup::SettingsStore::value(App, Section, HeightKey, QString::number(TreeHeightTwips)).toInt();
    const int tree = ui::twips::toPixels(twips > 0 ? twips : TreeHeightTwips);
    splitter->setSizes({tree, std::max(100, splitter->height() - tree)});
}

void frmSdyh_Set_Pos::chooseStore(int index) {
    ui::errorTrap([&] {
        if (save(false) == SaveResult::Failed) {
            cmbStock->setCurrentIndex(m_storeIndex); // the unsaved lines stay on screen
            return;
        }
        db::Connection conn(startup::loginContext().cnstr());
        PosDiscounts store(conn);
        const QString name = cmbStock->itemText(index);
        DiscountStore s;
        if (index == 0) {
            s = store.allStores();
        } else {
            const auto found = store.store(name);
            if (!found)
                throw Error(QStringLiteral("仓库“%1”已不存在，请重新打开本窗口。").arg(name));
            s = *found;
        }
        m_storeIndex = index;
        cmbStock->setCurrentIndex(index);
        m_storeName = name;
        m_storeId = s.id;
        m_priceStyle = s.priceStyleId;
        m_lookup.reset();
        fillTree();
        loadGroup();
    });
}

QTreeWidgetItem *frmSdyh_Set_Pos::addNode(const DiscountSpan &span) {
    auto *node = new QTreeWidgetItem(tvwGroup, {groupText(span)});
    node->setData(0, KeyRole, groupKey(span));
    node->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    if (span.from > span.to) {
        // Kept as entered; the counters never reach such a span, so the tree says so.
        node->setForeground(0, QColor(0xB0, 0, 0));
        node->setToolTip(0, QStringLiteral("起始时间晚于截止时间，这一组不会生效"));
    }
    return node;
}

QTreeWidgetItem *frmSdyh_Set_Pos::nodeOfKey(const QString &key) const {
    for (int i = 0; i < tvwGroup->topLevelItemCount(); ++i)
        if (tvwGroup->topLevelItem(i)->data(0, KeyRole).toString() == key)
            return tvwGroup->topLevelItem(i);
    return nullptr;
}

void frmSdyh_Set_Pos::fillTree() {
    m_quiet = true;
    tvwGroup->clear();
    try {
        db::Connection conn(startup::loginContext().cnstr());
        for (const DiscountSpan &span : PosDiscounts(conn).groups(m_storeId))
            addNode(span);
    } catch (...) {
        m_quiet = false;
        throw;
    }
    if (tvwGroup->topLevelItemCount() > 0)
        tvwGroup->setCurrentItem(tvwGroup->topLevelItem(0));
    m_quiet = false;
}

void frmSdyh_Set_Pos::selectGroup(const QString &key) {
    if (QTreeWidgetItem *node = nodeOfKey(key))
        tvwGroup->setCurrentItem(node);
}

void frmSdyh_Set_Pos::loadGroup() {
    m_quiet = true;
    resetGrid();
    QTreeWidgetItem *node = tvwGroup->currentItem();
    if (!node) {
        m_quiet = false;
        return;
    }
    try {
        const auto span = spanOfKey(node->data(0, KeyRole).toString());
        db::Connection conn(startup::loginContext().cnstr());
        const QList<DiscountLine> lines = PosDiscounts(conn).lines(m_storeId, *span);
        Flex->setRows(Flex->fixedRows() + static_cast<int>(lines.size()) + 1);
        int row = Flex->fixedRows();
        for (const DiscountLine &l : lines) {
            Flex->setText(row, QStringLiteral("FBarCode"), l.barcode);
            Flex->setText(row, QStringLiteral("FNumber"), l.number);
            Flex->setText(row, QStringLiteral("FName"), l.name);
            Flex->setText(row, QStringLiteral("FModel"), l.model);
            Flex->setText(row, QStringLiteral("FMExchange"),
                          l.mExchange ? numberCellText(*l.mExchange) : QString());
            Flex->setText(row, QStringLiteral("FRetailPrice"), priceCellText(l.retailPrice));
            Flex->setText(row, QStringLiteral("FZkRate"), numberCellText(l.rate));
            Flex->setText(row, QStringLiteral("FPrice"), priceCellText(l.price));
            Flex->setText(row, QStringLiteral("FSaleQty"), numberCellText(l.saleQty));
            Flex->setText(row, QStringLiteral("FVipQty"), numberCellText(l.vipQty));
            Flex->setText(row, QStringLiteral("FItemID"), QString::number(l.itemId));
            ++row;
        }
    } catch (...) {
        m_quiet = false;
        throw;
    }
    m_quiet = false;
    Flex->setCurrentIndex(Flex->model()->index(0, Flex->colIndex(QStringLiteral("FNumber"))));
    markCurrentLine(Flex->fixedRows());
}

void frmSdyh_Set_Pos::appendRows(int n) {
    Flex->setRows(Flex->rows() + n);
}

void frmSdyh_Set_Pos::markCurrentLine(int row) {
    const auto paint = [this](int r, const QColor &c) {
        if (r >= Flex->fixedRows() && r < Flex->rows())
            for (int col = 0; col < Flex->cols(); ++col)
                Flex->setCellBackColor(r, col, c);
    };
    if (m_markedRow != row)
        paint(m_markedRow, Qt::white);
    paint(row, CurrentLine);
    m_markedRow = row;
}

void frmSdyh_Set_Pos::placeLookupButton() {
    const int col = Flex->currentGridCol();
    const int row = Flex->currentGridRow();
    if (col != Flex->colIndex(QStringLiteral("FNumber")) || row < Flex->fixedRows()) {
        cmdRefItem->hide();
        return;
    }
    const QRect cell = Flex->visualRect(Flex->model()->index(row - Flex->fixedRows(), col));
    const int side = cell.height();
    cmdRefItem->setGeometry(cell.right() - side + 1, cell.top(), side, side);
    cmdRefItem->show();
    cmdRefItem->raise();
}

bool frmSdyh_Set_Pos::enterItem(int row, int col, bool fromPicker) {
    if (m_storeId != 0 && m_priceStyle == 0) {
        ui::dialogs().warning(QStringLiteral("请在档案资料中指定仓库“") + m_storeName +
                              QStringLiteral("”对应的零售价名称！"));
        return false;
    }
    const QString key = Flex->colKey(col);
    if (key.contains(QLatin1String("barcode"), Qt::CaseInsensitive) || fromPicker) {
        std::optional<components::items::FoundItem> found;
        try {
            if (!m_lookup) {
                m_lookupConn = std::make_unique<db::Connection>(startup::loginContext().cnstr());
                m_lookup = std::make_unique<components::items::ItemLookup>(*m_lookupConn, m_priceStyle);
            }
            found = m_lookup->find(Flex->textMatrix(row, col));
        } catch (...) {
            // A dropped connection is opened afresh on the next line.
            m_lookup.reset();
            m_lookupConn.reset();
            throw;
        }
        if (!found) {
            for (int c = 0; c < Flex->cols(); ++c)
                Flex->setTextMatrix(row, c, QString());
        } else {
            Flex->setText(row, QStringLiteral("FName"), found->name);
            Flex->setText(row, QStringLiteral("FModel"), found->model);
            Flex->setText(row, QStringLiteral("FNumber"), found->number);
            Flex->setText(row, QStringLiteral("FItemID"), QString::number(found->itemId));
            // Units come with a barcode of the barcode table only; a plain code leaves none behind.
            Flex->setText(row, QStringLiteral("FMExchange"),
                          found->viaBarcodeTable ? numberCellText(found->barcodeExchange) : QString());
            if (m_priceStyle != 0)
                Flex->setText(
                    row, QStringLiteral("FRetailPrice"),
                    QString::number(found->isPackage() ? found->barcodePrice : found->price, 'f', 2));
        }
    } else if (key.compare(QLatin1String("FPrice"), Qt::CaseInsensitive) == 0) {
        bool ok = false;
        const QString t = Flex->textMatrix(row, col).trimmed();
        const double v = t.toDouble(&ok);
        if (ok)
            Flex->setTextMatrix(row, col, QString::number(v, 'f', 2));
    }
    return true;
}

bool frmSdyh_Set_Pos::afterEdit(int row, int col, bool fromPicker) {
    m_quiet = true;
    bool accepted = false;
    try {
        accepted = enterItem(row, col, fromPicker);
    } catch (...) {
        m_quiet = false;
        throw;
    }
    m_quiet = false;
    if (!accepted)
        return false;
    if (row == Flex->rows() - 1)
        appendRows(10);
    m_changed = true;
    return true;
}

void frmSdyh_Set_Pos::openPicker() {
    db::withLockRetry([this] {
        if (!m_picker) {
            m_picker = std::make_unique<components::items::ItemPicker>(this);
            connect(m_picker.get(), &components::items::ItemPicker::MuliSelectItem, this,
                    [this](const QStringList &codes, bool closing) {
                        ui::errorTrap([&] { enterPicked(codes, closing); });
                    });
        }
        m_picker->setMultiSelect(true);
        const auto &login = startup::loginContext();
        m_picker->showPicker(login.cnstr(), login.userId());
    });
}

void frmSdyh_Set_Pos::enterPicked(const QStringList &codes, bool closing) {
    const int numberCol = Flex->colIndex(QStringLiteral("FNumber"));
    int row = std::max(Flex->currentGridRow(), Flex->fixedRows());
    int last = -1;
    for (const QString &code : codes) {
        if (row >= Flex->rows())
            Flex->setRows(row + 1);
        m_quiet = true;
        Flex->setTextMatrix(row, numberCol, code);
        m_quiet = false;
        if (!afterEdit(row, numberCol, true))
            return; // refused once is refused for every code
        last = row++;
    }
    if (last < 0)
        return;
    const int target = closing ? last : last + 1;
    if (target >= Flex->rows())
        Flex->setRows(target + 1);
    const QModelIndex cell = Flex->model()->index(target - Flex->fixedRows(), numberCol);
    Flex->setCurrentIndex(cell);
    Flex->scrollTo(cell);
    appendRows(1);
}

frmSdyh_Set_Pos::SaveResult frmSdyh_Set_Pos::save(bool ask) {
    if (!m_changed)
        return SaveResult::GoOn;
    if (ask) {
        const ui::Answer a = ui::dialogs().questionWithCancel(QStringLiteral("数据已经改变，是否保存改变？"));
        if (a == ui::Answer::No)
            return SaveResult::GoOn;
        if (a == ui::Answer::Cancel)
            return SaveResult::Stop;
    }
    QTreeWidgetItem *node = tvwGroup->currentItem();
    if (!node)
        return SaveResult::Stop;
    try {
        const auto span = spanOfKey(node->data(0, KeyRole).toString());
        QList<DiscountLine> lines;
        for (int r = Flex->fixedRows(); r < Flex->rows(); ++r) {
            if (Flex->text(r, QStringLiteral("FNumber")).isEmpty())
                break;
            DiscountLine l;
            l.barcode = Flex->text(r, QStringLiteral("FBarCode"));
            l.number = Flex->text(r, QStringLiteral("FNumber"));
            l.rate = cellNumber(*Flex, r, QStringLiteral("FZkRate"));
            l.price = cellNumber(*Flex, r, QStringLiteral("FPrice"));
            l.retailPrice = cellNumber(*Flex, r, QStringLiteral("FRetailPrice"));
            l.saleQty = cellNumber(*Flex, r, QStringLiteral("FSaleQty"));
            l.vipQty = cellNumber(*Flex, r, QStringLiteral("FVipQty"));
            l.itemId = static_cast<int>(cellNumber(*Flex, r, QStringLiteral("FItemID")));
            l.mExchange = cellNumber(*Flex, r, QStringLiteral("FMExchange"));
            lines << l;
        }
        db::Connection conn(startup::loginContext().cnstr());
        PosDiscounts(conn).save(m_storeId, *span, lines);
    } catch (const Error &e) {
        ui::dialogs().info(e.description());
        return SaveResult::Failed;
    }
    m_changed = false;
    if (!ask)
        ui::dialogs().info(QStringLiteral("保存数据成功！"));
    return SaveResult::GoOn;
}

void frmSdyh_Set_Pos::runTool(const QString &key) {
    ui::errorTrap([&] {
        if (key == QLatin1String("newgroup")) {
            newGroup();
        } else if (key == QLatin1String("modifygroup")) {
            modifyGroup();
        } else if (key == QLatin1String("delgroup")) {
            deleteGroup();
        } else if (key == QLatin1String("save")) {
            save(false);
        } else if (key == QLatin1String("insert")) {
            appendRows(1);
        } else if (key == QLatin1String("delete")) {
            deleteLine();
        } else if (key == QLatin1String("clear")) {
            clearGrid();
        } else if (key == QLatin1String("batchzk")) {
            batchRate();
        } else if (key == QLatin1String("exit")) {
            close();
        }
    });
}

std::optional<DiscountSpan> frmSdyh_Set_Pos::askSpan(const QDateTime &from, const QDateTime &to) {
    frmSdyhGroup dlg(this);
    dlg.setDates(from, to);
    if (beforeGroupDialog)
        beforeGroupDialog(dlg);
    ui::dialogs().exec(dlg);
    if (!dlg.Isok() || !dlg.FromDate.isValid() || !dlg.ToDate.isValid())
        return std::nullopt;
    return DiscountSpan{dlg.FromDate, dlg.ToDate};
}

void frmSdyh_Set_Pos::newGroup() {
    if (save(true) != SaveResult::GoOn)
        return;
    const QDateTime today(QDate::currentDate(), QTime(0, 0));
    const auto span = askSpan(today, today);
    if (!span) {
        loadGroup();
        return;
    }
    if (nodeOfKey(groupKey(*span))) {
        ui::dialogs().info(GroupExistsMessage);
        return;
    }
    m_quiet = true;
    QTreeWidgetItem *node = addNode(*span);
    tvwGroup->setCurrentItem(node);
    m_quiet = false;
    loadGroup();
}

void frmSdyh_Set_Pos::modifyGroup() {
    QTreeWidgetItem *node = tvwGroup->currentItem();
    if (!node) {
        ui::dialogs().warning(QStringLiteral("请选择要修改的时间段!"));
        return;
    }
    if (save(true) != SaveResult::GoOn)
        return;
    const auto old = spanOfText(node->text(0));
    if (!old)
        throw Error(QStringLiteral("时间段“%1”无法识别。").arg(node->text(0)));
    const auto span = askSpan(old->from, old->to);
    if (!span)
        return;
    const QString key = groupKey(*span);
    QTreeWidgetItem *same = nodeOfKey(key);
    if (same && same != node) {
        ui::dialogs().info(GroupExistsMessage);
        return;
    }
    db::Connection conn(startup::loginContext().cnstr());
    PosDiscounts(conn).moveGroup(m_storeId, *old, *span);
    node->setText(0, groupText(*span));
    node->setData(0, KeyRole, key);
    const bool backwards = span->from > span->to;
    node->setForeground(0, backwards ? QColor(0xB0, 0, 0) : palette().color(QPalette::Text));
    node->setToolTip(0, backwards ? QStringLiteral("起始时间晚于截止时间，这一组不会生效") : QString());
}

void frmSdyh_Set_Pos::deleteGroup() {
    QTreeWidgetItem *node = tvwGroup->currentItem();
    if (!node)
        return;
    if (ui::dialogs().question(QStringLiteral("是否真的要删除组“") + node->text(0) + QStringLiteral("”？")) !=
        ui::Answer::Yes)
        return;
    const auto span = spanOfKey(node->data(0, KeyRole).toString());
    db::Connection conn(startup::loginContext().cnstr());
    PosDiscounts(conn).deleteGroup(m_storeId, *span);
    m_quiet = true;
    delete node;
    m_quiet = false;
    loadGroup();
}

void frmSdyh_Set_Pos::deleteLine() {
    const int row = Flex->currentGridRow();
    if (row < Flex->fixedRows() || row >= Flex->rows()) {
        ui::dialogs().warning(QStringLiteral("请选择要删除的行!"));
        return;
    }
    Flex->removeGridRow(row);
    m_markedRow = -1;
    markCurrentLine(Flex->currentGridRow());
    m_changed = true;
}

void frmSdyh_Set_Pos::clearGrid() {
    if (ui::dialogs().question(QStringLiteral("是否真的要清除时段优惠设置？")) != ui::Answer::Yes)
        return;
    m_quiet = true;
    for (int r = Flex->fixedRows(); r < Flex->rows(); ++r)
        for (int c = 0; c < Flex->cols(); ++c)
            Flex->setTextMatrix(r, c, QString());
    m_quiet = false;
}

void frmSdyh_Set_Pos::batchRate() {
    const auto answer = ui::dialogs().inputBox(QStringLiteral("请输入折率(%)："), QStringLiteral("批量折率"),
                                               QStringLiteral("100"));
    const QString rate = answer ? answer->trimmed() : QString();
    bool ok = false;
    const double value = rate.toDouble(&ok);
    if (!ok || value == 0) {
        ui::dialogs().info(!ok && !rate.isEmpty()
                               ? QStringLiteral("折率“%1”不是数字，折扣率不能为0！").arg(rate.left(20))
                               : QStringLiteral("折扣率不能为0！"));
        return;
    }
    if (batchRatePrice(QStringLiteral("1"), rate).isEmpty()) {
        ui::dialogs().info(QStringLiteral("折率“%1”超出范围：最多三位整数、四位小数。").arg(rate.left(20)));
        return;
    }
    m_changed = true;
    m_quiet = true;
    for (int r = Flex->fixedRows(); r < Flex->rows(); ++r) {
        const QString id = Flex->text(r, QStringLiteral("FItemID")).trimmed();
        if (id.isEmpty() || id == QLatin1String("0"))
            break;
        const QString retail = Flex->text(r, QStringLiteral("FRetailPrice")).trimmed();
        Flex->setText(r, QStringLiteral("FZkRate"), rate);
        Flex->setText(r, QStringLiteral("FPrice"),
                      batchRatePrice(retail.isEmpty() ? QStringLiteral("0") : retail, rate));
    }
    m_quiet = false;
}

void frmSdyh_Set_Pos::closeEvent(QCloseEvent *event) {
    if (save(true) != SaveResult::GoOn) {
        event->ignore();
        return;
    }
    try {
        startup::SaveGridWidths(Flex, objectName());
    } catch (const Error &) {
        // the widths are a convenience; closing goes on
    }
    if (m_picker)
        m_picker->close();
    event->accept();
}

} // namespace zostore::counter
