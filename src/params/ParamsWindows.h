// The parameters window in the main window's window table.
#pragma once

namespace zostore::params {

void registerParamsWindows();

} // namespace zostore::params
