// A reminder list as a spreadsheet: the columns a user sees, both header rows, the rows as listed.
#pragma once

#include "components/export/Sheet.h"
#include "reminders/ReminderPages.h"

namespace zostore::reminders {

components::sheet::Sheet sheetFromPage(const ReminderPage &page);

} // namespace zostore::reminders
