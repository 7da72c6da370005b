// Cost window: recalculates the month's costs and lists what is still without price or cost.
#pragma once

#include <QMainWindow>
#include <array>

class QTabWidget;

namespace zostore::ui {
class ActBar;
class Grid;
class StatusBar;
}

namespace zostore::period {

class frmCacuCost : public QMainWindow {
    Q_OBJECT
public:
    explicit frmCacuCost(QWidget *parent = nullptr, ui::StatusBar *statusBar = nullptr);
    ~frmCacuCost() override;

    QTabWidget *SSTab1;
    std::array<ui::Grid *, 3> Flex{};
    ui::ActBar *ActiveBar1;

    int costStyle() const { return m_costStyle; }
    // Toolbar commands by key, as the toolbar runs them.
    void runTool(const QString &key);
    void refreshGrid(int index);

private:
    void Form_Load();
    void buildColumns();
    void cacu();
    void Flex_AfterEdit(int row, int col);
    QString layoutKey(int index, bool withDot) const;
    void saveWidths(int index);

    ui::StatusBar *m_statusBar;
    int m_costStyle = 0;
    bool m_loading = false;
    QList<std::pair<QString, QString>> m_extraFields; // FFieldName, FFieldDesc
};

} // namespace zostore::period
