// A plain main window: runs the load steps that fill the login context and shows what it holds.
#pragma once

#include "startup/MainWindowLoad.h"

#include <QMainWindow>

class QFormLayout;
class QLabel;

namespace zostore::app {

class frmMainStandIn : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMainStandIn(QWidget *parent = nullptr);

    const startup::MainWindowState &state() const { return m_state; }
    // Fills the labels from the login context and the load state.
    void showContext();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void load();
    QLabel *addRow(const QString &caption);

    startup::MainWindowState m_state;
    QFormLayout *m_form;
    QLabel *lblAcct, *lblUser, *lblManager, *lblPeriod, *lblStart, *lblInitClosed, *lblBirthday, *lblShowAction,
        *lblCnstr, *lblMaster, *lblSystemDb, *lblHelp, *lblVersion;
};

} // namespace zostore::app
