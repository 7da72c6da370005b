// Stock limits from sales issues and counter sales, for one store or for the item totals.
#pragma once

#include "stocklimit/GenerationRequest.h"

#include <functional>

namespace zostore::db {
class Connection;
}

namespace zostore::stocklimit {

class StockLimitGeneration {
public:
    // One transaction on conn: an error leaves every limit as it was and passes to the caller.
    // beforeCommit runs inside that transaction, after the limits are set; if it throws nothing is saved.
    static void generate(db::Connection &conn, const GenerationRequest &request,
                         const std::function<void()> &beforeCommit = {});
};

} // namespace zostore::stocklimit
