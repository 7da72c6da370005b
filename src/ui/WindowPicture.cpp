// Saving a window's picture.
#include "ui/WindowPicture.h"

#include <QApplication>
#include <QPixmap>
#include <QTextStream>
#include <QWidget>

namespace zostore::ui {

bool saveWindowPicture(QWidget &w, const QString &file) {
    w.show();
    QApplication::processEvents();
    const bool ok = w.grab().save(file);
    QTextStream(stdout) << (ok ? "wrote " : "could not write ") << file << '\n';
    return ok;
}

} // namespace zostore::ui
