#include "components/export/SheetImport.h"

#include "components/export/SheetReader.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "ui/Dialogs.h"
#include "ui/ErrorTrap.h"
#include "ui/WaitCursor.h"

namespace zostore::components::sheet {

QString ImportReport::text() const {
    QStringList lines;
    for (const RowProblem &p : bad)
        lines << QStringLiteral("第 %1 行：%2").arg(p.row).arg(p.reason);
    return lines.join(u'\n');
}

bool blankRow(const QStringList &row) {
    for (const QString &c : row)
        if (!c.trimmed().isEmpty())
            return false;
    return true;
}

QHash<QString, int> headerColumns(const QList<QStringList> &rows, const QStringList &known,
                                  const QStringList &required) {
    if (rows.isEmpty())
        throw Error(
            QStringLiteral("文件是空的：第 1 行应是列标题（%1）。").arg(known.join(QStringLiteral("、"))));
    QHash<QString, int> at;
    const QStringList &header = rows.first();
    for (int c = 0; c < header.size(); ++c) {
        const QString h = header[c].trimmed();
        if (h.isEmpty())
            continue;
        if (!known.contains(h))
            throw Error(QStringLiteral("第 1 行：不认识的列标题“%1”（可用的有：%2）。")
                            .arg(db::shortened(h), known.join(QStringLiteral("、"))));
        if (at.contains(h))
            throw Error(QStringLiteral("第 1 行：列标题“%1”出现了两次。").arg(h));
        at[h] = c;
    }
    for (const QString &r : required)
        if (!at.contains(r))
            throw Error(QStringLiteral("第 1 行：缺少列“%1”。").arg(r));
    return at;
}

bool importFromFile(const QString &cnstr, const QString &what, const ImportRun &run) {
    const QString path = ui::dialogs().openFileName(QStringLiteral("导入%1").arg(what), QString(),
                                                    QStringLiteral("Excel 或 CSV 文件 (*.xlsx *.csv)"));
    if (path.isEmpty())
        return false;
    bool done = false;
    ui::errorTrap([&] {
        ui::WaitCursor wait;
        const QList<QStringList> rows = readSheet(path);
        db::Connection conn(cnstr);
        ImportReport r = run(conn, rows, false);
        if (!r.bad.isEmpty()) {
            QStringList lines = r.text().split(u'\n');
            if (lines.size() > 15)
                lines = lines.mid(0, 15) << QStringLiteral("……（共 %1 行有错）").arg(r.bad.size());
            if (ui::dialogs().question(
                    QStringLiteral(
                        "下面这些行有错，整个文件都没有导入：\n%1\n\n是否跳过这些行，只导入正确的行？")
                        .arg(lines.join(u'\n'))) != ui::Answer::Yes)
                return;
            r = run(conn, rows, true);
        }
        ui::dialogs().info(
            QStringLiteral("已导入 %1 行%2。")
                .arg(r.imported)
                .arg(r.bad.isEmpty() ? QString() : QStringLiteral("，跳过有错的 %1 行").arg(r.bad.size())));
        done = true;
    });
    return done;
}

} // namespace zostore::components::sheet
