// The report list a user may open, and where its entries go: the report panel and the report menus.
#pragma once
#include <QList>
#include <QString>

namespace zostore::shell {

struct ReportRow {
    int groupId = 0;
    int type = 0;
    int reportId = 0;
    QString name;
};

// Rows of ReportList the user is granted ("R" + group + report, FGrant 1), all rows for a manager,
// ordered by group, section and number. Read once per login and kept.
QList<ReportRow> loadReportList(const QString &cnstr, qint32 userId, bool isManager);

// Report panel: section 0 has 17 labels, section 1 has 8, any other section 6.
inline constexpr int PanelLabels[3] = {17, 8, 6};

struct PanelItem {
    int section = 0; // 0, 1 or 2 (every other FType)
    int index = 0;   // label index within the section; -1 for the section's header image
    int left = 0;    // twips
    double top = 0;  // twips
    QString caption;
    int reportId = 0;
};

// Placement of the headers and labels for one report group, from the separator image's position.
// Rows beyond a section's labels are left off the panel.
QList<PanelItem> layoutReportPanel(const QList<ReportRow> &rows, int group, int sepLeft, int sepTop,
                                   int headerWidth);

struct ReportMenuGroup {
    int group;
    const char *band;
    const char *prefix;
};
inline constexpr ReportMenuGroup ReportMenuGroups[4] = {
    {1, "subMenuPurReport", "PurReport_"},
    {2, "subMenuSaleReport", "SaleReport_"},
    {3, "subMenuStockReport", "StockReport_"},
    {4, "subMenuCwReport", "CashReport_"},
};

struct ReportTool {
    QString band;
    int number = 0; // the band's tool count + 100 when added
    QString name;
    QString caption;
    bool separator = false;
};

// Tools of the four report menus in the order they are added; rows of other groups get none.
QList<ReportTool> buildReportTools(const QList<ReportRow> &rows);

} // namespace zostore::shell
