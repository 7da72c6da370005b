// Time-period discounts for the counters: a store's groups of spans and each group's items and rates.
#pragma once

#include "counter/DiscountGroups.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QSplitter;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zostore::components::items {
class ItemLookup;
class ItemPicker;
} // namespace zostore::components::items
namespace zostore::db {
class Connection;
}
namespace zostore::ui {
class ActBar;
class Grid;
} // namespace zostore::ui

namespace zostore::counter {

class frmSdyhGroup;

class frmSdyh_Set_Pos : public QMainWindow {
    Q_OBJECT
public:
    explicit frmSdyh_Set_Pos(QWidget *parent = nullptr);
    ~frmSdyh_Set_Pos() override;

    QComboBox *cmbStock = nullptr;
    QLabel *lblNote = nullptr;
    ui::ActBar *actBar = nullptr;
    QTreeWidget *tvwGroup = nullptr;
    QSplitter *splitter = nullptr;
    ui::Grid *Flex = nullptr;
    QToolButton *cmdRefItem = nullptr;

    int storeId() const { return m_storeId; }
    int priceStyleId() const { return m_priceStyle; }
    bool changed() const { return m_changed; }
    // Toolbar commands by key; failures are shown and end the command.
    void runTool(const QString &key);
    void chooseStore(int index);
    void selectGroup(const QString &key);
    // The picker, created on first use of the lookup button.
    components::items::ItemPicker *picker() const { return m_picker.get(); }
    void openPicker();
    void enterPicked(const QStringList &codes, bool closing);

    // Tests answer the span dialog here before it is run.
    std::function<void(frmSdyhGroup &)> beforeGroupDialog;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    enum class SaveResult { GoOn, Stop, Failed };
    void build();
    void setupGrid();
    void resetGrid();
    void fillTree();
    QTreeWidgetItem *addNode(const DiscountSpan &span);
    QTreeWidgetItem *nodeOfKey(const QString &key) const;
    void loadGroup();
    bool afterEdit(int row, int col, bool fromPicker);
    bool enterItem(int row, int col, bool fromPicker);
    void appendRows(int n);
    void markCurrentLine(int row);
    void placeLookupButton();
    SaveResult save(bool ask);
    std::optional<DiscountSpan> askSpan(const QDateTime &from, const QDateTime &to);
    void newGroup();
    void modifyGroup();
    void deleteGroup();
    void deleteLine();
    void clearGrid();
    void batchRate();

    int m_storeId = 0;
    int m_priceStyle = 0;
    bool m_changed = false;
    QString m_storeName;
    int m_storeIndex = -1;
    int m_markedRow = -1;
    bool m_quiet = false; // the tree or the grid is being filled by code
    bool m_laidOut = false;
    std::unique_ptr<components::items::ItemPicker> m_picker;
    // Kept while one store is chosen: opening a server connection per scanned line costs more than the
    // lookup.
    std::unique_ptr<db::Connection> m_lookupConn;
    std::unique_ptr<components::items::ItemLookup> m_lookup;
};

} // namespace zostore::counter
