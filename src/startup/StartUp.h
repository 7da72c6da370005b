// Program start-up: login, login context, and the upgrade notes once the main window is up.
#pragma once

#include <QString>
#include <memory>

namespace zostore::components {
class Component;
}

namespace zostore::startup {

class StartUp {
public:
    inline static const QString VersionLabel = QStringLiteral("7.1.20130101");

    // Creates the login and file-version components. Throws when either is not installed.
    StartUp();
    ~StartUp();

    // Shows the login; fills the login context and returns true when a login took place.
    bool login();
    // After the main window is shown.
    void showUpgradeNotes();

private:
    std::shared_ptr<components::Component> m_login;
    std::shared_ptr<components::Component> m_fileVersion;
};

} // namespace zostore::startup
