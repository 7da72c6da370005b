// Stock limits from sales issues and counter sales, for one store or for the item totals.
#pragma once

#include "stocklimit/GenerationRequest.h"

namespace zostore::db {
class Connection;
}

namespace zostore::stocklimit {

class StockLimitGeneration {
public:
    // One transaction on conn: an error leaves every limit as it was and passes to the caller.
    static void generate(db::Connection &conn, const GenerationRequest &request);
};

} // namespace zostore::stocklimit
