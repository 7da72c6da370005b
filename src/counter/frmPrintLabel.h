// The label window: the label list, the format, labels per row, printing and the scale's PLU file.
#pragma once

#include <QMainWindow>
#include <memory>

class QComboBox;
class QLineEdit;

namespace zostore::components {
class Component;
namespace labels {
class LabelList;
}
}
namespace zostore::ui {
class ActBar;
}

namespace zostore::counter {

class frmPrintLabel : public QMainWindow {
    Q_OBJECT
public:
    explicit frmPrintLabel(QWidget *parent = nullptr);
    ~frmPrintLabel() override;

    QComboBox *cmbPrintFmt = nullptr;
    QLineEdit *txtQty = nullptr;
    QLineEdit *txtBegChar = nullptr;
    ui::ActBar *ActiveBar1 = nullptr;

    components::Component &myLabel() const { return *m_label; }
    components::labels::LabelList *labelList() const;
    // Toolbar commands by key, as the toolbar runs them; failures are shown and end the command.
    void runTool(const QString &key);
    void fillFormats();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void build();
    void print();
    void exportPlu();
    int labelsPerRow() const;

    std::shared_ptr<components::Component> m_label;
};

} // namespace zostore::counter
