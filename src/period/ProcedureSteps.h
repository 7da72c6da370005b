// Named points inside the period procedures, observable so a test can stop a procedure half-way.
#pragma once

#include <QString>
#include <functional>

namespace zostore::period {

// Called at each named point; an observer that throws aborts the procedure there.
void passStep(const QString &name);
void setStepObserver(std::function<void(const QString &)> observer);

} // namespace zostore::period
