// VnFilter.Filter: the item filter dialog, a code range or a text contained in the item's codes and name.
#pragma once

#include "components/Component.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zostore::components::items {

struct ItemFilterChoice {
    bool ok = false;
    int findType = 1; // 1: code range; 2: contained text
    QString fromNumber;
    QString toNumber;
    QString containValue;
};

class ItemFilterDialog : public QDialog {
    Q_OBJECT
public:
    explicit ItemFilterDialog(QWidget *parent = nullptr);

    QRadioButton *optRange = nullptr;
    QRadioButton *optContain = nullptr;
    QLineEdit *txtFromNumber = nullptr;
    QLineEdit *txtToNumber = nullptr;
    QLineEdit *txtContain = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

    ItemFilterChoice choice() const;

private:
    void onOK();
    void syncEnabled();
};

// Shows the dialog through the Dialogs interface; a cancelled dialog leaves ok false.
ItemFilterChoice showItemFilter(const QString &cnstr);

class ItemFilterComponent : public Component {
public:
    static inline const QString ProgId = QStringLiteral("VnFilter.Filter");
    ItemFilterComponent();

private:
    ItemFilterChoice m_choice;
};

} // namespace zostore::components::items
