// Exit question.
#include "startup/ExitConfirmation.h"

#include "ui/Dialogs.h"

namespace zostore::startup {

bool confirmExit() {
    return ui::dialogs().question(QStringLiteral("您是否真的要退出系统？"), ui::Icon::Question, ui::Answer::No) ==
           ui::Answer::Yes;
}

} // namespace zostore::startup
