#include "components/export/ExportComponent.h"

#include "accountdb/WorkFolder.h"
#include "components/export/GridSheet.h"
#include "db/Error.h"
#include "ui/Dialogs.h"
#include "ui/Grid.h"
#include "ui/WaitCursor.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace zostore::components {

namespace {

QString defaultFileName(const QString &title) {
    QString name = title.trimmed();
    static const QRegularExpression bad(QStringLiteral("[\\\\/:*?\"<>|]"));
    name.replace(bad, QStringLiteral("_"));
    if (name.isEmpty())
        name = QStringLiteral("导出数据");
    return QDir(accountdb::workFolder()).filePath(name + QStringLiteral(".xlsx"));
}

} // namespace

ExportComponent::ExportComponent() : Component(ProgId) {
    addMethod(QStringLiteral("DoExp"), 1, 2, [this](const QVariantList &a) {
        auto *grid = qobject_cast<ui::Grid *>(argObject(a, 0));
        if (!grid)
            throw Error(QStringLiteral("导出组件需要一个表格。"));
        return QVariant(DoExp(*grid, argText(a, 1)));
    });
    addProperty(QStringLiteral("FileName"), [this] { return QVariant(m_lastFile); });
}

bool ExportComponent::DoExp(const ui::Grid &grid, const QString &title) {
    QString path =
        ui::dialogs().saveFileName(QStringLiteral("导出到文件"), defaultFileName(title),
                                   QStringLiteral("Excel 工作簿 (*.xlsx);;CSV 文件，UTF-8 (*.csv)"));
    if (path.isEmpty())
        return false;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("xlsx") && suffix != QLatin1String("csv"))
        path += QStringLiteral(".xlsx");
    {
        ui::WaitCursor wait;
        sheet::writeSheet(sheet::sheetFromGrid(grid, title), path);
    }
    m_lastFile = path;
    ui::dialogs().info(QStringLiteral("数据已导出到：") + QDir::toNativeSeparators(path));
    return true;
}

} // namespace zostore::components
