// What a grid shows, as a sheet: visible columns only, fixed rows as the header.
#pragma once

#include "components/export/Sheet.h"

namespace zostore::ui {
class Grid;
}

namespace zostore::components::sheet {

// Right-aligned columns are the numeric ones.
Sheet sheetFromGrid(const ui::Grid &grid, const QString &title);

} // namespace zostore::components::sheet
