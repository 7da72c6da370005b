#include "db/MessageText.h"

namespace zostore::db {

QString shortened(const QString &text, int maxChars) {
    if (text.size() <= maxChars)
        return text;
    int cut = maxChars;
    // never split a surrogate pair
    if (cut > 0 && text[cut - 1].isHighSurrogate())
        --cut;
    return text.left(cut) + QStringLiteral("…（共 %1 个字符）").arg(text.size());
}

} // namespace zostore::db
