#include "modules/members/MoveDialogFrame.h"

#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zostore::modules::members {

MoveDialogFrame layOutMoveDialog(QDialog &dialog, QWidget *card, QFormLayout *form) {
    MoveDialogFrame f;
    f.lblResult = new QLabel(&dialog);
    f.lblResult->setObjectName(QStringLiteral("lblResult"));
    f.lblResult->setWordWrap(true);
    f.cmdSave = new QPushButton(QStringLiteral("保存(&S)"), &dialog);
    f.cmdSave->setObjectName(QStringLiteral("cmdSave"));
    f.cmdClose = new QPushButton(QStringLiteral("关闭(&C)"), &dialog);
    f.cmdClose->setObjectName(QStringLiteral("cmdClose"));
    // Enter moves from box to box; it must not also press a button.
    for (QPushButton *b : {f.cmdSave, f.cmdClose})
        b->setAutoDefault(false);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(f.cmdSave);
    bottom->addWidget(f.cmdClose);
    auto *lay = new QVBoxLayout(&dialog);
    lay->addWidget(card);
    lay->addLayout(form);
    lay->addWidget(f.lblResult);
    lay->addStretch(1);
    lay->addLayout(bottom);
    QObject::connect(f.cmdClose, &QPushButton::clicked, &dialog, &QDialog::reject);
    return f;
}

} // namespace zostore::modules::members
