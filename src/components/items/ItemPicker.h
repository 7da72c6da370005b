// The item picker: search by code, name, quick code or barcode within an item group, pick one or many.
#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;

namespace zostore::ui {
class Grid;
}

namespace zostore::components::items {

class ItemGroupTree;

class ItemPicker : public QDialog {
    Q_OBJECT
public:
    explicit ItemPicker(QWidget *parent = nullptr);
    ~ItemPicker() override;

    void setMultiSelect(bool on);
    bool multiSelect() const { return m_multi; }
    // Loads the groups and items of the account set and shows the picker beside its owner.
    void showPicker(const QString &cnstr, int userId);

    // Lists the items matching the text in the chosen group (0: every group).
    void search(const QString &text);
    void setGroup(int groupId);
    int group() const { return m_groupId; }
    QStringList listedCodes() const;
    // Selects the listed rows whose codes are given (tests and keyboard users).
    void selectCodes(const QStringList &codes);
    QStringList selectedCodes() const;
    // Hands the selected codes over; closing closes the picker as well.
    void pick(bool closing);

    ui::Grid *grid() const { return m_grid; }
    ItemGroupTree *groupTree() const { return m_tree; }
    QLineEdit *txtFind = nullptr;
    QPushButton *cmdSelect = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdClose = nullptr;

signals:
    // The chosen codes in list order; closing tells whether the picker closed with this choice.
    void MuliSelectItem(const QStringList &codes, bool closing);

private:
    void build();
    void relist();

    QString m_cnstr;
    bool m_multi = false;
    int m_groupId = 0;
    ui::Grid *m_grid = nullptr;
    QLabel *m_count = nullptr;
    QSplitter *m_split = nullptr;
    ItemGroupTree *m_tree = nullptr;
};

} // namespace zostore::components::items
