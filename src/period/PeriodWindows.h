// The month-end and cost windows in the main window's window table.
#pragma once

namespace zostore::period {

// Also registers the period procedures the windows call.
void registerPeriodWindows();

} // namespace zostore::period
