// Program entry: login, then the main window.
#include "app/MainWindow.h"
#include "app/WindowRegistrations.h"
#include "components/Builtins.h"
#include "components/Registry.h"
#include "db/Error.h"
#include "modules/InstalledModules.h"
#include "startup/Help.h"
#include "startup/ProgramFolder.h"
#include "startup/StartUp.h"
#include "ui/Dialogs.h"
#include "ui/QtTranslation.h"

#include <QApplication>
#include <QTextStream>
#include <QWidget>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    // the same names as zostore-admin, so both find one work folder
    QApplication::setOrganizationName(QStringLiteral("ZoStore"));
    QApplication::setApplicationName(QStringLiteral("ZoStore"));
    QApplication::setQuitOnLastWindowClosed(false);
    using namespace zostore;
    if (const auto tr = ui::installQtTranslation(app); !tr.loaded)
        QTextStream(stderr) << ui::missingQtTranslationMessage(tr) << '\n';
    startup::installHelpKey(app);
    try {
        components::registerBuiltinComponents();
        modules::registerInstalledModules();
        app::registerSubsystemWindows();
        components::Registry::instance().loadPlugins(components::componentsFolder(startup::programFolder()));
        startup::StartUp start;
        if (!start.login())
            return 0;
        QWidget *w = app::createMainWindow();
        w->show();
        start.showUpgradeNotes();
    } catch (const Error &e) {
        ui::dialogs().message(e.description(), ui::Icon::Critical);
        return 1;
    } catch (const std::exception &e) {
        ui::dialogs().message(QString::fromLocal8Bit(e.what()), ui::Icon::Critical);
        return 1;
    }
    return app.exec();
}
