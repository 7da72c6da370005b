// Every output goes through one paint routine, so the preview shows exactly what the printer gets.
#include "components/labels/LabelPrintComponent.h"

#include "components/labels/BillPages.h"
#include "components/labels/LabelFormatStore.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/MessageText.h"
#include "db/Recordset.h"
#include "ui/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSet>
#include <QStandardPaths>
#include <QToolBar>
#include <functional>

namespace zostore::components::labels {

namespace {

// One run of output, the same for the preview, a PDF file and the printer.
using Run = std::function<int(QPagedPaintDevice &)>;

int paintRun(QPagedPaintDevice &device, const LabelFormat &format, const QList<LabelData> &labels,
             const PrinterSetup &setup) {
    const LabelSheet sheet(format, setup.paperMm, columnsOf(labels, format), setup.offsetMm);
    LabelRenderer renderer(format);
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    const int pages = sheet.paint(device, painter, renderer, labels);
    painter.end();
    return pages;
}

int paintBills(QPagedPaintDevice &device, const LabelFormat &format, const QList<BillPage> &pages,
               const PrinterSetup &setup) {
    LabelRenderer renderer(format);
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    const int used = paintBillPages(device, painter, renderer, pages, setup.offsetMm);
    painter.end();
    return used;
}

int writePdfRun(const QString &path, const QString &title, const PrinterSetup &setup, int dpi, const Run &run) {
    QPdfWriter pdf(path);
    pdf.setResolution(dpi);
    pdf.setCreator(QStringLiteral("ZoStore"));
    pdf.setTitle(title);
    pdf.setPageLayout(QPageLayout(QPageSize(setup.paperMm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                                  QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    const int pages = run(pdf);
    if (pages == 0)
        throw Error(QStringLiteral("无法写入文件 %1！请检查文件夹是否可写。").arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
    return pages;
}

// Barcodes that cannot be made are named before anything is printed.
QStringList barcodeProblems(const LabelFormat &format, const QList<LabelData> &labels) {
    QStringList problems;
    QSet<QString> seen;
    for (const LabelElement &e : format.elements) {
        if (e.kind != LabelElement::Kind::Barcode)
            continue;
        for (const LabelData &d : labels) {
            const QString v = d.values.value(e.field).trimmed();
            if (v.isEmpty() || seen.contains(v))
                continue;
            seen.insert(v);
            try {
                encodeBarcode(e.symbology, v, false);
            } catch (const Error &err) {
                problems << d.values.value(QStringLiteral("FName")) + QStringLiteral("：") + err.description();
            }
        }
    }
    return problems;
}

QString pdfTarget(const QString &caption, const QString &formatName) {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return ui::dialogs().saveFileName(caption, QDir(dir).filePath(formatName + QStringLiteral(".pdf")),
                                      QStringLiteral("PDF 文件 (*.pdf)"));
}

} // namespace

LabelPrintComponent::LabelPrintComponent() : Component(ProgId) {
    addMethod(QStringLiteral("DoPrint"), 7, 7, [this](const QVariantList &a) {
        const auto labels = a.value(5).value<QSharedPointer<db::Recordset>>();
        if (!labels)
            throw Error(QStringLiteral("打印标签需要标签数据。"));
        DoPrint(argBool(a, 0), argText(a, 1), argInt(a, 2), argBool(a, 3), argBool(a, 4), labels, argText(a, 6));
        return QVariant();
    });
    addProperty(QStringLiteral("PageCount"), [this] { return QVariant(m_pages); });
}

int LabelPrintComponent::writePdf(const QString &path, const LabelFormat &format, const QList<LabelData> &labels,
                                  const PrinterSetup &setup, int dpi) {
    if (labels.isEmpty())
        return 0;
    return writePdfRun(path, format.name, setup, dpi,
                       [&](QPagedPaintDevice &d) { return paintRun(d, format, labels, setup); });
}

void LabelPrintComponent::DoPrint(bool printNow, const QString &cnstr, int tranType, bool askPrinter, bool preview,
                                  const QSharedPointer<db::Recordset> &labelData, const QString &formatName) {
    m_pages = 0;
    requireFormatType(tranType);
    LabelFormat format;
    {
        db::Connection conn(cnstr);
        format = LabelFormatStore(conn, tranType).load(formatName);
    }
    const QString what = format.isBill() ? QStringLiteral("打印格式") : QStringLiteral("标签格式");
    if (format.elements.isEmpty())
        throw Error(QStringLiteral("%1“%2”还没有设计版面，请先点“调用套打设计器”设计。").arg(what, db::shortened(formatName)));
    const PrinterSetup setup = PrinterSetup::load(formatName);
    Run run;
    QString noun;
    if (format.isBill()) {
        const QList<BillPage> pages = billPages(format, *labelData);
        checkBillPaper(format, setup.paperMm);
        run = [format, pages, setup](QPagedPaintDevice &d) { return paintBills(d, format, pages, setup); };
        noun = QStringLiteral("单据");
    } else {
        const QList<LabelData> labels = labelsFromRecordset(*labelData);
        if (labels.isEmpty()) {
            ui::dialogs().info(QStringLiteral("没有要打印的标签。"));
            return;
        }
        // Refuses a row that does not fit before any output begins.
        const LabelSheet check(format, setup.paperMm, columnsOf(labels, format), setup.offsetMm);
        if (const QStringList problems = barcodeProblems(format, labels); !problems.isEmpty()) {
            const QString list = problems.mid(0, 5).join(u'\n') +
                                 (problems.size() > 5 ? QStringLiteral("\n……共 %1 个").arg(problems.size()) : QString());
            if (ui::dialogs().question(QStringLiteral("以下条码无法打印，这些标签上会印出红框：\n%1\n\n是否继续打印？").arg(list),
                                       ui::Icon::Question, ui::Answer::No) != ui::Answer::Yes)
                return;
        }
        run = [format, labels, setup](QPagedPaintDevice &d) { return paintRun(d, format, labels, setup); };
        noun = QStringLiteral("标签");
    }

    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(format.name);
    const bool havePrinters = !QPrinterInfo::availablePrinters().isEmpty();
    const bool found = setup.applyTo(printer);
    if (!found && havePrinters)
        ui::dialogs().warning(QStringLiteral("找不到为%1“%2”设置的打印机“%3”，改用默认打印机。")
                                  .arg(what, db::shortened(formatName), db::shortened(setup.printerName)));

    if (!printNow && !askPrinter && preview) {
        QPrintPreviewDialog dialog(&printer, QApplication::activeWindow());
        dialog.setWindowTitle(noun + QStringLiteral("预览 - ") + format.name);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                         [&](QPrinter *p) { m_pages = run(*p); });
        if (auto *bar = dialog.findChild<QToolBar *>()) {
            QAction *pdf = bar->addAction(QStringLiteral("导出PDF"));
            QObject::connect(pdf, &QAction::triggered, &dialog, [&] {
                const QString path = pdfTarget(QStringLiteral("把%1导出为 PDF 文件").arg(noun), format.name);
                if (path.isEmpty())
                    return;
                try {
                    const int pages = writePdfRun(path, format.name, setup, 600, run);
                    ui::dialogs().info(
                        QStringLiteral("已导出 %1 页%2到 %3").arg(pages).arg(noun, QDir::toNativeSeparators(path)));
                } catch (const Error &e) {
                    ui::dialogs().info(e.description());
                }
            });
        }
        ui::dialogs().exec(dialog);
        return;
    }
    if (!havePrinters) {
        const QString path = pdfTarget(QStringLiteral("没有安装打印机，打印到PDF文件"), format.name);
        if (path.isEmpty())
            return;
        m_pages = writePdfRun(path, format.name, setup, 600, run);
        return;
    }
    if (askPrinter) {
        QPrintDialog dialog(&printer, QApplication::activeWindow());
        if (ui::dialogs().exec(dialog) != QDialog::Accepted)
            return;
    }
    m_pages = run(printer);
    if (m_pages == 0)
        throw Error(QStringLiteral("打印机“%1”无法开始打印，请检查打印机。").arg(printer.printerName()));
}

} // namespace zostore::components::labels
