// VNPrinter.DoPrint over Qt Print Support.
#include "components/printer/PrintComponent.h"

#include "components/PageSetComponent.h"
#include "components/Session.h"
#include "components/printer/GridPrinter.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "ui/Dialogs.h"
#include "ui/Grid.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace zostore::components {

namespace {

// Lines of a text array passed as a list, or as a list of rows.
QStringList flatten(const QVariant &v) {
    QStringList out;
    if (v.typeId() == QMetaType::QVariantList || v.typeId() == QMetaType::QStringList) {
        for (const QVariant &item : v.toList())
            out << flatten(item);
    } else if (!v.toString().isEmpty()) {
        out << v.toString();
    }
    return out;
}

// Page setup stores some grids under the key without the "."; the print key carries it.
QPageLayout pageLayoutFor(const QString &cnstr, const QString &layoutKey) {
    const int user = currentUserId();
    db::Connection conn(cnstr);
    const bool stored = conn.scalar(QStringLiteral("select count(*) from t_PageSetup where FLayoutKey=? and FUserID=?"),
                                    {layoutKey, user})
                            .toInt() > 0;
    QString key = layoutKey;
    if (!stored)
        key.remove(u'.');
    return PageSetComponent::load(cnstr, key, user);
}

} // namespace

PrintComponent::PrintComponent() : Component(ProgId) {
    addMethod(QStringLiteral("DoPrint"), 6, 6, [this](const QVariantList &a) {
        auto *grid = qobject_cast<ui::Grid *>(argObject(a, 5));
        if (!grid)
            throw Error(QStringLiteral("打印组件需要一个表格。"));
        DoPrint(argBool(a, 0), argText(a, 1), argText(a, 2), argText(a, 3), flatten(a.value(4)), grid);
        return QVariant();
    });
    addProperty(QStringLiteral("PageCount"), [this] { return QVariant(m_pages); });
}

void PrintComponent::DoPrint(bool print, const QString &cnstr, const QString &layoutKey, const QString &title,
                             const QStringList &subTitles, ui::Grid *grid) {
    // A tab caption's accelerator, "(&A)", is no part of a printed title.
    QString heading = title;
    heading.remove(QRegularExpression(QStringLiteral("\\(&\\w\\)"))).remove(u'&');
    const GridPrinter layout(*grid, heading, subTitles);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(pageLayoutFor(cnstr, layoutKey));
    printer.setDocName(heading);
    if (!print) {
        QPrintPreviewDialog preview(&printer, grid->window());
        preview.setWindowTitle(QStringLiteral("打印预览 - ") + heading);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [&](QPrinter *p) { m_pages = layout.paint(*p); });
        ui::dialogs().exec(preview);
        return;
    }
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        const QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString path = ui::dialogs().saveFileName(QStringLiteral("没有安装打印机，打印到PDF文件"),
                                                        QDir(dir).filePath(heading + QStringLiteral(".pdf")),
                                                        QStringLiteral("PDF 文件 (*.pdf)"));
        if (path.isEmpty())
            return;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        m_pages = layout.paint(printer);
        if (m_pages == 0)
            throw Error(QStringLiteral("无法写入文件 %1！").arg(QDir::toNativeSeparators(path)));
        return;
    }
    QPrintDialog dialog(&printer, grid->window());
    if (ui::dialogs().exec(dialog) == QDialog::Accepted)
        m_pages = layout.paint(printer);
}

} // namespace zostore::components
