// Help pages in the program folder, one per window by the window's name, and the F1 key that opens them.
#pragma once

#include <QString>

class QCoreApplication;
class QWidget;

namespace zostore::startup {

QString helpFolder();
QString helpPage(const QString &windowName);
// The contents page: every window's page.
QString helpIndex();

// The page of the widget's window, or of the nearest window it belongs to that has one, else the contents.
QString helpPageFor(const QWidget *w);
// Opens that page in the desktop's viewer; tells the user when no help is installed.
void showHelp(const QWidget *w);

// F1 in any window of the program shows that window's page.
void installHelpKey(QCoreApplication &app);

} // namespace zostore::startup
