// Checks of typed field values; each refusal names the field as the form captions it.
#pragma once

#include <QString>

namespace zostore::modules::items {

// Trimmed; refused when empty or longer than maxLength characters.
QString requiredText(const QString &text, const QString &field, int maxLength);
// Trimmed; may be empty.
QString optionalText(const QString &text, const QString &field, int maxLength);
// Empty is 0; refused when not a finite number, or negative unless allowed.
double numberOf(const QString &text, const QString &field, bool allowNegative = false);

} // namespace zostore::modules::items
