// The shell's own windows by name; subsystems register theirs so the main window needs none of their headers.
#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QWidget;

namespace zostore::shell {

enum class WindowMode { Modal, Modeless };

// Creates the window with the given parent. A window shown modally must be a QDialog.
using WindowFactory = std::function<QWidget *(QWidget *parent)>;

class WindowTable {
public:
    static WindowTable &instance();

    // A later registration of the same name replaces the earlier one.
    void registerWindow(const QString &name, WindowFactory factory);
    void removeWindow(const QString &name);
    bool isInstalled(const QString &name) const;
    // In the order registered.
    QStringList names() const;

    // The window made and not shown; nullptr for a name nothing provides.
    QWidget *create(const QString &name, QWidget *parent) const;
    // Shows the window as the caller decides; a modal one returns after it closed, with its result.
    // A name nothing provides tells the user so and returns -1.
    int open(const QString &name, QWidget *parent, WindowMode mode);

private:
    std::vector<std::pair<QString, WindowFactory>> m_entries;
};

inline WindowTable &windowTable() {
    return WindowTable::instance();
}

// Names the main window opens.
namespace windows {
inline const QString ClosePeriod = QStringLiteral("frmClosePeriod");
inline const QString CacuCost = QStringLiteral("frmCacuCost");
inline const QString ClearData = QStringLiteral("frmClearData");
inline const QString SafeStock = QStringLiteral("frmSetSafeStock");
inline const QString SetPara = QStringLiteral("frmSetPara");
inline const QString GenMinMaxStock = QStringLiteral("frmGenMinMaxStock");
inline const QString PosDiscount = QStringLiteral("frmSdyh_Set_Pos");
inline const QString PosBill = QStringLiteral("frmDefPrint");
inline const QString PrintLabel = QStringLiteral("frmPrintLabel");
inline const QString Action = QStringLiteral("frmActionList");
inline const QString About = QStringLiteral("frmAbout");
} // namespace windows

} // namespace zostore::shell
