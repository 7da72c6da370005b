#include "stocklimit/frmSetSafeStock.h"

#include "accountdb/ItemExtraFields.h"
#include "accountdb/WorkFolder.h"
#include "components/Registry.h"
#include "components/items/ItemFilter.h"
#include "components/items/ItemGroupTree.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Procedure.h"
#include "startup/CheckGrant.h"
#include "startup/FormServices.h"
#include "startup/LoginContext.h"
#include "startup/SettingsStore.h"
#include "stocklimit/SafeStockEditing.h"
#include "stocklimit/SafeStockFile.h"
#include "stocklimit/SafeStockProcedures.h"
#include "stocklimit/frmGenMinMaxStock.h"
#include "ui/ActBar.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"
#include "ui/Twips.h"
#include "ui/WaitCursor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QVBoxLayout>

namespace zostore::stocklimit {

namespace {

const QString App = QStringLiteral("ZoStore");
const QString Section = QStringLiteral("SalePrice");
const QString WidthKey = QStringLiteral("ItemGroupWidth");
const QColor CurrentRowColor(193, 238, 209);
constexpr int MinColumnTwips = 100;

struct StoreColumn {
    int stockId = 0;
    QString field; // Min, Max, Safe or Qty
};

// Store columns are keyed "F_<store key>.<field>".
bool parseStoreKey(const QString &key, StoreColumn &out) {
    if (!key.startsWith(QLatin1String("F_"), Qt::CaseInsensitive))
        return false;
    const qsizetype dot = key.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    bool ok = false;
    out.stockId = key.mid(2, dot - 2).toInt(&ok);
    out.field = key.mid(dot + 1);
    return ok;
}

} // namespace

frmSetSafeStock::frmSetSafeStock(QWidget *parent)
    : QMainWindow(parent),
      m_tree(components::createObject(components::items::ItemGroupTreeComponent::ProgId)) {
    setObjectName(QStringLiteral("frmSetSafeStock"));
    setWindowTitle(QStringLiteral("库存上下限设置"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    registerStockLimitProcedures();
    build();
    ui::errorTrap([this] {
        buildColumns();
        startup::ApplyGridFormat(Flex, objectName());
    });
}

frmSetSafeStock::~frmSetSafeStock() = default;

void frmSetSafeStock::build() {
    actBar = new ui::ActBar(this);
    const QString band = QStringLiteral("tools");
    actBar->addBand(band, ui::ActBar::BandType::Toolbar);
    actBar->addTool(band, QStringLiteral("refresh"), QStringLiteral("刷新"));
    actBar->addTool(band, QStringLiteral("filter"), QStringLiteral("过滤"));
    actBar->addTool(band, QStringLiteral("showall"), QStringLiteral("显示全部商品"), {}, true);
    actBar->addTool(band, QStringLiteral("cacu"), QStringLiteral("根据销售量生成"));
    actBar->addTool(band, QStringLiteral("excel"), QStringLiteral("引出数据"));
    actBar->addSeparator(band);
    actBar->addTool(band, QStringLiteral("print"), QStringLiteral("打印"));
    actBar->addTool(band, QStringLiteral("preview"), QStringLiteral("预览"));
    actBar->addTool(band, QStringLiteral("pageset"), QStringLiteral("页面"));
    actBar->addSeparator(band);
    actBar->addTool(band, QStringLiteral("exit"), QStringLiteral("关闭"));
    connect(actBar, &ui::ActBar::toolClicked, this, &frmSetSafeStock::runTool);

    picDrag = new QSplitter(Qt::Horizontal, this);
    picDrag->setObjectName(QStringLiteral("picDrag"));
    picDrag->setChildrenCollapsible(false);
    ItemGroup = qobject_cast<components::items::ItemGroupTree *>(
        m_tree->property(QStringLiteral("Control")).value<QObject *>());
    ItemGroup->setObjectName(QStringLiteral("ItemGroup"));
    picDrag->addWidget(ItemGroup);

    auto *right = new QWidget(picDrag);
    auto *lay = new QVBoxLayout(right);
    lay->setContentsMargins(0, 0, 0, 0);
    Flex = new ui::Grid(right);
    Flex->setObjectName(QStringLiteral("Flex"));
    lblCount = new QLabel(QStringLiteral("总行数："), right);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    lay->addWidget(Flex, 1);
    lay->addWidget(lblCount);
    picDrag->addWidget(right);
    picDrag->setStretchFactor(1, 1);
    setCentralWidget(picDrag);
    resize(1000, 620);

    const int saved = startup::SettingsStore::value(App, Section, WidthKey).toInt();
    picDrag->setSizes({saved > 0 ? saved : 200, 800});

    connect(ItemGroup, &components::items::ItemGroupTree::groupSelected, this, [this] {
        m_condition.clear();
        ui::errorTrap([this] { LoadGrid(); });
    });
    Flex->setEditable(true);
    Flex->setBeforeEdit([this](int row, int col) { return beforeEdit(row, col); });
    connect(Flex, &ui::Grid::afterEdit, this, &frmSetSafeStock::afterEdit);
    connect(Flex, &ui::Grid::editRefused, this, &frmSetSafeStock::editRefused);
    connect(Flex->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &cur) {
                markCurrentRow(cur.isValid() ? cur.row() + Flex->fixedRows() : -1);
            });
    connect(Flex->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int col, int, int newSize) { columnResized(col, newSize); });
}

void frmSetSafeStock::buildColumns() {
    db::Connection conn(startup::loginContext().cnstr());
    QStringList keys{QStringLiteral("FNumber"), QStringLiteral("FName"), QStringLiteral("FModel")};
    QStringList top{QStringLiteral("商品代码"), QStringLiteral("商品名称"), QStringLiteral("规格型号")};
    for (const auto &f : accountdb::itemExtraFields(conn)) {
        keys << f.name;
        top << f.caption;
    }
    keys << QStringLiteral("FUnit") << QStringLiteral("FExchange");
    top << QStringLiteral("单位") << QStringLiteral("包装数");
    QStringList bottom = top;
    static const char *const parts[] = {".Min", ".Max", ".Safe", ".Qty"};
    static const char *const captions[] = {"最小库存", "最大库存", "安全库存", "现有库存"};
    auto rs =
        conn.open(QStringLiteral("select FItemID,FName from t_stock where Fvirtual=0 order by FNumber"));
    for (; !rs.eof(); rs.moveNext())
        for (int i = 0; i < 4; ++i) {
            keys << QStringLiteral("F_") + rs.text(QStringLiteral("FItemID")) + QLatin1String(parts[i]);
            top << rs.text(QStringLiteral("FName"));
            bottom << QString::fromUtf8(captions[i]);
        }
    keys << QStringLiteral("FItemID");
    top << QString();
    bottom << QString();

    Flex->setCols(int(keys.size()));
    Flex->setFixedRows(2);
    Flex->setRows(2);
    for (int c = 0; c < keys.size(); ++c) {
        Flex->setColKey(c, keys.at(c));
        Flex->setTextMatrix(0, c, top.at(c));
        Flex->setTextMatrix(1, c, bottom.at(c));
        if (keys.at(c).startsWith(QLatin1String("F_")))
            Flex->setColAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
    Flex->setColHidden(int(keys.size()) - 1, true);
}

bool frmSetSafeStock::showAll() const {
    return actBar->tool(QStringLiteral("tools"), QStringLiteral("showall"))->isChecked();
}

void frmSetSafeStock::LoadGrid() {
    QApplication::processEvents();
    ui::WaitCursor wait;
    // Only a filter is kept: the group's or showall's condition is worked out afresh for every load.
    const QString condition = !m_condition.isEmpty() ? m_condition
                              : showAll()            ? QStringLiteral("1=1")
                                                     : groupCondition(ItemGroup->selectedKey());
    db::Connection conn(startup::loginContext().cnstr());
    db::ProcArgs args;
    args.add(QStringLiteral("@UserSql"), db::ParamType::Text, condition);
    db::Recordset rs = conn.callProcedure(QStringLiteral("Rp_Define_MaxMinStock"), args, 300000);

    const int nCols = Flex->cols();
    QVector<int> itemField(nCols, -1); // record field of each item column
    QHash<QString, int> storeCol;      // "F_<store>.<field>" lower-cased -> column
    for (int c = 0; c < nCols; ++c) {
        const QString key = Flex->colKey(c);
        if (key.startsWith(QLatin1String("F_"), Qt::CaseInsensitive))
            storeCol.insert(key.toLower(), c);
        else
            itemField[c] = rs.fieldIndex(key);
    }
    static const char *const parts[] = {"FMin", "FMax", "FSafe", "FQty"};
    static const char *const suffix[] = {".min", ".max", ".safe", ".qty"};
    int partField[4];
    for (int i = 0; i < 4; ++i)
        partField[i] = rs.fieldIndex(QLatin1String(parts[i]));
    const int numberField = rs.fieldIndex(QStringLiteral("FNumber"));
    const int stockField = rs.fieldIndex(QStringLiteral("FStockID"));

    QVector<QString> cells;
    int rows = 0;
    QString previous = QStringLiteral("...");
    for (; !rs.eof(); rs.moveNext()) {
        const QString number = db::Recordset::textOf(rs.value(numberField));
        if (rows == 0 || number != previous) {
            cells.resize(cells.size() + nCols);
            ++rows;
            for (int c = 0; c < nCols; ++c)
                if (itemField[c] >= 0)
                    cells[qsizetype(rows - 1) * nCols + c] = db::Recordset::textOf(rs.value(itemField[c]));
            previous = number;
        }
        const QString prefix = QStringLiteral("f_") + db::Recordset::textOf(rs.value(stockField));
        for (int i = 0; i < 4; ++i) {
            const auto it = storeCol.constFind(prefix + QLatin1String(suffix[i]));
            if (it == storeCol.constEnd())
                continue;
            const QVariant v = rs.value(partField[i]);
            if (!v.isNull())
                cells[qsizetype(rows - 1) * nCols + it.value()] = db::Recordset::textOf(v);
        }
    }
    m_markedRow = -1;
    Flex->setData(rows, nCols, std::move(cells));
    lblCount->setText(QStringLiteral("总行数：") + QString::number(Flex->rows() - 2));
}

void frmSetSafeStock::runTool(const QString &key) {
    ui::errorTrap([&] {
        const auto &login = startup::loginContext();
        if (key == QLatin1String("refresh")) {
            ItemGroup->load(login.cnstr());
        } else if (key == QLatin1String("filter")) {
            filter();
        } else if (key == QLatin1String("showall")) {
            LoadGrid();
        } else if (key == QLatin1String("cacu")) {
            startup::CheckGrant(QStringLiteral("397"));
            frmGenMinMaxStock gen(this);
            ui::dialogs().exec(gen);
        } else if (key == QLatin1String("excel")) {
            exportLimits();
        } else if (key == QLatin1String("print") || key == QLatin1String("preview")) {
            components::createObject(QStringLiteral("VNPrinter.DoPrint"))
                ->invoke(QStringLiteral("DoPrint"),
                         {key == QLatin1String("print"), login.cnstr(), objectName(), QString(),
                          QVariant(QVariantList{
                              QVariantList{QStringLiteral("商品类别：") + ItemGroup->selectedName()}}),
                          QVariant::fromValue<QObject *>(Flex)});
        } else if (key == QLatin1String("pageset")) {
            startup::ShowPageSetup(Flex, Flex->cols() - 1, objectName());
        } else if (key == QLatin1String("exit")) {
            close();
        }
    });
}

void frmSetSafeStock::filter() {
    auto f = components::createObject(components::items::ItemFilterComponent::ProgId);
    f->invoke(QStringLiteral("ShowItemFilter"), {startup::loginContext().cnstr()});
    if (!f->property(QStringLiteral("Isok")).toBool())
        return;
    components::items::ItemFilterChoice c;
    c.findType = f->property(QStringLiteral("FindType")).toInt();
    c.fromNumber = f->property(QStringLiteral("FromNumber")).toString();
    c.toNumber = f->property(QStringLiteral("ToNumber")).toString();
    c.containValue = f->property(QStringLiteral("ContainValue")).toString();
    m_condition = filterCondition(c);
    LoadGrid();
}

void frmSetSafeStock::exportLimits() {
    db::Connection conn(startup::loginContext().cnstr());
    SafeStockFile::writeAll(conn, frmGenMinMaxStock::exchangeFilePath());
    ui::dialogs().message(QStringLiteral("导出完成！"), ui::Icon::Warning);
}

bool frmSetSafeStock::beforeEdit(int row, int col) {
    StoreColumn sc;
    if (row < Flex->fixedRows() || !parseStoreKey(Flex->colKey(col), sc))
        return false;
    return sc.field.compare(QLatin1String("Qty"), Qt::CaseInsensitive) != 0;
}

void frmSetSafeStock::editRefused(int, int col) {
    StoreColumn sc;
    if (parseStoreKey(Flex->colKey(col), sc) &&
        sc.field.compare(QLatin1String("Qty"), Qt::CaseInsensitive) == 0)
        ui::dialogs().info(QStringLiteral("现有库存由单据计算得出，不能直接修改！"));
}

void frmSetSafeStock::afterEdit(int row, int col) {
    ui::errorTrap([&] {
        StoreColumn sc;
        if (!parseStoreKey(Flex->colKey(col), sc))
            return;
        const int itemId = Flex->text(row, QStringLiteral("FItemID")).toInt();
        db::Connection conn(startup::loginContext().cnstr());
        storeLimit(conn, sc.stockId, itemId, sc.field, Flex->textMatrix(row, col));
    });
}

void frmSetSafeStock::markCurrentRow(int row) {
    if (Flex->rows() < 3)
        return;
    const int cols = Flex->cols();
    if (m_markedRow >= Flex->fixedRows() && m_markedRow < Flex->rows())
        for (int c = 0; c < cols; ++c)
            Flex->setCellBackColor(m_markedRow, c, Qt::white);
    m_markedRow = row;
    if (row >= Flex->fixedRows())
        for (int c = 0; c < cols; ++c)
            Flex->setCellBackColor(row, c, CurrentRowColor);
}

void frmSetSafeStock::columnResized(int col, int newPixels) {
    if (newPixels > 0 && ui::twips::fromPixels(newPixels) < MinColumnTwips)
        Flex->setColumnWidth(col, 0);
    ui::errorTrap([this] { startup::SaveGridWidths(Flex, objectName()); });
}

void frmSetSafeStock::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (!m_firstActivate)
        return;
    m_firstActivate = false;
    ui::errorTrap([this] { ItemGroup->load(startup::loginContext().cnstr()); });
}

void frmSetSafeStock::closeEvent(QCloseEvent *event) {
    startup::SettingsStore::setValue(App, Section, WidthKey, QString::number(ItemGroup->width()));
    event->accept();
}

} // namespace zostore::stocklimit
