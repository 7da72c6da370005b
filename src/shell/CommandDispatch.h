// Every command of the main window: toolbar tools, picture-menu function codes and reports.
#pragma once
#include <QString>

class QWidget;

namespace zostore::shell {

// The main-window operations a command may end in.
class CommandHost {
public:
    virtual ~CommandHost() = default;
    virtual QWidget *hostWindow() = 0;
    // After a re-login has replaced the user: rebuild everything that depends on the user.
    virtual void userChanged() = 0;
    virtual void toggleSmallScreen() = 0;
    virtual void periodPanelClick() = 0;
    virtual void trunCate() = 0;
    virtual void upgradeProgram() = 0;
    virtual void closeMainWindow() = 0;
    virtual void showHelp() = 0;
    virtual void showBillPopup() = 0;
    virtual void setInitClosed(bool closed, const QString &caption) = 0;
};

class CommandDispatch {
public:
    explicit CommandDispatch(CommandHost &host) : m_host(host) {}

    // Each entry point is one handler: any error is shown and ends it.
    void DispatchTool(const QString &toolName);
    void RunFunction(int code);
    void OpenNewBill(int kind);
    void OpenNewBill() { OpenNewBill(m_currentBillKind); }
    void OpenBillSearch();
    void OpenReport(int reportNumber, int group);
    void ReLoginUser();

    qint16 currentBillKind() const { return m_currentBillKind; }

private:
    void runTool(const QString &lowerName);
    void runFunction(int code);
    void newBill(int kind);
    void billSearch(int kind);
    void report(int reportNumber, int group);
    void reLogin();
    void refreshClosedState();

    CommandHost &m_host;
    qint16 m_currentBillKind = 0;
};

} // namespace zostore::shell
