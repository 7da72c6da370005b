#include "components/items/ItemFilter.h"

#include "ui/Dialogs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zostore::components::items {

ItemFilterDialog::ItemFilterDialog(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmItemFilter"));
    setWindowTitle(QStringLiteral("商品过滤"));
    optRange = new QRadioButton(QStringLiteral("按商品代码范围"), this);
    optContain = new QRadioButton(QStringLiteral("按包含内容（名称、助记码、店内码、条码）"), this);
    txtFromNumber = new QLineEdit(this);
    txtToNumber = new QLineEdit(this);
    txtContain = new QLineEdit(this);
    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    cmdOK->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(optRange, 0, 0, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("从"), this), 1, 0);
    grid->addWidget(txtFromNumber, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("到"), this), 1, 2);
    grid->addWidget(txtToNumber, 1, 3);
    grid->addWidget(optContain, 2, 0, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("包含"), this), 3, 0);
    grid->addWidget(txtContain, 3, 1, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, 4, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    optRange->setChecked(true);
    connect(optRange, &QRadioButton::toggled, this, &ItemFilterDialog::syncEnabled);
    connect(cmdOK, &QPushButton::clicked, this, &ItemFilterDialog::onOK);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    syncEnabled();
    resize(460, sizeHint().height());
}

void ItemFilterDialog::syncEnabled() {
    const bool range = optRange->isChecked();
    txtFromNumber->setEnabled(range);
    txtToNumber->setEnabled(range);
    txtContain->setEnabled(!range);
}

void ItemFilterDialog::onOK() {
    if (optRange->isChecked()) {
        if (txtFromNumber->text().isEmpty() && txtToNumber->text().isEmpty()) {
            ui::dialogs().info(QStringLiteral("请输入商品代码范围！"));
            txtFromNumber->setFocus();
            return;
        }
    } else if (txtContain->text().isEmpty()) {
        ui::dialogs().info(QStringLiteral("请输入要查找的内容！"));
        txtContain->setFocus();
        return;
    }
    accept();
}

ItemFilterChoice ItemFilterDialog::choice() const {
    ItemFilterChoice c;
    c.findType = optRange->isChecked() ? 1 : 2;
    c.fromNumber = txtFromNumber->text();
    // One code alone finds that item.
    c.toNumber = txtToNumber->text().isEmpty() ? c.fromNumber : txtToNumber->text();
    c.containValue = txtContain->text();
    return c;
}

ItemFilterChoice showItemFilter(const QString &) {
    ItemFilterDialog dlg;
    if (ui::dialogs().exec(dlg) != QDialog::Accepted)
        return {};
    ItemFilterChoice c = dlg.choice();
    c.ok = true;
    return c;
}

ItemFilterComponent::ItemFilterComponent() : Component(ProgId) {
    addMethod(QStringLiteral("ShowItemFilter"), 1, 1, [this](const QVariantList &a) {
        m_choice = showItemFilter(argText(a, 0));
        return QVariant(m_choice.ok);
    });
    addProperty(QStringLiteral("Isok"), [this] { return QVariant(m_choice.ok); });
    addProperty(QStringLiteral("FindType"), [this] { return QVariant(m_choice.findType); });
    addProperty(QStringLiteral("FromNumber"), [this] { return QVariant(m_choice.fromNumber); });
    addProperty(QStringLiteral("ToNumber"), [this] { return QVariant(m_choice.toNumber); });
    addProperty(QStringLiteral("ContainValue"), [this] { return QVariant(m_choice.containValue); });
}

} // namespace zostore::components::items
