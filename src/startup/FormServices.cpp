// The two shared formatting components, created on first use and kept for the process.
#include "startup/FormServices.h"

#include "components/Registry.h"
#include "startup/LoginContext.h"
#include "ui/Grid.h"

#include <memory>

namespace zostore::startup {

namespace {

std::shared_ptr<components::Component> g_pageSet;
std::shared_ptr<components::Component> g_formatGrid;

components::Component &pageSet() {
    if (!g_pageSet)
        g_pageSet = components::createObject(QStringLiteral("VnPageset.PageSet"));
    return *g_pageSet;
}

components::Component &formatGrid() {
    if (!g_formatGrid)
        g_formatGrid = components::createObject(QStringLiteral("VnFmtGrid.FormatGrid"));
    return *g_formatGrid;
}

QVariant gridArg(ui::Grid *grid) { return QVariant::fromValue<QObject *>(grid); }

} // namespace

void ShowPageSetup(ui::Grid *grid, int count, const QString &layoutKey, bool noFormat) {
    const QString cnstr = loginContext().cnstr();
    pageSet().invoke(QStringLiteral("ShowPageSet"), {cnstr, layoutKey, count, gridArg(grid)});
    if (pageSet().property(QStringLiteral("Isok")).toBool() && !noFormat)
        formatGrid().invoke(QStringLiteral("SetFormatWithoutHeader"), {gridArg(grid), cnstr, layoutKey});
}

void ApplyGridFormat(ui::Grid *grid, const QString &layoutKey) {
    formatGrid().invoke(QStringLiteral("SetFormatWithoutHeader"), {gridArg(grid), loginContext().cnstr(), layoutKey});
}

void SaveGridWidths(ui::Grid *grid, const QString &layoutKey, bool flag) {
    formatGrid().invoke(QStringLiteral("WriteWidth"), {gridArg(grid), loginContext().cnstr(), layoutKey, flag});
}

void resetFormComponents() {
    g_pageSet.reset();
    g_formatGrid.reset();
}

} // namespace zostore::startup
