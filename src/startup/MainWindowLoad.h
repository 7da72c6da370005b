// The main window's load steps that fill the login context and the window's start-up state.
#pragma once

#include <QString>

namespace zostore::startup {

struct MainWindowState {
    bool firstActivate = false;
    bool initClosed = false;
    qint16 birthdayDays = 0;
    bool showActionAtStart = false;
    QString versionLabel;
};

class MainWindowLoad {
public:
    explicit MainWindowLoad(MainWindowState &state) : m_state(state) {}

    // First activation pending, version label.
    void prepare();
    // Manager flag of the logged-in user; fails when t_User has no row for the user.
    void readManagerFlag();
    // Period and start-up keys of the system profile.
    void readProfile();
    // The program's own date, time and number formats.
    static void applyRegionalFormats();

    // Text to number as the profile is read: the leading number of the text, 0 when none.
    static double leadingNumber(const QString &text);
    // Rounds half to even; throws zostore::Error when the value does not fit 16 bits.
    static qint16 toInt16(double value, const QString &what);

private:
    MainWindowState &m_state;
};

} // namespace zostore::startup
