// The stock-limit generation window in the main window's window table.
#pragma once

#include <QString>

namespace zostore::stocklimit {

inline const QString GenMinMaxStockWindow = QStringLiteral("frmGenMinMaxStock");

void registerStockLimitWindows();

} // namespace zostore::stocklimit
