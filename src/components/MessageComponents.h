// nuvo_Message.Msg (the message window) and nuvo_Message.receiveMsg (count of new messages).
#pragma once

#include "components/Component.h"

namespace zostore::components {

class MessageComponent : public Component {
public:
    static inline const QString ProgId = QStringLiteral("nuvo_Message.Msg");
    MessageComponent();
    void ShowMsg(const QString &cnstr, int userId);
};

class ReceiveMsgComponent : public Component {
public:
    static inline const QString ProgId = QStringLiteral("nuvo_Message.receiveMsg");
    ReceiveMsgComponent();
    // Unread messages addressed to the user.
    int DoReceive(const QString &cnstr, int userId);
};

} // namespace zostore::components
