// Error branch of the handlers.
#include "ui/ErrorTrap.h"

#include "db/Error.h"
#include "ui/Dialogs.h"

namespace zostore::ui {

bool errorTrap(const std::function<void()> &handler) {
    try {
        handler();
        return true;
    } catch (const Error &e) {
        dialogs().message(e.description(), Icon::Information);
    } catch (const std::exception &e) {
        dialogs().message(QString::fromLocal8Bit(e.what()), Icon::Information);
    }
    return false;
}

} // namespace zostore::ui
