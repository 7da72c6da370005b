// Numbers as the stock-limit screens and the exchange file read and write them.
#pragma once

#include <QString>
#include <QVariant>

namespace zostore::stocklimit {

// The leading numeric part of a text ("1.5x" is 1.5, "" and "abc" are 0), as boxes and file fields are read.
double leadingNumber(const QString &text);

// A stored value as plain decimal text: no separators, "." as point, integers without a fraction; null is "".
QString plainNumber(const QVariant &value);

} // namespace zostore::stocklimit
