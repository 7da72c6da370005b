// Bounded repetition of a statement that failed on a lock conflict.
#pragma once

#include "db/Error.h"

#include <QThread>
#include <functional>

namespace zostore::db {

inline constexpr int LockRetryAttempts = 5;

// Runs f; while it fails with an error whose description contains "锁", waits and runs it again,
// at most `attempts` times in all; then the last error goes to the caller.
template <class F> auto withLockRetry(F &&f, int attempts = LockRetryAttempts) -> decltype(f()) {
    int waitMs = 50;
    for (int i = 1;; ++i) {
        try {
            return f();
        } catch (const Error &e) {
            if (!e.isLock() || i >= attempts)
                throw;
        }
        QThread::msleep(static_cast<unsigned long>(waitMs));
        waitMs *= 2;
    }
}

} // namespace zostore::db
