// Users and their rights: the user list on the left, the ticked rights of the selected user on the right.
#pragma once

#include "modules/users/RightsTable.h"
#include "modules/users/UserStore.h"

#include <QDialog>
#include <QSet>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zostore::ui {
class Grid;
}

namespace zostore::modules::users {

class frmUserMan : public QDialog {
    Q_OBJECT
public:
    frmUserMan(QString cnstr, int loggedInUserId, QWidget *parent = nullptr);

    ui::Grid *grdUser = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdRename = nullptr;
    QPushButton *cmdManager = nullptr;
    QPushButton *cmdDisable = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdPassword = nullptr;
    QLabel *lblRight = nullptr;
    QTreeWidget *tvwRight = nullptr;
    QComboBox *cboCopyFrom = nullptr;
    QPushButton *cmdCopy = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdClose = nullptr;

    // The user whose row is current, 0 when none.
    int selectedUser() const;
    bool selectUser(int userId);
    // The codes ticked in the tree, unsaved ones included.
    QSet<QString> tickedCodes() const;
    QTreeWidgetItem *rightItem(const QString &code) const;
    bool rightsChanged() const { return m_dirty; }
    bool saveRights();

protected:
    void reject() override;

private:
    void loadUsers(int selectId);
    void buildTree();
    void showUser();
    void showRights(const QSet<QString> &granted);
    void fillCopyFrom();
    // False when the user chose to stay with unsaved rights.
    bool settleRights();
    void addUser();
    void renameUser();
    void toggleManager();
    void toggleDisabled();
    void deleteUser();
    void setPassword();
    void copyRights();
    void descriptionEdited(int row, int col);

    QString m_cnstr;
    int m_self;
    int m_shownUser = 0;
    bool m_dirty = false;
    bool m_filling = false;
    QList<RightNode> m_tree;
    QList<UserRow> m_users;
};

} // namespace zostore::modules::users
