// The main window: picture menu, report panel, menus, status bar and birthday strip.
#pragma once
#include "shell/CommandDispatch.h"
#include "shell/PictureBox.h"
#include "shell/ReportMenu.h"
#include "startup/MainWindowLoad.h"

#include <QHash>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QFrame;

namespace zostore::ui {
class ActBar;
class Grid;
class StatusBar;
} // namespace zostore::ui

namespace zostore::shell {

class frmMain : public QMainWindow, public CommandHost {
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Routines other windows and tests reach
    void LoadSystemMenu();
    void LoadModuleMenu();
    void LoadModuleButtons();
    void ArrangeModuleButtons();
    void LoadReportMenu(bool hidePanel, bool rebuild);
    void RefreshBirthdays();
    void TrunCate();
    void ClickModule(int index);
    void ClickButton(int index);
    void ClickReportLabel(int section, int index);
    void ClickPanel(const QString &key);
    // Runs once; later calls return at once.
    void FirstActivate();
    // The resize rules without the maximized test, and the resize handler that applies them when maximized.
    void relayout();
    void layoutAgain();
    // Asks for the window maximized, with the screen's available area as its restored size.
    void fillScreen();

    CommandDispatch &dispatch() { return m_dispatch; }
    ui::ActBar *actBar() const { return m_actBar; }
    ui::StatusBar *stbMain() const { return m_stbMain; }
    ui::Grid *flexVip() const { return m_flexVip; }
    QLabel *lblOrderOrgas() const { return m_lblOrderOrgas; }
    int currentModule() const { return m_currentModule; }
    const startup::MainWindowState &state() const { return m_state; }
    QLabel *lblVer() const { return m_lblVer; }

    PictureBox *imgMenu(int i) const { return m_imgMenu[i - 1]; }
    PictureBox *imgButton(int i) const { return m_imgButton[i - 1]; }
    LinkLabel *lblSubMenu(int i) const { return m_lblSubMenu[i - 1]; }
    PictureBox *imgReport(int i) const { return m_imgReport[i]; }
    LinkLabel *reportLabel(int section, int index) const { return m_reportLabels[section][index]; }
    QWidget *pctMenu() const { return m_pctMenu; }
    PictureBox *imgHelp() const { return m_imgHelp; }
    PictureBox *imgSep() const { return m_imgSep; }
    PictureBox *imgMain() const { return m_imgMain; }
    // The tool of a report menu by name; nullptr when absent.
    QAction *reportTool(const QString &band, const QString &name) const;
    QList<QAction *> reportTools(const QString &band) const { return m_reportTools.value(band); }

    // Positions kept in twips, as placed (not rounded through pixels).
    static int leftTwips(const QWidget *w);
    static int topTwips(const QWidget *w);
    static void placeTwips(QWidget *w, double left, double top);
    static void placeTwips(QWidget *w, double left, double top, double width, double height);

    // CommandHost
    QWidget *hostWindow() override { return this; }
    void userChanged() override;
    void toggleSmallScreen() override;
    void periodPanelClick() override;
    void trunCate() override { TrunCate(); }
    void upgradeProgram() override;
    void closeMainWindow() override;
    void showHelp() override;
    void showBillPopup() override;
    void setInitClosed(bool closed, const QString &caption) override;

    // How the process ends after the hand-over to the upgrade program; tests replace it.
    void setEndProcess(std::function<void()> f) { m_endProcess = std::move(f); }

protected:
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;
    bool event(QEvent *e) override;

private:
    void buildControls();
    void buildMenus();
    void buildStatusBar();
    void loadWindow();
    QPixmap picture(const QString &relative);
    void setPicture(PictureBox *box, const QString &relative);
    void hoverModule(int index);
    void highlightCaption(int index);
    void highlightReport(LinkLabel *label);
    void clearHighlights();
    void clearReportPanel();
    void placeBirthdayStrip(int containerWidth, int containerHeight);
    void setMnuInitAvailable(bool available);
    bool smallScreen() const;
    void showVersionNotes();

    startup::MainWindowState m_state;
    CommandDispatch m_dispatch;
    ui::ActBar *m_actBar = nullptr;
    ui::StatusBar *m_stbMain = nullptr;
    QWidget *m_central = nullptr;
    QWidget *m_pctMenu = nullptr;
    PictureBox *m_backdrop = nullptr; // continues the background wherever imgMain does not reach
    PictureBox *m_imgMain = nullptr;
    QFrame *m_reportCard = nullptr;
    QLabel *m_lblNoReports = nullptr;
    std::array<PictureBox *, 5> m_imgMenu{};
    std::array<PictureBox *, 9> m_imgButton{};
    std::array<LinkLabel *, 9> m_lblSubMenu{};
    std::array<PictureBox *, 3> m_imgReport{};
    std::array<QList<LinkLabel *>, 3> m_reportLabels;
    PictureBox *m_imgHelp = nullptr;
    QLabel *m_lblVer = nullptr;
    PictureBox *m_imgSep = nullptr;
    QFrame *m_strip = nullptr;
    PictureBox *m_imgOrder = nullptr;
    QLabel *m_lblOrderOrgas = nullptr;
    LinkLabel *m_label1 = nullptr;
    ui::Grid *m_flexVip = nullptr;

    std::array<QPointF, 9> m_slots{};
    int m_currentModule = 1;
    int m_hoveredModule = 1;
    int m_reportGroup = 1;
    std::optional<QList<ReportRow>> m_reportList;
    bool m_menusBuilt = false;
    QHash<QString, QList<QAction *>> m_reportTools;
    QHash<QString, QPixmap> m_pictures;
    bool m_exiting = false;
    bool m_smallScreen = false;
    bool m_laidOut = false;
    std::function<void()> m_endProcess;
};

} // namespace zostore::shell
