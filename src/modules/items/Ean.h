// EAN-8 and EAN-13 check digits, for barcodes and the in-store codes the program makes.
#pragma once

#include <QString>

namespace zostore::modules::items {

// Check digit of the digits before it (7 for EAN-8, 12 for EAN-13, 11 for UPC-A).
QChar eanCheckDigit(const QString &body);
// True for 8, 12 or 13 digits whose last digit is right.
bool eanValid(const QString &code);
// A barcode of 8, 12 or 13 digits names an EAN/UPC symbol and must carry its check digit.
bool looksLikeEan(const QString &code);

} // namespace zostore::modules::items
