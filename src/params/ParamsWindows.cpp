// The parameters window in the main window's window table.
#include "params/ParamsWindows.h"

#include "params/frmSetPara.h"
#include "shell/WindowTable.h"

namespace zostore::params {

void registerParamsWindows() {
    shell::windowTable().registerWindow(shell::windows::SetPara, [](QWidget *parent) { return new frmSetPara(parent); });
}

} // namespace zostore::params
