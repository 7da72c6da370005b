// The upgrade notes open once for each new program file version.
#pragma once

#include <QString>

namespace zostore::startup {

// Returns true when the notes were opened (and the version stored).
bool showUpgradeNotesIfNew(const QString &fileVersion);

} // namespace zostore::startup
