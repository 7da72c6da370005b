#include "modules/items/frmFileEdit.h"

#include "db/Connection.h"
#include "ui/ErrorTrap.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zostore::modules::items {

frmFileEdit::frmFileEdit(QString cnstr, FileKind kind, int id, QWidget *parent)
    : QDialog(parent), m_cnstr(std::move(cnstr)), m_kind(kind), m_id(id) {
    setObjectName(QStringLiteral("frmFileEdit"));
    const QString what = FileStore::caption(kind);
    setWindowTitle((id == 0 ? QStringLiteral("新增") : QStringLiteral("修改")) + what);
    auto line = [this](const char *name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    txtNumber = line("txtNumber");
    txtName = line("txtName");
    auto *form = new QFormLayout;
    form->addRow(what + QStringLiteral("代码(&N)："), txtNumber);
    form->addRow(what + QStringLiteral("名称(&M)："), txtName);
    db::Connection conn(m_cnstr);
    FileStore store(conn, kind);
    if (store.hasPhone()) {
        txtPhone = line("txtPhone");
        form->addRow(QStringLiteral("电话："), txtPhone);
    }
    if (store.hasAddress()) {
        txtAddress = line("txtAddress");
        form->addRow(QStringLiteral("地址："), txtAddress);
    }
    if (kind == FileKind::Stock) {
        cmbPriceStyle = new QComboBox(this);
        cmbPriceStyle->setObjectName(QStringLiteral("cmbPriceStyle"));
        cmbPriceStyle->addItem(QString(), 0);
        for (const FileRow &s : FileStore(conn, FileKind::PriceStyle).rows())
            cmbPriceStyle->addItem(s.name, s.id);
        form->addRow(QStringLiteral("零售价格类型："), cmbPriceStyle);
        chkVirtual = new QCheckBox(QStringLiteral("虚拟仓库"), this);
        chkVirtual->setObjectName(QStringLiteral("chkVirtual"));
        form->addRow(QString(), chkVirtual);
    }
    cmdOK = new QPushButton(QStringLiteral("保存(&S)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addLayout(buttons);
    resize(440, sizeHint().height());
    if (id != 0) {
        const FileRow r = store.row(id);
        txtNumber->setText(r.number);
        txtName->setText(r.name);
        if (txtPhone)
            txtPhone->setText(r.phone);
        if (txtAddress)
            txtAddress->setText(r.address);
        if (chkVirtual) {
            chkVirtual->setChecked(r.isVirtual);
            cmbPriceStyle->setCurrentIndex(std::max(0, cmbPriceStyle->findData(r.priceStyleId)));
        }
    }
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        if (save())
            accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool frmFileEdit::save() {
    FileRow r;
    r.id = m_id;
    r.number = txtNumber->text();
    r.name = txtName->text();
    if (txtPhone)
        r.phone = txtPhone->text();
    if (txtAddress)
        r.address = txtAddress->text();
    if (chkVirtual) {
        r.isVirtual = chkVirtual->isChecked();
        r.priceStyleId = cmbPriceStyle->currentData().toInt();
    }
    return ui::errorTrap([&] {
        db::Connection conn(m_cnstr);
        m_id = FileStore(conn, m_kind).save(r);
    });
}

} // namespace zostore::modules::items
