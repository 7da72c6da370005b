// The frame of the windows that move a member's points or stored value, card after card.
#pragma once

class QDialog;
class QFormLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace zostore::modules::members {

struct MoveDialogFrame {
    QLabel *lblResult = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdClose = nullptr;
};

// The card on top, the movement's form, the line that tells what was saved, and Save and Close at the
// bottom right; Close rejects the dialog.
MoveDialogFrame layOutMoveDialog(QDialog &dialog, QWidget *card, QFormLayout *form);

} // namespace zostore::modules::members
