// History clearing window: deletes the business data before a chosen day.
#pragma once

#include <QDate>
#include <QDialog>

class QCheckBox;
class QDateEdit;
class QLabel;
class QPushButton;

namespace zostore::period {

class frmClearData : public QDialog {
    Q_OBJECT
public:
    // today is the day the window opens on; tests move it.
    explicit frmClearData(QWidget *parent = nullptr, const QDate &today = QDate::currentDate());

    QDateEdit *dtpDate;
    QLabel *lblRemark;
    QCheckBox *Check1;
    QCheckBox *Check2;
    QCheckBox *chkInit;
    QCheckBox *chkDelItem;
    QCheckBox *chkClearOrder;
    QPushButton *cmdBackup;
    QPushButton *cmdOk;
    QPushButton *cmdExit;

    // The file the last backup of this window wrote, empty before one.
    const QString &lastBackup() const { return m_lastBackup; }

private:
    void Form_Load(const QDate &today);
    void dtpDate_Change();
    void cmdOk_Click();
    void cmdBackup_Click();

    QString m_lastBackup;
};

} // namespace zostore::period
