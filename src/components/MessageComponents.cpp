// nuvo_Message.Msg and nuvo_Message.receiveMsg.
#include "components/MessageComponents.h"

#include "components/MessageStore.h"
#include "components/frmMessage.h"
#include "ui/Dialogs.h"

namespace zostore::components {

MessageComponent::MessageComponent() : Component(ProgId) {
    addMethod(QStringLiteral("ShowMsg"), 2, 2, [this](const QVariantList &a) {
        ShowMsg(argText(a, 0), argInt(a, 1));
        return QVariant();
    });
}

void MessageComponent::ShowMsg(const QString &cnstr, int userId) {
    frmMessage dlg(cnstr, userId);
    ui::dialogs().exec(dlg);
}

ReceiveMsgComponent::ReceiveMsgComponent() : Component(ProgId) {
    addMethod(QStringLiteral("DoReceive"), 2, 2,
              [this](const QVariantList &a) { return QVariant(DoReceive(argText(a, 0), argInt(a, 1))); });
}

int ReceiveMsgComponent::DoReceive(const QString &cnstr, int userId) { return MessageStore(cnstr).unreadCount(userId); }

} // namespace zostore::components
