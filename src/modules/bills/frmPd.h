// Stock-count windows: freezing a store's book quantities, and the count sheet for printing or for
// entering what was counted.
#pragma once

#include <QDialog>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zostore::db {
class Connection;
}
namespace zostore::components::items {
class ItemLookup;
}
namespace zostore::ui {
class Grid;
}

namespace zostore::modules::bills {

class frmPdBackup : public QDialog {
    Q_OBJECT
public:
    frmPdBackup(QString cnstr, int userId, QWidget *parent = nullptr);
    QComboBox *cmbStock = nullptr;
    ui::Grid *Flex = nullptr;
    QPushButton *cmdFreeze = nullptr;
    QPushButton *cmdClose = nullptr;
    void freeze();

private:
    void listOpen();
    QString m_cnstr;
    int m_userId;
};

class frmPdData : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Print, Enter };
    frmPdData(QString cnstr, int userId, Mode mode, QWidget *parent = nullptr);
    ~frmPdData() override;
    QComboBox *cmbCount = nullptr;
    QComboBox *cmbGroup = nullptr;
    QCheckBox *chkBook = nullptr;
    QLineEdit *txtScan = nullptr;
    ui::Grid *Flex = nullptr;
    QLabel *lblState = nullptr;
    QPushButton *cmdPrint = nullptr;
    QPushButton *cmdPreview = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdGenerate = nullptr;
    QPushButton *cmdClose = nullptr;

    void load();
    // A scanned or typed code adds one unit (a package barcode one package) to the item's count.
    void scan(const QString &text);
    bool save();
    void generate();

private:
    void print(bool direct);
    void afterEdit(int row, int col);
    QString m_cnstr;
    int m_userId;
    Mode m_mode;
    bool m_dirty = false;
    std::unique_ptr<db::Connection> m_conn;
    std::unique_ptr<components::items::ItemLookup> m_lookup;
};

} // namespace zostore::modules::bills
