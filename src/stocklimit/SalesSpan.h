// Bounds of a span of sales days as the statements bind them.
#pragma once

#include <QDate>
#include <QVariant>

namespace zostore::stocklimit {

// Bills may carry a time of day, so the last day reaches to its final second.
inline QVariant spanStart(const QDate &d) { return QDateTime(d, QTime(0, 0)); }
inline QVariant spanEnd(const QDate &d) { return QDateTime(d, QTime(23, 59, 59)); }

} // namespace zostore::stocklimit
