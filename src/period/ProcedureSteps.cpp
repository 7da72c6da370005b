// Named points inside the period procedures.
#include "period/ProcedureSteps.h"

namespace zostore::period {

static std::function<void(const QString &)> &observer() {
    static std::function<void(const QString &)> f;
    return f;
}

void passStep(const QString &name) {
    if (observer())
        observer()(name);
}

void setStepObserver(std::function<void(const QString &)> f) {
    observer() = std::move(f);
}

} // namespace zostore::period
