// Report list query and the placement rules of the panel and the menus.
#include "shell/ReportMenu.h"

#include "db/Connection.h"

#include <QHash>

namespace zostore::shell {

QList<ReportRow> loadReportList(const QString &cnstr, qint32 userId, bool isManager) {
    db::Connection conn(cnstr);
    db::Recordset rs = conn.open(
        QStringLiteral("select * from ReportList "
                       "where ('R' || cast(FGroupID as varchar(4)) || cast(FReportID as varchar(4)) "
                       "in (select FSubSystemID from t_grant where FUserID=? and fgrant=1) or ?=1) "
                       " order by FGroupID,FType,FReportID "),
        {userId, isManager ? 1 : 0});
    QList<ReportRow> rows;
    for (; !rs.eof(); rs.moveNext())
        rows.append({rs.toInt(QStringLiteral("FGroupID")), rs.toInt(QStringLiteral("FType")),
                     rs.toInt(QStringLiteral("FReportID")), rs.text(QStringLiteral("FReportName"))});
    return rows;
}

QList<PanelItem> layoutReportPanel(const QList<ReportRow> &rows, int group, int sepLeft, int sepTop,
                                   int headerWidth) {
    const int x1 = sepLeft + 300;
    const int x2 = x1 + headerWidth + 300;
    double y = sepTop + 400;
    int counts[3] = {0, 0, 0};
    QList<PanelItem> items;
    for (const ReportRow &r : rows) {
        if (r.groupId != group)
            continue;
        const int section = r.type == 0 ? 0 : (r.type == 1 ? 1 : 2);
        int &n = counts[section];
        if (n >= PanelLabels[section])
            continue;
        if (n == 0) {
            if (section > 0)
                y += 400;
            items.append({section, -1, x1, y, QString(), 0});
        }
        items.append({section, n, x2, y, r.name, r.reportId});
        y += 350;
        ++n;
    }
    return items;
}

QList<ReportTool> buildReportTools(const QList<ReportRow> &rows) {
    QHash<int, int> toolCount; // group -> tools in its band
    QList<ReportTool> tools;
    int previousType = 0; // shared by every group
    for (const ReportRow &r : rows) {
        const ReportMenuGroup *g = nullptr;
        for (const ReportMenuGroup &candidate : ReportMenuGroups)
            if (candidate.group == r.groupId)
                g = &candidate;
        if (!g)
            continue;
        const QString band = QString::fromLatin1(g->band);
        const QString name = QString::fromLatin1(g->prefix) + QString::number(r.reportId);
        int &count = toolCount[r.groupId];
        if (r.type != previousType) {
            previousType = r.type;
            tools.append({band, count + 100, name + QStringLiteral("sep"), QString(), true});
            ++count;
        }
        tools.append({band, count + 100, name, r.name, false});
        ++count;
    }
    return tools;
}

} // namespace zostore::shell
