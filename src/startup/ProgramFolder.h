// The program folder (read-only files installed beside the executable) and names derived from it.
#pragma once

#include <QString>

namespace zostore::startup {

// The executable's folder unless overridden.
QString programFolder();
// Tests point it elsewhere; empty restores the default.
void setProgramFolder(const QString &folder);

// A file of the program folder, with the platform's separators.
QString programFile(const QString &name);

// Handed to components only; never opened here.
QString systemDbConnectionString();

// The program file whose version decides on the upgrade notes.
QString programExecutable();

} // namespace zostore::startup
