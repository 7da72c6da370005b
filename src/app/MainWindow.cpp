// Main window creation.
#include "app/MainWindow.h"

#include "app/frmMainStandIn.h"

namespace zostore::app {

QWidget *createMainWindow() {
    auto *w = new frmMainStandIn;
    w->setAttribute(Qt::WA_DeleteOnClose);
    return w;
}

} // namespace zostore::app
