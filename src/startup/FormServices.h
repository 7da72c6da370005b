// Page setup and grid layouts through the two shared formatting components.
#pragma once

#include <QString>

namespace zostore::ui {
class Grid;
}

namespace zostore::startup {

// noFormat: whether the caller passed it (its value is never looked at).
void ShowPageSetup(ui::Grid *grid, int count, const QString &layoutKey, bool noFormat = false);
void ApplyGridFormat(ui::Grid *grid, const QString &layoutKey);
void SaveGridWidths(ui::Grid *grid, const QString &layoutKey, bool flag = false);

// Empties both component slots (tests).
void resetFormComponents();

} // namespace zostore::startup
