// The writable work folder and the SQLite data folder inside it.
#pragma once

#include <QString>

namespace zostore::accountdb {

// ZOSTORE_WORKDIR when set, else the user's application data folder; created when missing.
QString workFolder();
QString dataFolder();

} // namespace zostore::accountdb
