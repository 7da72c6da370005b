// Month-end window: closes the current month or reopens the previous one.
#pragma once

#include <QDate>
#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace zostore::ui {
class StatusBar;
}

namespace zostore::period {

class frmClosePeriod : public QDialog {
    Q_OBJECT
public:
    // The status bar is the main window's, found through the parent when not given.
    explicit frmClosePeriod(QWidget *parent = nullptr, ui::StatusBar *statusBar = nullptr);

    void UnClosePeriod();

    QCheckBox *chkAutoStockLimit;
    QCheckBox *chkAutoBill;
    QPushButton *cmdStart;
    QPushButton *cmdReClose;
    QPushButton *Command1;
    QPushButton *cmdCancel;

signals:
    // After the Login context moved to another month.
    void periodChanged(int year, int period);

private:
    void Form_Load();
    void cmdStart_Click();
    void cmdReClose_Click();
    void Command1_Click();
    bool ClosePeriod(const QDate &monthEnd);
    void setTip(const QString &text);
    void finishPeriodChange(int year, int period);

    ui::StatusBar *m_statusBar;
};

} // namespace zostore::period
