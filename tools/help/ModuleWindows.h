// The module windows that get help pages, each made over the logged-in account set the way its module
// opens it.
#pragma once

#include <QList>
#include <QString>
#include <functional>

class QWidget;

namespace zostore::help {

struct ModuleWindow {
    QString page;    // the page's name: the window's name without the "_<kind>" some windows carry
    QString picture; // under docs/screenshots
    std::function<QWidget *()> make;
};

const QList<ModuleWindow> &moduleWindows();

} // namespace zostore::help
