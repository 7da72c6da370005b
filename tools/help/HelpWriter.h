// Writes the help folder: a page for the main window, every window of the window table and every module
// window, the contents page, the style sheet and the pictures the pages show.
#pragma once

#include <QString>
#include <QStringList>

namespace zostore::help {

struct HelpReport {
    QStringList pages;    // window names, in the contents' order
    QStringList problems; // written parts missing, stale or unreadable; the pages are written all the same
    QStringList failures; // nothing could be written, or a picture is missing
};

// Builds each window over the logged-in account set. sourceDir holds <window>.txt; pictures are named
// relative to projectRoot; the pages go to <programFolder>/help.
HelpReport writeHelp(const QString &sourceDir, const QString &projectRoot, const QString &programFolder);

} // namespace zostore::help
