#include "reminders/frmActionList.h"

#include "components/Registry.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "reminders/PriceCorrection.h"
#include "reminders/ShortageProcedure.h"
#include "reminders/frmActionList_1.h"
#include "startup/CheckGrant.h"
#include "startup/FormServices.h"
#include "startup/LoginContext.h"
#include "startup/SettingsStore.h"
#include "ui/ActBar.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"
#include "ui/WaitCursor.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMainWindow>
#include <QPushButton>
#include <QVBoxLayout>

namespace zostore::reminders {

namespace {

const QString App = QStringLiteral("ZoStore");
const QColor Red(255, 0, 0);
const QColor Black(0, 0, 0);

} // namespace

frmActionList::frmActionList(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmActionList"));
    setWindowTitle(QStringLiteral("每日提醒"));
    registerReminderProcedures();
    build();
    MayEditSalePrice = startup::CheckGrant(QStringLiteral("705"), false);
    MayViewPurPrice = startup::CheckGrant(QStringLiteral("702"), false);
}

void frmActionList::build() {
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(4);
    // The tool bar needs a main window; a plain child one carries it inside the dialog.
    m_bar = new QMainWindow(this);
    m_bar->setWindowFlags(Qt::Widget);
    actBar = new ui::ActBar(m_bar);
    const QString band = QStringLiteral("tools");
    actBar->addBand(band, ui::ActBar::BandType::Toolbar);
    actBar->addTool(band, QStringLiteral("preview"), QStringLiteral("打印预览"));
    actBar->addTool(band, QStringLiteral("print"), QStringLiteral("打印输出"));
    actBar->addTool(band, QStringLiteral("excel"), QStringLiteral("导出Excel"));
    actBar->addSeparator(band);
    actBar->addTool(band, QStringLiteral("setdefault"), QStringLiteral("设置默认提醒"));
    actBar->addTool(band, QStringLiteral("pageset"), QStringLiteral("页面设置"));
    actBar->addSeparator(band);
    actBar->addTool(band, QStringLiteral("exit"), QStringLiteral("关  闭"));
    connect(actBar, &ui::ActBar::toolClicked, this, &frmActionList::runTool);
    lay->addWidget(m_bar);

    auto *pages = new QHBoxLayout;
    pages->setContentsMargins(6, 0, 6, 0);
    for (int p = 0; p < PageCount; ++p) {
        BtnPage[p] = new QPushButton(pageCaption(p), this);
        BtnPage[p]->setObjectName(QStringLiteral("BtnPage_%1").arg(p));
        BtnPage[p]->setMinimumHeight(30);
        connect(BtnPage[p], &QPushButton::clicked, this, [this, p] { ui::errorTrap([&] { showPage(p); }); });
        pages->addWidget(BtnPage[p]);
    }
    lay->addLayout(pages);

    Flex = new ui::Grid(this);
    Flex->setObjectName(QStringLiteral("Flex"));
    Flex->setBeforeEdit([this](int row, int col) { return beforeEdit(row, col); });
    connect(Flex, &ui::Grid::afterEdit, this, &frmActionList::afterEdit);
    connect(Flex->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        const int p = shownPage();
        if (!m_loading && p >= 0)
            ui::errorTrap([&] { startup::SaveGridWidths(Flex, layoutKey(p), true); });
    });
    lay->addWidget(Flex, 1);
    resize(1000, 600);
}

QString frmActionList::layoutKey(int page) const {
    return objectName() + QString::number(page);
}

int frmActionList::shownPage() const {
    for (int p = 0; p < PageCount; ++p)
        if (!BtnPage[p]->isEnabled())
            return p;
    return -1;
}

void frmActionList::showPage(int page) {
    PageOptions options;
    if (page == Shortage) {
        frmActionList_1 chooser(this);
        ui::dialogs().exec(chooser);
        if (!chooser.OK())
            return;
        m_stockName = chooser.StockName();
        options.storeName = m_stockName;
    }
    for (int p = 0; p < PageCount; ++p)
        BtnPage[p]->setEnabled(p != page);
    Flex->setVisible(true);
    if (page < 0 || page >= PageCount)
        return;
    ui::WaitCursor wait;
    options.mayViewPurPrice = MayViewPurPrice;
    options.hiddenPriceStyles = hiddenPriceStylesOf(startup::loginContext().userId());
    db::Connection conn(startup::loginContext().cnstr());
    const ReminderPage built = buildPage(conn, page, options);
    loadGrid(built);
    m_loading = true;
    startup::ApplyGridFormat(Flex, layoutKey(page));
    m_loading = false;
    hidePurchasePrice();
    if (built.failure)
        throw Error(*built.failure);
}

void frmActionList::loadGrid(const ReminderPage &page) {
    m_loading = true;
    const int cols = int(page.columns.size());
    Flex->setFixedRows(0);
    Flex->setRows(0);
    Flex->setCols(cols);
    Flex->setFixedRows(page.headerRows);
    for (int c = 0; c < cols; ++c) {
        const PageColumn &pc = page.columns.at(c);
        Flex->setColKey(c, pc.key);
        Flex->setTextMatrix(0, c, pc.upper);
        if (page.headerRows > 1)
            Flex->setTextMatrix(1, c, pc.lower);
        Flex->setColAlignment(c, pc.numeric ? Qt::AlignRight | Qt::AlignVCenter
                                            : Qt::AlignLeft | Qt::AlignVCenter);
    }
    QVector<QString> cells;
    cells.reserve(page.rows.size() * cols);
    for (const QStringList &r : page.rows)
        for (int c = 0; c < cols; ++c)
            cells << r.value(c);
    Flex->setData(int(page.rows.size()), cols, std::move(cells));
    for (int c = 0; c < cols; ++c)
        Flex->setColHidden(c, page.columns.at(c).hidden);
    for (const qint64 cell : page.redCells)
        Flex->setCellForeColor(int(cell / 65536) + page.headerRows, int(cell % 65536), Red);
    Flex->fitColumns();
    Flex->setEditable((page.page == PriceBelowCost || page.page == PurchasePriceChanged) && MayEditSalePrice);
    m_loading = false;
}

void frmActionList::hidePurchasePrice() {
    const int c = Flex->colIndex(QStringLiteral("FPurPrice"));
    if (c >= 0 && !MayViewPurPrice)
        Flex->setColHidden(c, true);
}

bool frmActionList::beforeEdit(int row, int col) const {
    return row >= Flex->fixedRows() && Flex->colKey(col).toLower().startsWith(QLatin1String("fprice_"));
}

void frmActionList::afterEdit(int row, int col) {
    ui::errorTrap([&] {
        const std::optional<double> price = parseSalePrice(Flex->textMatrix(row, col));
        if (!price) {
            Flex->setTextMatrix(row, col, Flex->editedFrom());
            ui::dialogs().info(QStringLiteral("售价必须是不小于零的数字，未做修改。"));
            return;
        }
        Flex->setTextMatrix(row, col, money(*price));
        db::Connection conn(startup::loginContext().cnstr());
        correctSalePrice(conn, Flex->text(row, QStringLiteral("FItemID")).toInt(), Flex->colKey(col), *price);
        if (Flex->colIndex(QStringLiteral("FSjEditDate")) >= 0)
            Flex->setText(row, QStringLiteral("FSjEditDate"),
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        const double purPrice = Flex->text(row, QStringLiteral("FPurPrice")).toDouble();
        Flex->setCellForeColor(row, col, *price > purPrice ? Black : Red);
    });
}

void frmActionList::runTool(const QString &key) {
    ui::errorTrap([&] {
        const int page = shownPage();
        const QString caption = page >= 0 ? BtnPage[page]->text() : QString();
        if (key == QLatin1String("print") || key == QLatin1String("preview")) {
            const QString line = page == Shortage ? QStringLiteral("查询仓库：") + m_stockName : QString();
            components::createObject(QStringLiteral("VNPrinter.DoPrint"))
                ->invoke(QStringLiteral("DoPrint"),
                         {key == QLatin1String("print"), startup::loginContext().cnstr(), objectName(),
                          caption, QVariant(QVariantList{QVariantList{line}}),
                          QVariant::fromValue<QObject *>(Flex)});
        } else if (key == QLatin1String("pageset")) {
            startup::ShowPageSetup(Flex, Flex->cols() - 1, layoutKey(page));
            hidePurchasePrice();
        } else if (key == QLatin1String("excel")) {
            components::createObject(QStringLiteral("VNExpImp.ExPData"))
                ->invoke(QStringLiteral("DoExp"), {QVariant::fromValue<QObject *>(Flex), caption});
        } else if (key == QLatin1String("exit")) {
            close();
        } else if (key == QLatin1String("setdefault")) {
            if (page < 0)
                return;
            if (ui::dialogs().question(QStringLiteral("是否将“") + caption +
                                           QStringLiteral("”设置成默认提醒？"),
                                       ui::Icon::Question, ui::Answer::Yes) == ui::Answer::Yes)
                startup::SettingsStore::setValue(App, QStringLiteral("DefaultValue"),
                                                 QStringLiteral("ActionItem"), QString::number(page));
        }
    });
}

void frmActionList::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!m_firstActivate)
        return;
    m_firstActivate = false;
    bool ok = false;
    int page = startup::SettingsStore::value(App, QStringLiteral("DefaultValue"),
                                             QStringLiteral("ActionItem"), QStringLiteral("1"))
                   .toShort(&ok);
    if (!ok)
        page = PurchasePriceChanged;
    ui::errorTrap([&] { showPage(page); });
}

} // namespace zostore::reminders
