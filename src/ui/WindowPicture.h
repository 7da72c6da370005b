// Window pictures for review: the widget as it is painted on screen, written to a PNG file.
#pragma once

#include <QString>

class QWidget;

namespace zostore::ui {

// Shows the widget, lets it lay out and paint, saves it and prints which file was written.
bool saveWindowPicture(QWidget &w, const QString &file);

} // namespace zostore::ui
