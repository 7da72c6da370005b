// The system parameters window: profile keys bound to controls by name, and the member-points tables.
#pragma once

#include <QDialog>
#include <QHash>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QGridLayout;
class QVBoxLayout;

namespace zostore::ui {
class Grid;
class DatePicker;
} // namespace zostore::ui

namespace zostore::params {

struct ProfileKey;
struct ParameterSet;

class frmSetPara : public QDialog {
    Q_OBJECT
public:
    explicit frmSetPara(QWidget *parent = nullptr);

    QTabWidget *tabs = nullptr;
    QComboBox *cmbCostStyle = nullptr;
    QComboBox *cmbCardType = nullptr;
    ui::Grid *FlexJf = nullptr;
    ui::Grid *FlexJfAmount = nullptr;
    ui::DatePicker *dtpDate = nullptr;
    QPushButton *cmdClear = nullptr;
    QPushButton *cmdGenStockAmount = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdExit = nullptr;

    // Control bound to a profile key ("chk_", "opt_" or "txt_" + key); the first option of a group.
    QWidget *keyControl(const QString &key) const;
    QLineEdit *textBox(const QString &key) const;
    QCheckBox *checkBox(const QString &key) const;
    // Index of the selected option of a group, -1 when none is selected.
    int selectedOption(const QString &key) const;
    void selectOption(const QString &key, int index);

    // What a save writes, gathered from the controls by their names.
    ParameterSet gather() const;

private:
    void buildPages();
    QWidget *buildControl(const ProfileKey &k, QWidget *parent);
    void addKeyRow(const ProfileKey &k, QGridLayout *rows, QWidget *parent);
    QWidget *buildJfGrid(QWidget *parent);
    QWidget *buildJfAmountGrid(QWidget *parent);

    void load();
    void loadGrids();
    void onSave();
    void onClear();
    void onGenStockAmount();
    void onCostStyleClicked();
    void onJfCellChanged();
    void onPickerChanged();

    QHash<QGridLayout *, int> m_nextRow; // next free row of each layout being filled
};

} // namespace zostore::params
