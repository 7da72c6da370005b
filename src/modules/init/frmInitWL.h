// Opening receivables (customers) or payables (suppliers), one amount per partner.
#pragma once

#include "modules/init/OpeningPartners.h"

#include <QDialog>
#include <QSet>

class QLabel;
class QPushButton;

namespace zostore::ui {
class Grid;
}

namespace zostore::modules::init {

class frmInitWL : public QDialog {
    Q_OBJECT
public:
    frmInitWL(QString cnstr, PartnerKind kind, QWidget *parent = nullptr);

    QLabel *lblState = nullptr;
    ui::Grid *Flex = nullptr;
    QLabel *lblTotal = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdClose = nullptr;

    bool save();

protected:
    void reject() override;

private:
    void load();
    void afterEdit(int row, int col);
    void showTotal();

    QString m_cnstr;
    PartnerKind m_kind;
    QSet<int> m_dirty;
};

} // namespace zostore::modules::init
