// The safety-stock editor: each real store's limits and current stock per item, typed in place.
#pragma once

#include <QMainWindow>
#include <memory>

class QLabel;
class QSplitter;

namespace zostore::components {
class Component;
namespace items {
class ItemGroupTree;
}
} // namespace zostore::components
namespace zostore::ui {
class ActBar;
class Grid;
} // namespace zostore::ui

namespace zostore::stocklimit {

class frmSetSafeStock : public QMainWindow {
    Q_OBJECT
public:
    explicit frmSetSafeStock(QWidget *parent = nullptr);
    ~frmSetSafeStock() override;

    components::items::ItemGroupTree *ItemGroup = nullptr;
    QSplitter *picDrag = nullptr;
    ui::Grid *Flex = nullptr;
    QLabel *lblCount = nullptr;
    ui::ActBar *actBar = nullptr;

    // Toolbar commands by key; failures are shown and end the command.
    void runTool(const QString &key);
    // Fills the grid for the filter in force, else for showall or the group chosen in the tree.
    void LoadGrid();
    bool showAll() const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void build();
    void buildColumns();
    void filter();
    void exportLimits();
    bool beforeEdit(int row, int col);
    void afterEdit(int row, int col);
    void editRefused(int row, int col);
    void markCurrentRow(int row);
    void columnResized(int col, int newPixels);

    std::shared_ptr<components::Component> m_tree;
    QString m_condition; // the item filter's, empty when none is in force
    bool m_firstActivate = true;
    int m_markedRow = -1;
};

} // namespace zostore::stocklimit
