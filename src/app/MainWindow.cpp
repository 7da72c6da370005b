// Main window creation.
#include "app/MainWindow.h"

#include "shell/frmMain.h"

namespace zostore::app {

QWidget *createMainWindow() {
    auto *w = new shell::frmMain;
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->fillScreen();
    return w;
}

} // namespace zostore::app
