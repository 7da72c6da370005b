// Main window: controls, menus, status bar, load, resize rules and the picture menu's mouse feedback.
#include "shell/frmMain.h"

#include "db/Error.h"
#include "shell/MainLayout.h"
#include "shell/Maintenance.h"
#include "shell/Permissions.h"
#include "shell/WindowTable.h"
#include "shell/frmAbout.h"
#include "startup/ExitConfirmation.h"
#include "startup/ProgramFolder.h"
#include "startup/SettingsStore.h"
#include "ui/ActBar.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"
#include "ui/StatusBar.h"
#include "ui/Twips.h"

#include <QCloseEvent>
#include <QShowEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGraphicsDropShadowEffect>
#include <QHeaderView>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

namespace zostore::shell {

namespace L = layout;
namespace tw = ui::twips;

namespace {

const char *LeftProperty = "twipsLeft";
const char *TopProperty = "twipsTop";

struct PanelSpec {
    const char *key;
    int width;
};
constexpr PanelSpec Panels[] = {{"handletip", 0},   {"actionday", 1900},     {"msgbox", 2200},
                                {"acctname", 2600}, {"currentperiod", 2300}, {"curuser", 2000}};

QFont pixelFont(int twips, bool bold = false) {
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(std::max(8, tw::toPixels(twips)));
    f.setBold(bold);
    return f;
}

} // namespace

int frmMain::leftTwips(const QWidget *w) {
    return w->property(LeftProperty).toInt();
}
int frmMain::topTwips(const QWidget *w) {
    return w->property(TopProperty).toInt();
}

void frmMain::placeTwips(QWidget *w, double left, double top) {
    w->setProperty(LeftProperty, qRound(left));
    w->setProperty(TopProperty, qRound(top));
    w->move(tw::toPixels(qRound(left)), tw::toPixels(qRound(top)));
}

void frmMain::placeTwips(QWidget *w, double left, double top, double width, double height) {
    placeTwips(w, left, top);
    w->resize(std::max(0, tw::toPixels(qRound(width))), std::max(0, tw::toPixels(qRound(height))));
}

frmMain::frmMain(QWidget *parent) : QMainWindow(parent), m_dispatch(*this) {
    setObjectName(QStringLiteral("frmMain"));
    registerVersionService();
    if (!windowTable().isInstalled(windows::About))
        windowTable().registerWindow(windows::About, [](QWidget *parent) { return new frmAbout(parent); });
    buildMenus();
    buildStatusBar();
    buildControls();
    m_endProcess = [] { QCoreApplication::exit(0); };
    loadWindow();
}

frmMain::~frmMain() = default;

void frmMain::buildMenus() {
    using Band = ui::ActBar::BandType;
    m_actBar = new ui::ActBar(this);
    m_actBar->addBand(QStringLiteral("mnuMain"), Band::MenuBar);
    struct Entry {
        const char *tool;
        const char *caption;
        const char *band;
    };
    static constexpr Entry entries[] = {
        {"MnuInit", "初始化(&I)", "subMenuInit"},
        {"MnuTools", "工具箱(&T)", "subMenuTools"},
        {"Mnufzbg", "辅助功能(&B)", "subMenufzbg"},
        {"MnuPurReport", "采购报表(&C)", "subMenuPurReport"},
        {"MnuSaleReport", "销售报表(&D)", "subMenuSaleReport"},
        {"MnuStockReport", "仓库报表(&E)", "subMenuStockReport"},
        {"MnuCwReport", "财务报表(&F)", "subMenuCwReport"},
        {"MnuOA", "消息管理(&O)", "subMenuOA"},
        {"MnuHelp", "帮助(&H)", "subMenuHelp"},
    };
    for (const Entry &e : entries) {
        m_actBar->addBand(QString::fromLatin1(e.band), Band::Popup, QString::fromUtf8(e.caption));
        m_actBar->addSubBand(QStringLiteral("mnuMain"), QString::fromLatin1(e.tool),
                             QString::fromUtf8(e.caption), QString::fromLatin1(e.band));
    }
    m_actBar->addTool(QStringLiteral("mnuMain"), QStringLiteral("MnuExit"), QStringLiteral("退出系统(&X)"));
    m_actBar->addBand(QStringLiteral("billtool"), Band::Popup);

    auto add = [this](const char *band, const char *tool, const char *caption, bool checkable = false) {
        return m_actBar->addTool(QString::fromLatin1(band), QString::fromLatin1(tool),
                                 QString::fromUtf8(caption), {}, checkable);
    };
    add("subMenuInit", "MnuInitStock", "商品库存余额初始化");
    add("subMenuInit", "MnuInitYfk", "应付帐款余额初始化");
    m_actBar->addSeparator(QStringLiteral("subMenuInit"));
    add("subMenuInit", "MnuInitCash", "现金帐户余额初始化");
    add("subMenuInit", "MnuInitJk", "内部借款余额初始化");
    add("subMenuInit", "MnuInitDtfy", "期初待摊费用");
    m_actBar->addSeparator(QStringLiteral("subMenuInit"));
    add("subMenuInit", "MnuCloseInit", "结束初始化");
    add("subMenuTools", "MnuReLogin", "更换操作员");
    add("subMenuTools", "MnuModifyPwd", "修改登录密码");
    m_actBar->addSeparator(QStringLiteral("subMenuTools"));
    add("subMenuTools", "MnuCacuCost", "重算成本");
    add("subMenuTools", "MnuClosePeriod", "月底结帐");
    add("subMenuTools", "MnuTruncate", "压缩帐套");
    m_actBar->addSeparator(QStringLiteral("subMenuTools"));
    add("subMenuTools", "MnuDesiger", "设计表单打印格式");
    add("subMenuTools", "MnuPosDesiger", "小票打印格式设置");
    add("subMenuTools", "printbarcode", "打印条形码");
    add("subMenuTools", "printlabel", "打印商品标签");
    QAction *small = add("subMenuTools", "smallscreen", "窄屏显示", true);
    add("subMenuTools", "updategrade", "在线升级");
    add("billtool", "newbill", "新增单据");
    add("billtool", "searchbill", "查找历史单据");
    add("subMenuOA", "MnuCalculator", "计算器");
    add("subMenuOA", "MnuNewMsg", "消息管理");
    add("subMenuHelp", "MnuHelpDoc", "帮助文档");
    add("subMenuHelp", "MnuQuestion", "常见问题答疑");
    add("subMenuHelp", "MnuHomePag", "联系我们");
    m_actBar->addSeparator(QStringLiteral("subMenuHelp"));
    add("subMenuHelp", "MnuAbout", "关于…");
    add("subMenufzbg", "sdyh", "时段优惠设置");
    add("subMenufzbg", "jfexchange", "积分兑换商品设置");
    add("subMenufzbg", "stocklimit", "分仓库设置库存上下限");
    add("subMenufzbg", "cleardata", "清除历史数据");

    m_smallScreen = startup::SettingsStore::value(QStringLiteral("ZoApparel"), QStringLiteral("DefaultValue"),
                                                  QStringLiteral("smallscreen")) == QLatin1String("1");
    small->setChecked(m_smallScreen);
    connect(m_actBar, &ui::ActBar::toolClicked, this,
            [this](const QString &name) { m_dispatch.DispatchTool(name); });
}

void frmMain::buildStatusBar() {
    m_stbMain = new ui::StatusBar(this);
    m_stbMain->setObjectName(QStringLiteral("stbMain"));
    for (const PanelSpec &p : Panels)
        m_stbMain->addPanel(QString::fromLatin1(p.key), {}, p.width);
    m_stbMain->setPanelText(QStringLiteral("actionday"), QStringLiteral("显示每日提醒(单击)"));
    m_stbMain->panel(QStringLiteral("actionday"))->setToolTip(QStringLiteral("显示每日提醒(单击)"));
    setStatusBar(m_stbMain);
    connect(m_stbMain, &ui::StatusBar::panelClicked, this, [this](const QString &key) { ClickPanel(key); });
}

void frmMain::buildControls() {
    m_central = new QWidget(this);
    setCentralWidget(m_central);
    m_pctMenu = new QWidget(m_central);
    m_pctMenu->setObjectName(QStringLiteral("pctMenu"));
    m_backdrop = new PictureBox(m_pctMenu);
    m_backdrop->setUnscaled(true, QColor(0xF2, 0xF4, 0xF8));
    m_imgMain = new PictureBox(m_pctMenu);
    m_imgMain->setObjectName(QStringLiteral("imgMain"));
    m_imgMain->setUnscaled(true, QColor(0xF2, 0xF4, 0xF8));
    connect(m_imgMain, &PictureBox::entered, this, &frmMain::clearHighlights);
    connect(m_backdrop, &PictureBox::entered, this, &frmMain::clearHighlights);

    for (int i = 1; i <= 5; ++i) {
        auto *img = new PictureBox(m_pctMenu);
        img->setObjectName(QStringLiteral("ImgMenu%1").arg(i));
        img->setCursor(Qt::PointingHandCursor);
        placeTwips(img, L::ModuleLeft, L::ModuleTop + L::ModuleStep * (i - 1), L::ModuleWidth,
                   L::ModuleHeight);
        connect(img, &PictureBox::clicked, this, [this, i] { ui::errorTrap([&] { ClickModule(i); }); });
        connect(img, &PictureBox::entered, this, [this, i] { hoverModule(i); });
        m_imgMenu[i - 1] = img;
    }
    for (int i = 1; i <= 9; ++i) {
        auto *img = new PictureBox(m_pctMenu);
        img->setObjectName(QStringLiteral("ImgButton%1").arg(i));
        img->setCursor(Qt::PointingHandCursor);
        placeTwips(img, L::SlotLefts[(i - 1) % 3], L::SlotTops[(i - 1) / 3], L::ButtonSize, L::ButtonSize);
        auto *lbl = new LinkLabel(m_pctMenu);
        lbl->setObjectName(QStringLiteral("lblSubMenu%1").arg(i));
        lbl->setCursor(Qt::PointingHandCursor);
        lbl->setFont(pixelFont(210));
        placeTwips(lbl, leftTwips(img), topTwips(img) + 1300, L::CaptionWidth, L::CaptionHeight);
        for (QObject *sender : {static_cast<QObject *>(img), static_cast<QObject *>(lbl)}) {
            if (auto *p = qobject_cast<PictureBox *>(sender)) {
                connect(p, &PictureBox::clicked, this, [this, i] { ClickButton(i); });
                connect(p, &PictureBox::entered, this, [this, i] { highlightCaption(i); });
            } else if (auto *l = qobject_cast<LinkLabel *>(sender)) {
                connect(l, &LinkLabel::clicked, this, [this, i] { ClickButton(i); });
                connect(l, &LinkLabel::entered, this, [this, i] { highlightCaption(i); });
            }
        }
        m_imgButton[i - 1] = img;
        m_lblSubMenu[i - 1] = lbl;
    }

    m_reportCard = new QFrame(m_pctMenu);
    m_reportCard->setObjectName(QStringLiteral("reportCard"));
    m_reportCard->setStyleSheet(QStringLiteral("#reportCard { background: white; border-radius: 14px; }"));
    auto *shadow = new QGraphicsDropShadowEffect(m_reportCard);
    shadow->setBlurRadius(16);
    shadow->setOffset(0, 2);
    shadow->setColor(QColor(30, 50, 80, 40));
    m_reportCard->setGraphicsEffect(shadow);
    placeTwips(m_reportCard, L::ReportCardLeft, L::CardTop, L::ReportCardRight - L::ReportCardLeft,
               L::CardBottom - L::CardTop);
    m_lblNoReports = new QLabel(QStringLiteral("没有可以查看的报表"), m_pctMenu);
    m_lblNoReports->setObjectName(QStringLiteral("lblNoReports"));
    m_lblNoReports->setFont(pixelFont(195));
    m_lblNoReports->setStyleSheet(QStringLiteral("color: #8a96a8;"));
    placeTwips(m_lblNoReports, L::SepLeft + 300, L::SepTop + 450, L::ReportLabelWidth, L::ReportHeaderHeight);
    m_imgSep = new PictureBox(m_pctMenu);
    m_imgSep->setObjectName(QStringLiteral("imgSep"));
    placeTwips(m_imgSep, L::SepLeft, L::SepTop, L::SepWidth, L::SepHeight);
    for (int i = 0; i < 3; ++i) {
        m_imgReport[i] = new PictureBox(m_pctMenu);
        m_imgReport[i]->setObjectName(QStringLiteral("imgReport%1").arg(i));
        placeTwips(m_imgReport[i], L::SepLeft + 300, L::SepTop + 400, L::ReportHeaderWidth,
                   L::ReportHeaderHeight);
        m_imgReport[i]->hide();
        for (int k = 0; k < PanelLabels[i]; ++k) {
            auto *lbl = new LinkLabel(m_pctMenu);
            static const char *names[] = {"lblReport", "lblReport_1", "lblReport_2"};
            lbl->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(names[i])).arg(k));
            lbl->setCursor(Qt::PointingHandCursor);
            lbl->setFont(pixelFont(195));
            lbl->resize(tw::toPixels(L::ReportLabelWidth), tw::toPixels(L::ReportHeaderHeight));
            lbl->hide();
            connect(lbl, &LinkLabel::clicked, this, [this, i, k] { ClickReportLabel(i, k); });
            connect(lbl, &LinkLabel::entered, this, [this, lbl] { highlightReport(lbl); });
            m_reportLabels[i].append(lbl);
        }
    }

    m_imgHelp = new PictureBox(m_pctMenu);
    m_imgHelp->setObjectName(QStringLiteral("imgHelp"));
    m_imgHelp->setCursor(Qt::PointingHandCursor);
    m_imgHelp->setToolTip(QStringLiteral("帮助"));
    placeTwips(m_imgHelp, 14000, L::HelpTop, L::HelpWidth, L::HelpHeight);
    connect(m_imgHelp, &PictureBox::clicked, this, &frmMain::showHelp);
    m_lblVer = new LinkLabel(m_pctMenu);
    m_lblVer->setObjectName(QStringLiteral("lblVer"));
    m_lblVer->setCursor(Qt::PointingHandCursor);
    m_lblVer->setFont(pixelFont(180));
    m_lblVer->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_lblVer->setStyleSheet(QStringLiteral("color: rgba(255,255,255,210);"));
    placeTwips(m_lblVer, 13200, L::HelpTop + 880, L::VerWidth, 300);
    connect(static_cast<LinkLabel *>(m_lblVer), &LinkLabel::clicked, this, &frmMain::showVersionNotes);

    // Birthday strip
    m_strip = new QFrame(m_pctMenu);
    m_strip->setObjectName(QStringLiteral("birthdayStrip"));
    m_strip->setStyleSheet(QStringLiteral("#birthdayStrip { background: white; border-radius: 10px; }"));
    m_imgOrder = new PictureBox(m_strip);
    m_imgOrder->setObjectName(QStringLiteral("imgOrder"));
    placeTwips(m_imgOrder, 180, 180, L::OrderSize, L::OrderSize);
    m_lblOrderOrgas = new QLabel(QStringLiteral("会员生日提醒(共   会员)"), m_strip);
    m_lblOrderOrgas->setObjectName(QStringLiteral("lblOrderOrgas"));
    m_lblOrderOrgas->setFont(pixelFont(210, true));
    placeTwips(m_lblOrderOrgas, 1080, 160, 4200, 360);
    m_label1 = new LinkLabel(m_strip);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setText(QStringLiteral("刷新会员"));
    m_label1->setFont(pixelFont(195));
    m_label1->setCursor(Qt::PointingHandCursor);
    connect(m_label1, &LinkLabel::clicked, this, [this] { ui::errorTrap([&] { RefreshBirthdays(); }); });
    m_flexVip = new ui::Grid(m_strip);
    m_flexVip->setObjectName(QStringLiteral("FlexVip"));
    m_flexVip->horizontalHeader()->hide();
    m_flexVip->verticalHeader()->hide();
    m_flexVip->setShowGrid(false);
    m_flexVip->setFrameShape(QFrame::NoFrame);
    m_flexVip->setFont(pixelFont(180));
    m_flexVip->setSelectionMode(QAbstractItemView::NoSelection);
    m_flexVip->setFocusPolicy(Qt::NoFocus);
    m_flexVip->verticalHeader()->setDefaultSectionSize(tw::toPixels(300));
    m_flexVip->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_flexVip->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_flexVip->setStyleSheet(QStringLiteral("QTableView { background: white; }"));
}

QPixmap frmMain::picture(const QString &relative) {
    auto it = m_pictures.constFind(relative);
    if (it != m_pictures.constEnd())
        return *it;
    const QString path = QDir(startup::programFile(QStringLiteral("picture"))).filePath(relative);
    QPixmap pm;
    if (!pm.load(path))
        throw Error(QStringLiteral("找不到图片文件：") + QDir::toNativeSeparators(path));
    if (relative != QLatin1String("Background.jpg"))
        pm.setDevicePixelRatio(2.0);
    else
        pm.setDevicePixelRatio(1440.0 / (L::TwipsPerPixel * tw::toPixels(1440)));
    m_pictures.insert(relative, pm);
    return pm;
}

void frmMain::setPicture(PictureBox *box, const QString &relative) {
    box->setPicture(picture(relative), relative);
}

void frmMain::loadWindow() {
    ui::errorTrap([&] {
        startup::MainWindowLoad load(m_state);
        load.prepare();
        m_lblVer->setText(m_state.versionLabel);
        load.readManagerFlag();
        load.readProfile();
        if (m_state.initClosed)
            m_actBar->tool(QStringLiteral("subMenuInit"), QStringLiteral("MnuCloseInit"))
                ->setText(QStringLiteral("返回初始化"));
        // Pictures and button slots
        setPicture(m_imgMain, QStringLiteral("Background.jpg"));
        setPicture(m_backdrop, QStringLiteral("Background.jpg"));
        setPicture(m_imgReport[0], QStringLiteral("Report_1.jpg"));
        setPicture(m_imgReport[1], QStringLiteral("Report_2.jpg"));
        setPicture(m_imgReport[2], QStringLiteral("Report_3.jpg"));
        setPicture(m_imgSep, QStringLiteral("Sep.jpg"));
        setPicture(m_imgHelp, QStringLiteral("Help.jpg"));
        setPicture(m_imgOrder, QStringLiteral("Order.jpg"));
        for (int i = 1; i <= 5; ++i)
            setPicture(m_imgMenu[i - 1], QStringLiteral("%1-0.jpg").arg(i));
        for (int i = 0; i < 9; ++i)
            m_slots[i] = QPointF(leftTwips(m_imgButton[i]), topTwips(m_imgButton[i]));
        m_currentModule = 1;
        m_hoveredModule = 1;
        LoadSystemMenu();
        startup::MainWindowLoad::applyRegionalFormats();
        // Birthday grid: three visible rows over three hidden ones holding the member ids
        m_flexVip->setFixedRows(0);
        m_flexVip->setRows(6);
        m_flexVip->setCols(4);
        for (int r = 3; r < 6; ++r)
            m_flexVip->setGridRowHidden(r, true);
    });
}

bool frmMain::smallScreen() const {
    QAction *a = m_actBar->tool(QStringLiteral("subMenuTools"), QStringLiteral("smallscreen"));
    return a && a->isChecked();
}

void frmMain::resizeEvent(QResizeEvent *e) {
    QMainWindow::resizeEvent(e);
    layoutAgain();
}

void frmMain::layoutAgain() {
    // a restored window keeps every control where it was
    if (isMaximized())
        relayout();
}

void frmMain::relayout() {
    const int W = tw::fromPixels(width());
    const int H = tw::fromPixels(height());
    QMenuBar *bar = menuBar();
    const int T = tw::fromPixels(bar->y());
    const int A = tw::fromPixels(bar->height());
    const int S = tw::fromPixels(m_stbMain->height());
    const int centralTop = tw::fromPixels(m_central->y());
    auto step = [](auto &&f) {
        try {
            f();
        } catch (...) {
            // a failing step is skipped and the next one runs
        }
    };
    int containerHeight = 0;
    step([&] {
        double top, height;
        if (!smallScreen()) {
            top = T + A / 2.0;
            height = H - A / 2.0 - S + 40;
        } else {
            top = -1550;
            height = H - A / 2.0 - S + 2380;
        }
        // the container lives in the central widget, which starts below the menu bar
        placeTwips(m_pctMenu, 0, top - centralTop, W, height);
        m_pctMenu->setProperty(TopProperty, qRound(top));
        containerHeight = qRound(height);
    });
    step([&] { placeTwips(m_imgMain, 0, 0, W, H - A / 2.0 - S); });
    step([&] { placeTwips(m_backdrop, 0, 0, W, containerHeight); });
    step([&] {
        int others = 0;
        for (const PanelSpec &p : Panels)
            if (p.width > 0)
                others += p.width;
        // an upper bound rather than a fixed width, so the bar never pushes the window wider than the screen
        ui::StatusPanel *tip = m_stbMain->panel(QStringLiteral("handletip"));
        tip->setMinimumWidth(0);
        tip->setMaximumWidth(tw::toPixels(std::max(0, W - 200 - others)));
        tip->setProperty("twipsWidth", std::max(0, W - 200 - others));
    });
    step([&] {
        placeTwips(m_imgHelp, W - 2000, topTwips(m_imgHelp));
        placeTwips(m_lblVer, W - 2800, topTwips(m_imgHelp) + 880);
        placeTwips(m_imgSep, L::SepLeft, L::SepTop);
    });
    step([&] { placeBirthdayStrip(W, containerHeight); });
    if (m_state.firstActivate) {
        step([&] { LoadModuleMenu(); });
        step([&] { LoadReportMenu(false, false); });
    }
}

void frmMain::placeBirthdayStrip(int containerWidth, int containerHeight) {
    const int height = 1650; // three rows under the caption, clear of the cards at 800 pixels high
    // as wide as both cards above it when the window allows, so the columns need no scrolling
    const int width = std::max(L::CardRight, std::min(L::ReportCardRight, containerWidth - 300)) - L::CardLeft;
    const int below = L::CardBottom + 300;
    const int top = std::max(L::CardTop, std::min(below, containerHeight - height - 250));
    placeTwips(m_strip, L::CardLeft, top, width, height);
    placeTwips(m_label1, width - 1300, 170, 1100, 360);
    placeTwips(m_flexVip, 1080, 600, width - 1230, height - 700);
    m_strip->raise();
}

void frmMain::fillScreen() {
    // where maximising is refused (no window manager) the window keeps this restored size
    if (QScreen *sc = screen())
        setGeometry(sc->availableGeometry());
    setWindowState(Qt::WindowMaximized);
}

void frmMain::showEvent(QShowEvent *e) {
    QMainWindow::showEvent(e);
    // a restored window is laid out once at its first size; later resizes keep it (maximized ones relayout)
    if (!m_laidOut && !isMaximized() && !e->spontaneous())
        relayout();
    m_laidOut = true;
}

bool frmMain::event(QEvent *e) {
    if (e->type() == QEvent::WindowActivate && m_state.firstActivate)
        QTimer::singleShot(0, this, [this] { FirstActivate(); });
    return QMainWindow::event(e);
}

void frmMain::closeEvent(QCloseEvent *e) {
    if (m_exiting) {
        e->accept();
        return;
    }
    if (!startup::confirmExit()) {
        e->ignore();
        return;
    }
    e->accept();
    m_exiting = true;
    m_endProcess();
}

void frmMain::closeMainWindow() {
    close();
}

void frmMain::hoverModule(int n) {
    if (n != m_hoveredModule) {
        ui::errorTrap([&] {
            if (m_hoveredModule != m_currentModule)
                setPicture(m_imgMenu[m_hoveredModule - 1], QStringLiteral("%1-0.jpg").arg(m_hoveredModule));
            if (n != m_currentModule)
                setPicture(m_imgMenu[n - 1], QStringLiteral("%1-1.jpg").arg(n));
        });
        m_hoveredModule = n;
    }
}

void frmMain::highlightCaption(int index) {
    for (int i = 1; i <= 9; ++i)
        m_lblSubMenu[i - 1]->setHighlighted(i == index);
}

void frmMain::highlightReport(LinkLabel *label) {
    for (const auto &section : m_reportLabels)
        for (LinkLabel *l : section)
            l->setHighlighted(l == label);
}

void frmMain::clearHighlights() {
    highlightCaption(0);
    highlightReport(nullptr);
}

} // namespace zostore::shell
