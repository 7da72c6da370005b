// Cost window: recalculates the month's costs and lists what is still without price or cost.
#include "period/frmCacuCost.h"

#include "components/Registry.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "period/AccountProfile.h"
#include "period/CostCalculation.h"
#include "startup/FormServices.h"
#include "startup/LoginContext.h"
#include "ui/ActBar.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"
#include "ui/StatusBar.h"
#include "ui/WaitCursor.h"

#include <QApplication>
#include <QHeaderView>
#include <QLocale>
#include <QTabWidget>
#include <QToolBar>
#include <cmath>

namespace zostore::period {

namespace {

struct ColumnDef {
    const char *key;
    const char *caption; // UTF-8
};

// Columns before and after the item's extra fields, per grid.
const std::vector<ColumnDef> head0{{"FNumber", "商品代码"}, {"FName", "商品名称"}, {"FModel", "规格型号"}};
const std::vector<ColumnDef> tail0{
    {"FUnit", "单位"}, {"FPurPrice", "进价"}, {"FPjcost", "成本价"}, {"FItemID", "内码"}};
const std::vector<ColumnDef> head1{{"FDate", "单据日期"},
                                   {"FBillNo", "单据号码"},
                                   {"FNumber", "商品代码"},
                                   {"FName", "商品名称"},
                                   {"FModel", "规格型号"}};
const std::vector<ColumnDef> tail1{{"FUnit", "单位"},  {"FMainQty", "辅助数量"}, {"FQty", "数量"},
                                   {"FPrice", "进价"}, {"FAmount", "金额"},      {"FInterID", ""}};
const std::vector<ColumnDef> head2{{"FDate", "单据日期"},     {"FBillNo", "单据号码"},
                                   {"FTranType", "单据类型"}, {"FNumber", "商品代码"},
                                   {"FName", "商品名称"},     {"FModel", "规格型号"}};
const std::vector<ColumnDef> tail2{{"FUnit", "单位"},         {"FPurPrice", "进价"}, {"FMainQty", "辅助数量"},
                                   {"FQty", "数量"},          {"FPrice", "售价"},    {"FAmount", "金额"},
                                   {"FUnitCost", "单位成本"}, {"FCost", "成本"},     {"FInterID", ""},
                                   {"FEntryID", ""}};

const QStringList tabCaptions{QStringLiteral("商品成本表(&A)"), QStringLiteral("无进价的入库单"),
                              QStringLiteral("无法计算成本单据清单")};

QString gridSql(int index) {
    switch (index) {
    case 0:
        return QStringLiteral("select * from t_ICItem where FDel=0 order by FNumber");
    case 1:
        return QStringLiteral(
            "select t1.FBillNo,t1.FInterID,t1.FDate,t3.*,t2.FMainQty,t2.FQty,t2.FPrice,t2.FAmount "
            "from ICStockBill t1 Inner Join ICStockBillEntry t2 ON t1.FInterID=t2.FInterID "
            "Inner Join t_ICItem t3 ON t2.FItemID=t3.FItemID "
            "where FDeleted=0 and t2.FPreSend=0 and t1.FTranType in (12) and t2.FAmount=0 and "
            "t2.FQty<>0 and t1.Fyear=? and t1.FPeriod=? order by t1.FDate,t1.FBillNo");
    default:
        return QStringLiteral(
            "select case t1.FTranType when 14 then '采购退货单' when 22 then '销售出库单' when 24 then "
            "'销售退货单' "
            "when 15 then '其他入库单' when 25 then '其他出库单' when 31 then '仓库调拨单' end as FTranType,"
            "t1.FBillNo,t1.FInterID,t1.FDate,t2.FentryID,t3.*,t2.FMainQty,t2.FQty,"
            "t2.FUnitCost,t2.FCost,t2.FPrice,t2.FAmount "
            "from ICStockBill t1 Inner Join ICStockBillEntry t2 ON t1.FInterID=t2.FInterID "
            "Inner Join t_ICItem t3 ON t2.FItemID=t3.FItemID "
            "where FDeleted=0 and t1.FTranType in (14,22,24,15,25,31,99) and isnull(t2.FCost,0)=0 and "
            "t2.FQty<>0 "
            "and t1.Fyear=? and t1.FPeriod=? order by t1.FDate,t1.FBillNo");
    }
}

// Keys of the price and amount columns each grid writes with two decimals.
QStringList moneyKeys(int index) {
    switch (index) {
    case 0:
        return {QStringLiteral("FPjcost"), QStringLiteral("FPurPrice")};
    case 1:
        return {QStringLiteral("FPrice"), QStringLiteral("FAmount")};
    default:
        return {QStringLiteral("FPrice"), QStringLiteral("FAmount"), QStringLiteral("FPurPrice")};
    }
}

// Widths before the user sets any, in twips; the grid-format service replaces them with stored ones.
int defaultWidthTwips(const QString &key) {
    static const QHash<QString, int> widths{
        {QStringLiteral("fnumber"), 1100},   {QStringLiteral("fname"), 2200},
        {QStringLiteral("fdate"), 1200},     {QStringLiteral("fbillno"), 2000},
        {QStringLiteral("ftrantype"), 1200}, {QStringLiteral("funit"), 700},
        {QStringLiteral("fmodel"), 1100}};
    return widths.value(key.toLower(), 1000);
}

} // namespace

frmCacuCost::frmCacuCost(QWidget *parent, ui::StatusBar *statusBar)
    : QMainWindow(parent, Qt::Window), m_statusBar(statusBar) {
    if (!m_statusBar && parent)
        m_statusBar = parent->window()->findChild<ui::StatusBar *>();
    setObjectName(QStringLiteral("frmCacuCost"));
    setWindowTitle(QStringLiteral("商品成本表"));
    resize(900, 560);

    ActiveBar1 = new ui::ActBar(this);
    const QString band = QStringLiteral("tbrCost");
    ActiveBar1->addBand(band, ui::ActBar::BandType::Toolbar, QStringLiteral("工具栏"));
    ActiveBar1->addTool(band, QStringLiteral("cacu"), QStringLiteral("重新计算成本"));
    ActiveBar1->addSeparator(band);
    ActiveBar1->addTool(band, QStringLiteral("refresh"), QStringLiteral("刷新"));
    ActiveBar1->addTool(band, QStringLiteral("print"), QStringLiteral("打印"));
    ActiveBar1->addTool(band, QStringLiteral("preview"), QStringLiteral("预览"));
    ActiveBar1->addTool(band, QStringLiteral("pageset"), QStringLiteral("页面"));
    ActiveBar1->addSeparator(band);
    ActiveBar1->addTool(band, QStringLiteral("exit"), QStringLiteral("关闭"));
    ActiveBar1->toolbar(band)->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(ActiveBar1, &ui::ActBar::toolClicked, this, &frmCacuCost::runTool);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    for (int i = 0; i < 3; ++i) {
        Flex[i] = new ui::Grid(SSTab1);
        Flex[i]->setObjectName(QStringLiteral("Flex%1").arg(i));
        SSTab1->addTab(Flex[i], tabCaptions[i]);
        connect(Flex[i]->horizontalHeader(), &QHeaderView::sectionResized, this,
                [this, i] { saveWidths(i); });
    }
    setCentralWidget(SSTab1);
    Flex[2]->setEditable(true);
    Flex[2]->setBeforeEdit([this](int, int col) {
        return Flex[2]->colKey(col).compare(QStringLiteral("FUnitCost"), Qt::CaseInsensitive) == 0;
    });
    connect(Flex[2], &ui::Grid::afterEdit, this, &frmCacuCost::Flex_AfterEdit);
    Form_Load();
    connect(SSTab1, &QTabWidget::currentChanged, this, [this](int index) {
        if (!m_loading)
            ui::errorTrap([&] { refreshGrid(index); });
    });
}

frmCacuCost::~frmCacuCost() = default;

QString frmCacuCost::layoutKey(int index, bool withDot) const {
    return objectName() + (withDot ? QStringLiteral(".") : QString()) + QString::number(index + 1);
}

void frmCacuCost::Form_Load() {
    m_loading = true;
    ui::errorTrap([this] {
        db::Connection conn(startup::loginContext().cnstr());
        const auto style = profileValue(conn, QStringLiteral("CostStyle"));
        m_costStyle = style ? static_cast<int>(std::lround(leadingNumber(*style))) : 0;
        if (style && style->trimmed() == QStringLiteral("1")) {
            SSTab1->setTabEnabled(0, false);
            SSTab1->setCurrentIndex(1);
        }
        db::Recordset rs = conn.open(QStringLiteral("select FFieldName,FFieldDesc from t_ItemDetail where "
                                                    "FItemClassID=4 and FSystem=0 order by FFieldID"));
        for (; !rs.eof(); rs.moveNext())
            m_extraFields.append(
                {rs.text(QStringLiteral("FFieldName")), rs.text(QStringLiteral("FFieldDesc"))});
    });
    buildColumns();
    for (int i = 0; i < 3; ++i)
        ui::errorTrap([&] { startup::ApplyGridFormat(Flex[i], layoutKey(i, true)); });
    m_loading = false;
}

void frmCacuCost::buildColumns() {
    const std::array<std::pair<const std::vector<ColumnDef> *, const std::vector<ColumnDef> *>, 3> defs{
        {{&head0, &tail0}, {&head1, &tail1}, {&head2, &tail2}}};
    for (int i = 0; i < 3; ++i) {
        QStringList keys;
        QStringList captions;
        for (const ColumnDef &c : *defs[i].first) {
            keys << QString::fromUtf8(c.key);
            captions << QString::fromUtf8(c.caption);
        }
        for (const auto &[name, desc] : m_extraFields) {
            keys << name;
            captions << desc;
        }
        for (const ColumnDef &c : *defs[i].second) {
            keys << QString::fromUtf8(c.key);
            captions << QString::fromUtf8(c.caption);
        }
        ui::Grid *g = Flex[i];
        g->setFixedRows(1);
        g->setCols(int(keys.size()));
        g->setHeaders(captions);
        const QStringList money =
            moneyKeys(i) + QStringList{QStringLiteral("FQty"), QStringLiteral("FMainQty"),
                                       QStringLiteral("FUnitCost"), QStringLiteral("FCost")};
        for (int c = 0; c < keys.size(); ++c) {
            g->setColKey(c, keys[c]);
            g->setColWidthTwips(c, defaultWidthTwips(keys[c]));
            if (money.contains(keys[c], Qt::CaseInsensitive))
                g->setColAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
            g->setColEditable(c, i == 2 && keys[c] == QStringLiteral("FUnitCost"));
        }
        const int hidden = i == 2 ? 2 : 1;
        for (int c = int(keys.size()) - hidden; c < keys.size(); ++c)
            g->setColHidden(c, true);
    }
}

void frmCacuCost::saveWidths(int index) {
    if (m_loading)
        return;
    m_loading = true;
    ui::errorTrap([&] { startup::SaveGridWidths(Flex[index], layoutKey(index, true), false); });
    m_loading = false;
}

void frmCacuCost::refreshGrid(int index) {
    ui::Grid *g = Flex[index];
    ui::WaitCursor wait(m_statusBar);
    g->clear();
    const auto &ctx = startup::loginContext();
    db::Connection conn(ctx.cnstr());
    QVariantList params;
    if (index > 0)
        params = {ctx.currentYear(), ctx.currentPeriod()};
    db::Recordset rs = conn.open(gridSql(index), params);
    const QStringList money = moneyKeys(index);
    const int cols = g->cols();
    QVector<int> fields(cols);
    QVector<bool> formatted(cols);
    for (int c = 0; c < cols; ++c) {
        fields[c] = rs.fieldIndex(g->colKey(c));
        formatted[c] = money.contains(g->colKey(c), Qt::CaseInsensitive);
    }
    QVector<QString> cells;
    cells.reserve(qsizetype(std::max(0, rs.recordCount())) * cols);
    int rows = 0;
    for (; !rs.eof(); rs.moveNext(), ++rows) {
        for (int c = 0; c < cols; ++c) {
            if (fields[c] < 0) {
                cells.append(QString());
                continue;
            }
            const QVariant v = rs.value(fields[c]);
            if (v.isNull())
                cells.append(QString());
            else if (formatted[c])
                cells.append(QString::number(db::Recordset::doubleOf(v), 'f', 2));
            else
                cells.append(db::Recordset::textOf(v));
        }
    }
    m_loading = true;
    g->setData(rows, cols, std::move(cells));
    const int hidden = index == 2 ? 2 : 1;
    for (int c = 0; c < cols; ++c)
        g->setColHidden(c, c >= cols - hidden);
    m_loading = false;
}

void frmCacuCost::runTool(const QString &key) {
    const int index = SSTab1->currentIndex();
    const auto &ctx = startup::loginContext();
    if (key == QLatin1String("cacu")) {
        if (ui::dialogs().question(QStringLiteral("是否现在重新计算成本？"), ui::Icon::Question,
                                   ui::Answer::No) == ui::Answer::Yes)
            cacu();
    } else if (key == QLatin1String("refresh")) {
        ui::errorTrap([&] { refreshGrid(index); });
    } else if (key == QLatin1String("print") || key == QLatin1String("preview")) {
        ui::errorTrap([&] {
            auto printer = components::createObject(QStringLiteral("VNPrinter.DoPrint"));
            printer->invoke(QStringLiteral("DoPrint"),
                            {key == QLatin1String("print"), ctx.cnstr(), layoutKey(index, true),
                             SSTab1->tabText(index), QVariant(QVariantList{QVariantList{QString()}}),
                             QVariant::fromValue<QObject *>(Flex[index])});
        });
    } else if (key == QLatin1String("pageset")) {
        ui::errorTrap([&] {
            startup::ShowPageSetup(Flex[index], Flex[index]->cols() - (index == 2 ? 2 : 1),
                                   layoutKey(index, false));
        });
    } else if (key == QLatin1String("exit")) {
        close();
    }
}

void frmCacuCost::cacu() {
    const auto &ctx = startup::loginContext();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CostCalculation::Outcome outcome = CostCalculation::Outcome::Done;
    const bool ok = ui::errorTrap([&] {
        try {
            outcome = CostCalculation(ctx.cnstr(), {ctx.currentYear(), ctx.currentPeriod()}).run(m_costStyle);
        } catch (...) {
            QApplication::restoreOverrideCursor();
            throw;
        }
    });
    if (!ok)
        return;
    QApplication::restoreOverrideCursor();
    if (outcome == CostCalculation::Outcome::NoPriceStyle) {
        ui::dialogs().message(QStringLiteral("请先到参数设置中设置成本计价方式！"), ui::Icon::Warning);
        return;
    }
    ui::dialogs().message(QStringLiteral("计算成本完成！"), ui::Icon::Information);
    ui::errorTrap([&] { refreshGrid(0); });
}

void frmCacuCost::Flex_AfterEdit(int row, int col) {
    ui::Grid *g = Flex[2];
    if (m_loading || g->colKey(col).compare(QStringLiteral("FUnitCost"), Qt::CaseInsensitive) != 0)
        return;
    ui::errorTrap([&] {
        const double u = leadingNumber(g->text(row, QStringLiteral("FUnitCost")));
        const double q = leadingNumber(g->text(row, QStringLiteral("FQty")));
        m_loading = true;
        g->setText(row, QStringLiteral("FCost"), QLocale(QLocale::English).toString(q * u, 'f', 2));
        m_loading = false;
        const auto &ctx = startup::loginContext();
        CostCalculation(ctx.cnstr(), {ctx.currentYear(), ctx.currentPeriod()})
            .correctUnitCost(g->text(row, QStringLiteral("FInterID")).toLongLong(),
                             g->text(row, QStringLiteral("FEntryID")).toInt(), u,
                             CostCalculation::isValuedAtCost(g->text(row, QStringLiteral("FTranType"))));
    });
}

} // namespace zostore::period
