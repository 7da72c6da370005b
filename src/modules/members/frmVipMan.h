// The member list: search as you type by card, name or phone; add, edit, remove; top-up and points.
#pragma once

#include "modules/members/MemberStore.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zostore::ui {
class Grid;
}

namespace zostore::modules::members {

class frmVipMan : public QDialog {
    Q_OBJECT
public:
    frmVipMan(QString cnstr, int userId, QWidget *parent = nullptr);

    QLineEdit *txtFind = nullptr;
    ui::Grid *grdVip = nullptr;
    QLabel *lblCount = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdEdit = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdReserve = nullptr;
    QPushButton *cmdJf = nullptr;
    QPushButton *cmdClose = nullptr;

    // The member of the current row, 0 when none.
    int selectedMember() const;
    bool selectMember(int vipId);
    // Rows shown under the search text.
    int shownCount() const { return static_cast<int>(m_shown.size()); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void reload(int selectId);
    void filter();
    void addMember();
    void editMember();
    void deleteMember();
    void openMoves(bool reserve);

    QString m_cnstr;
    int m_user;
    QList<MemberListRow> m_all;
    QList<int> m_shown; // indexes into m_all
    bool m_fitted = false;
};

} // namespace zostore::modules::members
