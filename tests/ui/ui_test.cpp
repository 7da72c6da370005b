// Dialogs, processes, error trap, twips, bands and status panels.
#include "db/Error.h"
#include "ui/ActBar.h"
#include "ui/ErrorTrap.h"
#include "ui/Processes.h"
#include "ui/ScriptedDialogs.h"
#include "ui/StatusBar.h"
#include "ui/Twips.h"
#include "ui/WaitCursor.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zostore;
using namespace zostore::ui;

TEST(ErrorTrap, shows_the_description_in_an_information_box_and_leaves_the_handler) {
    ScriptedDialogs d;
    DialogsScope scope(d);
    bool after = false;
    EXPECT_FALSE(errorTrap([&] {
        throw Error::accessDenied();
        after = true;
    }));
    EXPECT_FALSE(after);
    EXPECT_FALSE(errorTrap([] { throw std::runtime_error("disk full"); }));
    EXPECT_TRUE(errorTrap([] {}));
    ASSERT_EQ(d.entries().size(), 2);
    EXPECT_EQ(d.entries()[0].text, QStringLiteral("访问被拒绝！"));
    EXPECT_EQ(d.entries()[0].icon, Icon::Information);
    EXPECT_EQ(d.entries()[1].text, QStringLiteral("disk full"));
}

TEST(Processes, notepad_keeps_the_whole_path_and_calc_needs_an_installed_calculator) {
    QTemporaryDir bin;
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    const auto restore = qScopeGuard([&] { qputenv("PATH", oldPath); });

    const auto missing = SystemProcesses::resolve(QStringLiteral("calc.exe"));
    EXPECT_TRUE(missing.program.isEmpty());
    EXPECT_TRUE(missing.missingMessage.contains(QStringLiteral("未安装计算器"))) << missing.missingMessage.toStdString();

    for (const char *name : {"xdg-open", "galculator"}) {
        QFile f(bin.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    EXPECT_EQ(SystemProcesses::resolve(QStringLiteral("CALC.EXE")).program, bin.filePath(QStringLiteral("galculator")));

    const auto notes = SystemProcesses::resolve(QStringLiteral("notepad.exe /opt/zo store/升级说明.txt"));
    EXPECT_EQ(notes.program, bin.filePath(QStringLiteral("xdg-open")));
    EXPECT_EQ(notes.arguments, QStringList{QStringLiteral("/opt/zo store/升级说明.txt")});

    // Without a calculator the user is told and nothing starts.
    QFile::remove(bin.filePath(QStringLiteral("galculator")));
    ScriptedDialogs d;
    DialogsScope scope(d);
    SystemProcesses p;
    EXPECT_FALSE(p.start(QStringLiteral("calc.exe"), WindowStyle::NormalFocus));
    ASSERT_EQ(d.messages().size(), 1);
    EXPECT_TRUE(d.messages()[0].contains(QStringLiteral("计算器")));
}

TEST(Twips, convert_at_the_given_resolution_both_ways) {
    EXPECT_EQ(twips::toPixels(1440, 96.0), 96);
    EXPECT_EQ(twips::toPixels(1440, 120.0), 120);
    EXPECT_EQ(twips::toPixels(7665, 96.0), 511); // 511 px is 7665 twips
    EXPECT_EQ(twips::fromPixels(511, 96.0), 7665);
    EXPECT_EQ(twips::fromPixels(twips::toPixels(2400, 144.0), 144.0), 2400);
}

TEST(ActBar, tools_are_found_by_band_and_name_without_case_and_report_their_designed_name) {
    QMainWindow w;
    ActBar bar(&w);
    bar.addBand(QStringLiteral("mnuMain"), ActBar::BandType::MenuBar);
    bar.addBand(QStringLiteral("subMenuInit"), ActBar::BandType::Popup);
    bar.addBand(QStringLiteral("tbMain"), ActBar::BandType::Toolbar, QStringLiteral("工具栏"));
    bar.addSubBand(QStringLiteral("mnuMain"), QStringLiteral("MnuInit"), QStringLiteral("初始化(&I)"),
                   QStringLiteral("subMenuInit"));
    QAction *close = bar.addTool(QStringLiteral("subMenuInit"), QStringLiteral("MnuCloseInit"),
                                 QStringLiteral("结束初始化"), QKeySequence(QStringLiteral("Ctrl+E")));
    QAction *onBar = bar.addTool(QStringLiteral("tbMain"), QStringLiteral("MnuCloseInit"), QStringLiteral("结束初始化"));

    EXPECT_EQ(bar.tool(QStringLiteral("SUBMENUINIT"), QStringLiteral("mnucloseinit")), close);
    EXPECT_EQ(bar.tool(QStringLiteral("tbMain"), QStringLiteral("MnuCloseInit")), onBar);
    EXPECT_EQ(bar.tool(QStringLiteral("tbMain"), QStringLiteral("MnuInit")), nullptr);
    EXPECT_EQ(bar.toolsNamed(QStringLiteral("MNUCLOSEINIT")).size(), 2);
    EXPECT_EQ(bar.tool(QStringLiteral("mnuMain"), QStringLiteral("mnuinit"))->menu(), bar.popup(QStringLiteral("subMenuInit")));

    // One band's caption changes alone.
    close->setText(QStringLiteral("返回初始化"));
    EXPECT_EQ(onBar->text(), QStringLiteral("结束初始化"));

    QSignalSpy spy(&bar, &ActBar::toolClicked);
    onBar->trigger();
    onBar->setEnabled(false);
    onBar->trigger();
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy[0][0].toString(), QStringLiteral("MnuCloseInit"));
    EXPECT_THROW(bar.addTool(QStringLiteral("nosuchband"), QStringLiteral("x"), QStringLiteral("x")), Error);
}

TEST(StatusBar, panels_by_key_report_clicks_and_the_wait_text_goes_to_the_first_panel) {
    QMainWindow w;
    auto *bar = new StatusBar(&w);
    w.setStatusBar(bar);
    bar->addPanel(QStringLiteral("handletip"), QStringLiteral("就绪"));
    bar->addPanel(QStringLiteral("curuser"), QStringLiteral("操作员：admin"), 2400);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    QSignalSpy spy(bar, &StatusBar::panelClicked);
    QTest::mouseClick(bar->panel(QStringLiteral("CurUser")), Qt::LeftButton);
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy[0][0].toString(), QStringLiteral("curuser"));
    EXPECT_EQ(bar->panel(QStringLiteral("curuser"))->width(), twips::toPixels(2400));

    {
        WaitCursor wait(bar, QStringLiteral("正在结账，请稍候..."));
        EXPECT_EQ(bar->panelText(QStringLiteral("handletip")), QStringLiteral("正在结账，请稍候..."));
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(bar->panelText(QStringLiteral("handletip")), QStringLiteral("就绪"));
}
