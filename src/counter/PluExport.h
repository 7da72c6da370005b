// The scale's PLU file from the label list: GBK text, one CRLF line per item.
#pragma once

#include <QByteArray>
#include <QString>

namespace zostore::ui {
class Grid;
}

namespace zostore::counter {

// PLU number: the last five characters of the shop code (all of it when shorter).
QString pluNumber(const QString &shopNumber);
// The file's bytes, up to the first row without an item code; throws naming an item GBK cannot encode.
QByteArray pluFileContent(const ui::Grid &grid, const QString &leadingChars);
// Writes the content anew; returns the lines written. Throws with the file's name when it cannot be written.
int writePluFile(const QString &path, const ui::Grid &grid, const QString &leadingChars);

} // namespace zostore::counter
