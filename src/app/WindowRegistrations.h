// The subsystems' windows in the main window's window table.
#pragma once

namespace zostore::app {

// Also registers the month-end procedures those windows call.
void registerSubsystemWindows();

} // namespace zostore::app
