// The upgrade notes open once for each new program file version.
#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace zostore::startup {

// Returns true when the notes were opened (and the version stored).
bool showUpgradeNotesIfNew(const QString &fileVersion);

// Shows the notes file in a read-only window of the program (not modal, deleted on close) and returns it;
// nullptr, after a message naming the file, when it cannot be read.
QDialog *openUpgradeNotes(QWidget *parent = nullptr);

} // namespace zostore::startup
