// Main window routines: grants on the picture menu and menus, report menus, first activation, panels.
#include "shell/frmMain.h"

#include "components/Registry.h"
#include "db/LockRetry.h"
#include "shell/Birthdays.h"
#include "shell/MainLayout.h"
#include "shell/Maintenance.h"
#include "shell/Permissions.h"
#include "shell/ShellResources.h"
#include "shell/WindowTable.h"
#include "startup/CheckGrant.h"
#include "startup/Help.h"
#include "startup/LoginContext.h"
#include "startup/ProgramFolder.h"
#include "startup/SettingsStore.h"
#include "startup/UpgradeNotes.h"
#include "ui/ActBar.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/Grid.h"
#include "ui/StatusBar.h"
#include "ui/Twips.h"
#include "ui/WaitCursor.h"

#include <QApplication>
#include <QDate>
#include <QFontMetrics>
#include <QMenu>

namespace zostore::shell {

namespace L = layout;
using startup::loginContext;

namespace {
Permissions permissions() {
    const auto &ctx = loginContext();
    return Permissions(ctx.cnstr(), ctx.userId(), ctx.isManager());
}
} // namespace

void frmMain::LoadSystemMenu() {
    const auto &ctx = loginContext();
    const SystemMenuState s =
        permissions().systemMenu(ctx.currentYear(), ctx.currentPeriod(), ctx.startYear(), ctx.startPeriod());
    for (std::size_t i = 0; i < GovernedTools.size(); ++i)
        if (QAction *a = m_actBar->tool(QString::fromLatin1(GovernedTools[i].band),
                                        QString::fromLatin1(GovernedTools[i].tool)))
            a->setEnabled(s.tools[i]);
    setMnuInitAvailable(s.mnuInit);
}

void frmMain::setMnuInitAvailable(bool available) {
    if (QAction *a = m_actBar->tool(QStringLiteral("mnuMain"), QStringLiteral("MnuInit")))
        a->setEnabled(available);
}

void frmMain::LoadModuleMenu() {
    try {
        for (int i = 1; i <= 4; ++i)
            m_imgMenu[i - 1]->hide();
        const auto shown = permissions().moduleImages();
        for (int i = 1; i <= 5; ++i)
            if (shown[i - 1])
                m_imgMenu[i - 1]->show();
        int k = 0;
        for (int i = 1; i <= 5; ++i) {
            PictureBox *img = m_imgMenu[i - 1];
            placeTwips(img, leftTwips(m_imgMain) + L::ModuleLeft, topTwips(img));
            if (!img->isHidden()) {
                ++k;
                if (k == 1) {
                    m_currentModule = i;
                    ClickModule(i);
                }
                placeTwips(img, leftTwips(img), 2600 + 800 * (k - 1));
            }
        }
    } catch (...) {
        // ends silently, leaving the images as far as they were set
    }
}

void frmMain::ClickModule(int n) {
    m_currentModule = n;
    for (int i = 1; i <= 5; ++i)
        setPicture(m_imgMenu[i - 1], QStringLiteral("%1-%2.jpg").arg(i).arg(i == n ? 2 : 0));
    LoadModuleButtons();
    m_reportGroup = n;
    LoadReportMenu(n >= 6, false);
}

void frmMain::LoadModuleButtons() {
    const int m = m_currentModule;
    const int n = ModuleButtonCount[m - 1];
    for (int i = 1; i <= n; ++i) {
        setPicture(m_imgButton[i - 1], QStringLiteral("%1/%2.jpg").arg(m).arg(i));
        m_lblSubMenu[i - 1]->setText(loadResString(functionCode(m, i)));
    }
    const auto shown = permissions().moduleButtons(m);
    for (int i = 1; i <= ButtonSlots; ++i) {
        m_imgButton[i - 1]->setVisible(shown[i - 1]);
        m_lblSubMenu[i - 1]->setVisible(shown[i - 1]);
    }
    ArrangeModuleButtons();
}

void frmMain::ArrangeModuleButtons() {
    int k = 0;
    for (int i = 1; i <= ButtonSlots && k < ButtonSlots; ++i) {
        PictureBox *button = m_imgButton[i - 1];
        if (button->isHidden())
            continue;
        ++k;
        placeTwips(button, m_slots[k - 1].x(), m_slots[k - 1].y());
        const int length = int(m_lblSubMenu[i - 1]->text().size());
        const int d = length == 3 ? 200 : (length >= 6 ? -150 : 0);
        placeTwips(m_lblSubMenu[i - 1], leftTwips(button) + 120 + d, topTwips(button) + 1300);
    }
}

void frmMain::ClickButton(int index) {
    ui::errorTrap([&] { LoadModuleButtons(); });
    m_dispatch.RunFunction(functionCode(m_currentModule, index));
}

void frmMain::clearReportPanel() {
    for (auto &section : m_reportLabels)
        for (LinkLabel *l : section) {
            l->hide();
            l->setHighlighted(false);
        }
    for (PictureBox *img : m_imgReport)
        img->hide();
}

QAction *frmMain::reportTool(const QString &band, const QString &name) const {
    for (QAction *a : m_reportTools.value(band))
        if (a->objectName() == name)
            return a;
    return nullptr;
}

void frmMain::LoadReportMenu(bool hidePanel, bool rebuild) {
    ui::errorTrap([&] {
        clearReportPanel();
        m_lblNoReports->hide();
        if (hidePanel)
            return;
        if (rebuild || !m_reportList) {
            m_menusBuilt = false;
            for (const char *band :
                 {"subMenuSaleReport", "subMenuPurReport", "subMenuStockReport", "subMenuCwReport"}) {
                const QString b = QString::fromLatin1(band);
                qDeleteAll(m_reportTools.take(b));
            }
            const auto &ctx = loginContext();
            m_reportList =
                db::withLockRetry([&] { return loadReportList(ctx.cnstr(), ctx.userId(), ctx.isManager()); });
        }
        if (m_reportList->isEmpty()) {
            m_lblNoReports->show();
            return;
        }
        const auto items = layoutReportPanel(*m_reportList, m_reportGroup, leftTwips(m_imgSep),
                                             topTwips(m_imgSep), L::ReportHeaderWidth);
        m_lblNoReports->setVisible(items.isEmpty());
        // the card behind the panel grows with the entries, never shorter than the button card
        const double bottom = items.isEmpty() ? 0 : items.last().top + 350 + 300;
        placeTwips(m_reportCard, L::ReportCardLeft, L::CardTop, L::ReportCardRight - L::ReportCardLeft,
                   std::max<double>(L::CardBottom, bottom) - L::CardTop);
        for (const PanelItem &item : items) {
            if (item.index < 0) {
                placeTwips(m_imgReport[item.section], item.left, item.top);
                m_imgReport[item.section]->show();
                continue;
            }
            LinkLabel *lbl = m_reportLabels[item.section][item.index];
            placeTwips(lbl, item.left, item.top);
            lbl->setText(item.caption);
            lbl->setProperty("tag", QString::number(item.reportId));
            lbl->setToolTip(item.caption);
            lbl->show();
        }
        if (!m_menusBuilt) {
            for (const ReportTool &t : buildReportTools(*m_reportList)) {
                QMenu *menu = m_actBar->popup(t.band);
                if (!menu)
                    continue;
                auto *a = new QAction(t.caption, menu);
                a->setObjectName(t.name);
                a->setProperty("toolNumber", t.number);
                a->setSeparator(t.separator);
                menu->addAction(a);
                if (!t.separator) {
                    const QString name = t.name;
                    connect(a, &QAction::triggered, this, [this, name] { m_dispatch.DispatchTool(name); });
                }
                m_reportTools[t.band].append(a);
            }
            m_menusBuilt = true;
        }
    });
}

void frmMain::ClickReportLabel(int section, int index) {
    const LinkLabel *lbl = m_reportLabels[section].value(index);
    if (!lbl)
        return;
    m_dispatch.OpenReport(lbl->property("tag").toString().toInt(), m_reportGroup);
}

void frmMain::FirstActivate() {
    if (!m_state.firstActivate)
        return;
    m_state.firstActivate = false;
    ui::errorTrap([&] {
        const auto &ctx = loginContext();
        m_stbMain->setPanelText(QStringLiteral("acctname"), QStringLiteral("账套：") + ctx.acctName());
        m_stbMain->setPanelText(QStringLiteral("curuser"), QStringLiteral("操作员：") + ctx.userName());
        m_stbMain->setPanelText(
            QStringLiteral("currentperiod"),
            QStringLiteral("当前月份：%1年%2月").arg(ctx.currentYear()).arg(ctx.currentPeriod()));
        setWindowTitle(ctx.acctName());
        {
            auto receive = components::createObject(QStringLiteral("nuvo_Message.receiveMsg"));
            const qint16 count = qint16(
                receive->invoke(QStringLiteral("DoReceive"), {ctx.cnstr(), QVariant(ctx.userId())}).toInt());
            m_stbMain->setPanelText(QStringLiteral("msgbox"), QStringLiteral("共有%1封新消息！").arg(count));
        }
        RefreshBirthdays();
        if (m_state.showActionAtStart && startup::CheckGrant(QStringLiteral("723"), false))
            windowTable().open(windows::Action, this, WindowMode::Modal);
    });
}

void frmMain::RefreshBirthdays() {
    ui::WaitCursor wait;
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    m_flexVip->clear();
    m_flexVip->setRows(6);
    m_flexVip->setCols(4);
    const auto entries = loadBirthdays(loginContext().cnstr(), m_state.birthdayDays, QDate::currentDate());
    for (const BirthdayEntry &e : entries) {
        if (e.column > m_flexVip->cols() - 1)
            m_flexVip->setCols(m_flexVip->cols() + 1);
        m_flexVip->setTextMatrix(e.row, e.column, e.text);
        m_flexVip->setTextMatrix(e.row + 3, e.column, e.vipId);
        if (e.marked)
            m_flexVip->setCellForeColor(e.row, e.column, QColor(255, 0, 0));
    }
    // columns as wide as their entries, so more of them fit the strip
    const QFontMetrics fm(m_flexVip->font());
    for (int c = 0; c < m_flexVip->cols(); ++c) {
        int widest = 0;
        for (int r = 0; r < 3; ++r)
            widest = std::max(widest, fm.horizontalAdvance(m_flexVip->textMatrix(r, c)));
        m_flexVip->setColWidthTwips(c, widest > 0 ? ui::twips::fromPixels(widest) + 450 : 300);
    }
    for (int r = 3; r < 6; ++r)
        m_flexVip->setGridRowHidden(r, true);
    m_lblOrderOrgas->setText(QStringLiteral("会员生日提醒(共%1会员)").arg(entries.size()));
}

void frmMain::ClickPanel(const QString &key) {
    ui::errorTrap([&] {
        const QString text = m_stbMain->panelText(key);
        const auto &ctx = loginContext();
        if (text == m_stbMain->panelText(QStringLiteral("curuser"))) {
            m_dispatch.ReLoginUser();
        } else if (text == m_stbMain->panelText(QStringLiteral("msgbox"))) {
            components::createObject(QStringLiteral("nuvo_Message.Msg"))
                ->invoke(QStringLiteral("ShowMsg"), {ctx.cnstr(), QVariant(ctx.userId())});
        } else if (key == QLatin1String("currentperiod")) {
            periodPanelClick();
        } else if (key == QLatin1String("actionday")) {
            windowTable().open(windows::Action, this, WindowMode::Modal);
        }
    });
}

void frmMain::periodPanelClick() {
    startup::CheckGrant(QStringLiteral("704"));
    windowTable().open(windows::ClosePeriod, this, WindowMode::Modal);
    const auto &ctx = loginContext();
    setMnuInitAvailable(Permissions::isStartMonth(ctx.currentYear(), ctx.currentPeriod(), ctx.startYear(),
                                                  ctx.startPeriod()));
    m_stbMain->setPanelText(
        QStringLiteral("currentperiod"),
        QStringLiteral("当前月份：%1年%2月").arg(ctx.currentYear()).arg(ctx.currentPeriod()));
    layoutAgain();
}

void frmMain::userChanged() {
    m_stbMain->setPanelText(QStringLiteral("curuser"),
                            QStringLiteral("操作员：") + loginContext().userName());
    LoadModuleMenu();
    LoadReportMenu(false, true);
    LoadModuleButtons();
    LoadSystemMenu();
}

void frmMain::toggleSmallScreen() {
    QAction *a = m_actBar->tool(QStringLiteral("subMenuTools"), QStringLiteral("smallscreen"));
    if (!a)
        return;
    // A menu click has already flipped the check mark; the window's own flag decides the new state.
    m_smallScreen = !m_smallScreen;
    a->setChecked(m_smallScreen);
    startup::SettingsStore::setValue(QStringLiteral("ZoApparel"), QStringLiteral("DefaultValue"),
                                     QStringLiteral("smallscreen"),
                                     m_smallScreen ? QStringLiteral("1") : QStringLiteral("0"));
    layoutAgain();
}

void frmMain::TrunCate() {
    if (ui::dialogs().question(QStringLiteral("压缩帐套可能需要几分钟时间，是否继续？"), ui::Icon::Question,
                               ui::Answer::No) != ui::Answer::Yes)
        return;
    CompressionResult result;
    {
        ui::WaitCursor wait(m_stbMain, QStringLiteral("正在压缩帐套..."));
        result = compressAccountSets(loginContext().masterPromptString());
    }
    m_stbMain->setPanelText(m_stbMain->firstPanelKey(), QString());
    if (!result.statements.isEmpty())
        ui::dialogs().info(QStringLiteral("帐套压缩完成。压缩前 %1，压缩后 %2。")
                               .arg(formatBytes(result.bytesBefore), formatBytes(result.bytesAfter)));
}

void frmMain::upgradeProgram() {
    if (shell::upgradeProgram() == UpgradeOutcome::HandedOver) {
        m_exiting = true;
        m_endProcess();
    }
}

void frmMain::showHelp() {
    startup::showHelp(this);
}

void frmMain::showVersionNotes() {
    startup::openUpgradeNotes(this);
}

void frmMain::showBillPopup() {
    m_actBar->showPopup(QStringLiteral("billtool"));
}

void frmMain::setInitClosed(bool closed, const QString &caption) {
    m_state.initClosed = closed;
    if (QAction *a = m_actBar->tool(QStringLiteral("subMenuInit"), QStringLiteral("MnuCloseInit")))
        a->setText(caption);
}

} // namespace zostore::shell
