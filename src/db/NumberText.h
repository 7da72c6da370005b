// A figure from the books as a clerk reads it: rounded to the column's places, no trailing zeros.
#pragma once

#include <QString>

namespace zostore::db {

// Empty for a value that is not a number; never "-0".
QString figureText(double v, int decimals);

} // namespace zostore::db
