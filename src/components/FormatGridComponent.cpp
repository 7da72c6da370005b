// VnFmtGrid.FormatGrid: stored column widths (twips) and hidden columns.
#include "components/FormatGridComponent.h"

#include "components/Session.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Transaction.h"
#include "ui/Grid.h"

#include <QHash>

namespace zostore::components {

namespace {

ui::Grid *gridOf(QObject *o) {
    auto *g = qobject_cast<ui::Grid *>(o);
    if (!g)
        throw Error(QStringLiteral("格式设置只适用于表格控件。"));
    return g;
}

} // namespace

FormatGridComponent::FormatGridComponent() : Component(ProgId) {
    addMethod(QStringLiteral("SetFormatWithoutHeader"), 3, 3, [this](const QVariantList &a) {
        SetFormatWithoutHeader(argObject(a, 0), argText(a, 1), argText(a, 2));
        return QVariant();
    });
    addMethod(QStringLiteral("WriteWidth"), 3, 4, [this](const QVariantList &a) {
        WriteWidth(argObject(a, 0), argText(a, 1), argText(a, 2), a.size() > 3 && argBool(a, 3));
        return QVariant();
    });
}

void FormatGridComponent::SetFormatWithoutHeader(QObject *gridObject, const QString &cnstr, const QString &layoutKey) {
    ui::Grid *grid = gridOf(gridObject);
    db::Connection conn(cnstr);
    db::Recordset rs = conn.open(QStringLiteral("select FColIndex, FWidth, FHidden from t_GridLayout "
                                                "where FLayoutKey=? and FUserID=? order by FColIndex"),
                                 {layoutKey, currentUserId()});
    for (; !rs.eof(); rs.moveNext()) {
        const int col = rs.toInt(QStringLiteral("FColIndex"));
        if (col < 0 || col >= grid->cols())
            continue; // the window has fewer columns than when the layout was stored
        const int width = rs.toInt(QStringLiteral("FWidth"));
        if (width > 0)
            grid->setColWidthTwips(col, width);
        grid->setColHidden(col, rs.toInt(QStringLiteral("FHidden")) != 0);
    }
}

void FormatGridComponent::WriteWidth(QObject *gridObject, const QString &cnstr, const QString &layoutKey, bool flag) {
    ui::Grid *grid = gridOf(gridObject);
    const int userId = currentUserId();
    db::Connection conn(cnstr);
    db::Transaction tx(conn);
    // Without the flag a column keeps the hidden state stored before, so a layout first written while
    // the window hid its key columns keeps them hidden.
    QHash<int, int> storedHidden;
    if (!flag) {
        db::Recordset rs = conn.open(
            QStringLiteral("select FColIndex, FHidden from t_GridLayout where FLayoutKey=? and FUserID=?"),
            {layoutKey, userId});
        for (; !rs.eof(); rs.moveNext())
            storedHidden.insert(rs.toInt(QStringLiteral("FColIndex")), rs.toInt(QStringLiteral("FHidden")));
    }
    conn.execute(QStringLiteral("delete from t_GridLayout where FLayoutKey=? and FUserID=?"), {layoutKey, userId});
    db::Connection::Statement insert = conn.prepare(
        QStringLiteral("insert into t_GridLayout (FLayoutKey, FUserID, FColIndex, FWidth, FHidden) values (?, ?, ?, ?, ?)"));
    for (int col = 0; col < grid->cols(); ++col) {
        const int hidden = storedHidden.value(col, grid->colHidden(col) ? 1 : 0);
        // A hidden column reports no width; keep the width it had when shown.
        const int width = grid->colHidden(col) ? 0 : grid->colWidthTwips(col);
        insert.exec({layoutKey, userId, col, width, hidden});
    }
    tx.commit();
}

} // namespace zostore::components
