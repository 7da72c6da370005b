// "档案资料": the item file with its group tree, and the lists of stores, price styles and partners.
#pragma once

#include "components/items/ItemSearch.h"
#include "modules/items/FileStore.h"

#include <QDialog>
#include <QMap>

class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QLabel;

namespace zostore::ui {
class Grid;
}
namespace zostore::components::items {
class ItemGroupTree;
}

namespace zostore::modules::items {

// One list of a small file with its buttons.
class FilePage : public QWidget {
    Q_OBJECT
public:
    FilePage(QString cnstr, FileKind kind, QWidget *parent = nullptr);
    void load();
    void addRow();
    void editRow();
    void removeRow();
    int currentId() const;

    FileKind kind;
    ui::Grid *Flex = nullptr;
    QPushButton *cmdNew = nullptr;
    QPushButton *cmdEdit = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdImport = nullptr; // suppliers and customers

private:
    QString m_cnstr;
};

class frmViewItem : public QDialog {
    Q_OBJECT
public:
    static constexpr int ShownWhileTyping = 100;

    frmViewItem(QString cnstr, int userId, QWidget *parent = nullptr);

    QListWidget *lstFiles = nullptr;
    QStackedWidget *stkFiles = nullptr;
    components::items::ItemGroupTree *tvwGroup = nullptr;
    QPushButton *cmdAddGroup = nullptr;
    QPushButton *cmdRenameGroup = nullptr;
    QPushButton *cmdMoveGroup = nullptr;
    QPushButton *cmdDelGroup = nullptr;
    QLineEdit *txtFind = nullptr;
    ui::Grid *FlexItem = nullptr;
    QLabel *lblCount = nullptr;
    QPushButton *cmdNew = nullptr;
    QPushButton *cmdEdit = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdImport = nullptr;
    QPushButton *cmdClose = nullptr;
    QMap<FileKind, FilePage *> pages;

    // The item of the grid's current row, 0 when none.
    int currentItemId() const;
    void reloadItems();
    void addItem();
    void editItem();
    void removeItem();
    void addGroup();
    void renameGroup();
    void moveGroup();
    void removeGroup();
    // Enter in the search box: the typed code or barcode, as the counters find it.
    void chooseTyped();
    void importItems();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showMatches();
    void selectItem(int itemId);

    QString m_cnstr;
    int m_userId;
    components::items::ItemIndex m_index;
    QVector<int> m_shown; // item key of each grid row
};

} // namespace zostore::modules::items
