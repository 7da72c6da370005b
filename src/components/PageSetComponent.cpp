// VnPageset.PageSet over Qt's page setup dialog.
#include "components/PageSetComponent.h"

#include "components/Session.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "ui/Dialogs.h"

#include <QPageSetupDialog>
#include <QPrinter>

namespace zostore::components {

PageSetComponent::PageSetComponent() : Component(ProgId) {
    addMethod(QStringLiteral("ShowPageSet"), 4, 4, [this](const QVariantList &a) {
        ShowPageSet(argText(a, 0), argText(a, 1), argInt(a, 2), argObject(a, 3));
        return QVariant();
    });
    addProperty(QStringLiteral("Isok"), [this] { return QVariant(m_isOk); });
}

QPageLayout PageSetComponent::load(const QString &cnstr, const QString &layoutKey, int userId) {
    QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
    db::Connection conn(cnstr);
    db::Recordset rs = conn.open(QStringLiteral("select FPageSize, FOrientation, FMarginLeft, FMarginTop, "
                                                "FMarginRight, FMarginBottom from t_PageSetup "
                                                "where FLayoutKey=? and FUserID=?"),
                                 {layoutKey, userId});
    if (rs.eof())
        return layout;
    const QString size = rs.text(QStringLiteral("FPageSize"));
    QPageSize pageSize(QPageSize::A4);
    for (int id = 0; id <= QPageSize::LastPageSize; ++id)
        if (QPageSize::key(QPageSize::PageSizeId(id)) == size)
            pageSize = QPageSize(QPageSize::PageSizeId(id));
    layout.setPageSize(pageSize);
    layout.setOrientation(rs.toInt(QStringLiteral("FOrientation")) == 1 ? QPageLayout::Landscape
                                                                        : QPageLayout::Portrait);
    layout.setMargins(QMarginsF(rs.toDouble(QStringLiteral("FMarginLeft")), rs.toDouble(QStringLiteral("FMarginTop")),
                                rs.toDouble(QStringLiteral("FMarginRight")),
                                rs.toDouble(QStringLiteral("FMarginBottom"))));
    return layout;
}

void PageSetComponent::save(const QString &cnstr, const QString &layoutKey, int userId, const QPageLayout &layout) {
    db::Connection conn(cnstr);
    db::Transaction tx(conn);
    const QMarginsF m = layout.margins(QPageLayout::Millimeter);
    conn.execute(QStringLiteral("delete from t_PageSetup where FLayoutKey=? and FUserID=?"), {layoutKey, userId});
    conn.execute(QStringLiteral("insert into t_PageSetup (FLayoutKey, FUserID, FPageSize, FOrientation, FMarginLeft, "
                                "FMarginTop, FMarginRight, FMarginBottom) values (?, ?, ?, ?, ?, ?, ?, ?)"),
                 {layoutKey, userId, layout.pageSize().key(), layout.orientation() == QPageLayout::Landscape ? 1 : 0,
                  m.left(), m.top(), m.right(), m.bottom()});
    tx.commit();
}

void PageSetComponent::ShowPageSet(const QString &cnstr, const QString &layoutKey, int count, QObject *grid) {
    Q_UNUSED(count) // the page layout does not depend on the number of columns
    Q_UNUSED(grid)
    m_isOk = false;
    const int userId = currentUserId();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(load(cnstr, layoutKey, userId));
    QPageSetupDialog dlg(&printer);
    dlg.setWindowTitle(QStringLiteral("页面设置"));
    if (ui::dialogs().exec(dlg) != QDialog::Accepted)
        return;
    save(cnstr, layoutKey, userId, printer.pageLayout());
    m_isOk = true;
}

} // namespace zostore::components
