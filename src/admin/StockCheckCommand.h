// check-stock: today's stock per store held against what the openings and bills give.
#pragma once

#include "admin/CommandLine.h"

namespace zostore::admin {

Command checkStockCommand();

} // namespace zostore::admin
