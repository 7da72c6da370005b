// Which module images, picture buttons and system-menu tools a user may see, from the user's grant rows.
#pragma once
#include <QString>
#include <array>

namespace zostore::shell {

inline constexpr int ModuleCount = 5;
inline constexpr int ButtonSlots = 9;
// Designed number of picture buttons of modules 1 to 5.
inline constexpr std::array<int, ModuleCount> ModuleButtonCount = {6, 8, 7, 8, 5};

struct GovernedTool {
    const char *band;
    const char *tool;
};
// The ten tools LoadSystemMenu governs, in the order it sets them.
inline constexpr std::array<GovernedTool, 10> GovernedTools = {{
    {"subMenuInit", "MnuInitStock"},
    {"subMenuInit", "MnuInitYfk"},
    {"subMenuInit", "MnuInitCash"},
    {"subMenuInit", "MnuInitJk"},
    {"subMenuInit", "MnuInitDtfy"},
    {"subMenuInit", "MnuCloseInit"},
    {"subMenuTools", "MnuCacuCost"},
    {"subMenuTools", "MnuClosePeriod"},
    {"subMenufzbg", "cleardata"},
    {"subMenufzbg", "stocklimit"},
}};

struct SystemMenuState {
    std::array<bool, GovernedTools.size()> tools{};
    bool mnuInit = false;
};

class Permissions {
public:
    Permissions(QString cnstr, qint32 userId, bool isManager);

    // Index 0 is module image 1; image 5 is shown to everyone.
    std::array<bool, ModuleCount> moduleImages() const;
    // Index 0 is picture button 1 of the module.
    std::array<bool, ButtonSlots> moduleButtons(int module) const;
    SystemMenuState systemMenu(int currentYear, int currentPeriod, int startYear, int startPeriod) const;

    // The initial-balance menu is offered only while the current month is the start month.
    static bool isStartMonth(int currentYear, int currentPeriod, int startYear, int startPeriod);

private:
    QString m_cnstr;
    qint32 m_userId;
    bool m_isManager;
};

} // namespace zostore::shell
