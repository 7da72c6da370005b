#include "modules/items/FieldCheck.h"

#include "db/Error.h"
#include "db/MessageText.h"

#include <cmath>

namespace zostore::modules::items {

QString optionalText(const QString &text, const QString &field, int maxLength) {
    const QString t = text.trimmed();
    if (t.size() > maxLength)
        throw Error(
            QStringLiteral("%1最长 %2 个字符（现在是 %3 个）。").arg(field).arg(maxLength).arg(t.size()));
    return t;
}

QString requiredText(const QString &text, const QString &field, int maxLength) {
    const QString t = optionalText(text, field, maxLength);
    if (t.isEmpty())
        throw Error(QStringLiteral("%1不能为空。").arg(field));
    return t;
}

double numberOf(const QString &text, const QString &field, bool allowNegative) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return 0;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        throw Error(QStringLiteral("%1必须是数字（现在是“%2”）。").arg(field, db::shortened(t)));
    if (v < 0 && !allowNegative)
        throw Error(QStringLiteral("%1不能是负数。").arg(field));
    return v;
}

} // namespace zostore::modules::items
