// Timing of repeated runs and the run-count argument the small benchmarks share.
#pragma once

#include <QElapsedTimer>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <vector>

namespace zostore::bench {

// The middle of the sorted runs (the upper one of an even count).
inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline double msOf(const std::function<void()> &f) {
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

// The whole number after `name` in the arguments, at least `least`; fallback when absent.
inline qint64 numberArgument(const QStringList &args, const QString &name, qint64 fallback, qint64 least = 1) {
    const qsizetype at = args.indexOf(name);
    if (at > 0 && at + 1 < args.size())
        return std::max(least, args[at + 1].toLongLong());
    return fallback;
}

} // namespace zostore::bench
