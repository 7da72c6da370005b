// Scale PLU file of 20,000 items and 1,000 price labels to PDF, each against the straightforward way of doing it.
#include "components/labels/Barcode.h"
#include "components/labels/LabelFormat.h"
#include "components/labels/LabelPrintComponent.h"
#include "components/labels/LabelRenderer.h"
#include "components/labels/LabelSheet.h"
#include "components/labels/PrinterSetup.h"
#include "counter/PluExport.h"
#include "ui/Grid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTextStream>

using namespace zostore;
using namespace zostore::components::labels;

namespace {

constexpr int Items = 20000;
constexpr int Labels = 1000;
constexpr int Dpi = 600;

double msSince(const QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

QString ean13(int i) {
    const QString body = QStringLiteral("69%1").arg(i, 10, 10, QLatin1Char('0'));
    return body + QString::number(eanCheckDigit(body));
}

void fillGrid(ui::Grid &g) {
    const QStringList keys{QStringLiteral("FNumber"), QStringLiteral("FName"), QStringLiteral("FShopNumber"),
                           QStringLiteral("FPriceText")};
    g.setCols(int(keys.size()));
    g.setFixedRows(1);
    QVector<QString> cells;
    cells.reserve(Items * keys.size());
    const QStringList captions{QStringLiteral("商品编码"), QStringLiteral("商品名称"), QStringLiteral("店内码"),
                               QStringLiteral("零售价")};
    for (int i = 0; i < Items; ++i)
        cells << QStringLiteral("%1").arg(i + 1, 7, 10, QLatin1Char('0'))
              << QStringLiteral("散装称重商品%1号").arg(i % 977) << QStringLiteral("2%1").arg(i, 12, 10, QLatin1Char('0'))
              << QString::number(1 + (i * 37 % 9000) / 100.0, 'f', 2);
    g.setData(Items, int(keys.size()), cells);
    g.setHeaders(captions);
    for (int c = 0; c < keys.size(); ++c)
        g.setColKey(c, keys[c]);
}

// One line encoded and written at a time, unbuffered, without the check for names GBK cannot hold.
int pluLineByLine(const QString &path, const ui::Grid &g, const QString &lead) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return -1;
    QStringEncoder gbk("GBK");
    int lines = 0;
    for (int r = 1; r < g.rows(); ++r) {
        const QString code = g.textMatrix(r, 0);
        if (code.isEmpty())
            break;
        const QString plu = g.textMatrix(r, 2).right(5);
        const QByteArray line = gbk.encode(plu + u',' + g.textMatrix(r, 1) + u',' + g.textMatrix(r, 3) +
                                           QStringLiteral(",1,") + lead + plu + QStringLiteral(",30,01,1,2\r\n"));
        f.write(line);
        ++lines;
    }
    return lines;
}

LabelFormat priceLabel() {
    LabelFormat f;
    f.name = QStringLiteral("商品价签60×40");
    f.width = 60;
    f.height = 40;
    f.gapX = 3;
    f.gapY = 3;
    f.marginLeft = 8;
    f.marginTop = 10;
    f.columns = 3;
    auto add = [&](LabelElement::Kind kind, QRectF r, const QString &field, double size, const QString &text = {}) {
        LabelElement e;
        e.kind = kind;
        e.rect = r;
        e.field = field;
        e.fontSize = size;
        e.text = text;
        f.elements.append(e);
    };
    add(LabelElement::Kind::Box, QRectF(0.5, 0.5, 59, 39), {}, 0);
    add(LabelElement::Kind::Field, QRectF(3, 2, 54, 7), QStringLiteral("FName"), 11);
    add(LabelElement::Kind::Field, QRectF(3, 9.5, 30, 5), QStringLiteral("FModel"), 7, QStringLiteral("规格："));
    add(LabelElement::Kind::Price, QRectF(30, 16, 27, 10), QStringLiteral("FPriceText"), 18, QStringLiteral("¥"));
    add(LabelElement::Kind::Barcode, QRectF(3, 26, 40, 12), QStringLiteral("FBarCode"), 0);
    return f;
}

QList<LabelData> labelRun(int columns) {
    QList<LabelData> run;
    for (int i = 0; i < Labels; ++i)
        run.append({i / columns, i % columns,
                    {{QStringLiteral("FName"), QStringLiteral("农夫山泉天然水%1").arg(i % 50)},
                     {QStringLiteral("FModel"), QStringLiteral("%1ml").arg(300 + i % 7 * 50)},
                     {QStringLiteral("FPriceText"), QString::number(1 + i % 90 / 10.0, 'f', 2)},
                     {QStringLiteral("FBarCode"), ean13(i % 300)}}});
    return run;
}

// Each label drawn into its own picture first, then the pictures placed on the pages.
int pdfThroughImages(const QString &path, const LabelFormat &format, const QList<LabelData> &labels,
                     const PrinterSetup &setup) {
    const LabelSheet sheet(format, setup.paperMm, format.columns);
    QPdfWriter pdf(path);
    pdf.setResolution(Dpi);
    pdf.setPageSize(QPageSize(setup.paperMm, QPageSize::Millimeter));
    pdf.setPageMargins(QMarginsF());
    QPainter painter(&pdf);
    LabelRenderer renderer(format);
    const double pxPerMm = Dpi / 25.4;
    int page = 0;
    for (const LabelData &l : labels) {
        const Placement p = sheet.place(l);
        if (p.page != page) {
            pdf.newPage();
            page = p.page;
        }
        QImage image(qRound(format.width * pxPerMm), qRound(format.height * pxPerMm), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter ip(&image);
        renderer.paint(ip, {}, pxPerMm, l.values);
        ip.end();
        painter.drawImage(QPointF(p.topLeft.x() * pxPerMm, p.topLeft.y() * pxPerMm), image);
    }
    return page + 1;
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;

    ui::Grid grid;
    fillGrid(grid);
    QElapsedTimer t;
    t.start();
    const int lines = counter::writePluFile(dir.filePath(QStringLiteral("plu.txt")), grid, QStringLiteral("22"));
    const double plu = msSince(t);
    t.restart();
    const int baseLines = pluLineByLine(dir.filePath(QStringLiteral("plu-lines.txt")), grid, QStringLiteral("22"));
    const double pluBase = msSince(t);
    const QByteArray bytes = counter::pluFileContent(grid, QStringLiteral("22"));
    t.restart();
    {
        QFile f(dir.filePath(QStringLiteral("plu-bare.txt")));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }
    const double bare = msSince(t);
    out << QStringLiteral("PLU file, %1 items (%2 lines, %3 KB): %4 ms; line by line unbuffered (%5 lines): %6 ms, "
                          "ratio %7x; writing the same bytes at once: %8 ms\n")
               .arg(Items)
               .arg(lines)
               .arg(bytes.size() / 1024)
               .arg(plu, 0, 'f', 1)
               .arg(baseLines)
               .arg(pluBase, 0, 'f', 1)
               .arg(pluBase / plu, 0, 'f', 1)
               .arg(bare, 0, 'f', 2);

    const LabelFormat format = priceLabel();
    const QList<LabelData> labels = labelRun(format.columns);
    PrinterSetup setup;
    t.restart();
    const int pages = LabelPrintComponent::writePdf(dir.filePath(QStringLiteral("labels.pdf")), format, labels, setup, Dpi);
    const double pdf = msSince(t);
    t.restart();
    const int basePages = pdfThroughImages(dir.filePath(QStringLiteral("labels-images.pdf")), format, labels, setup);
    const double pdfBase = msSince(t);
    out << QStringLiteral("%1 labels to PDF at %2 dpi (%3 pages, %4 KB): %5 ms; through one picture per label "
                          "(%6 pages, %7 KB): %8 ms, ratio %9x\n")
               .arg(Labels)
               .arg(Dpi)
               .arg(pages)
               .arg(QFileInfo(dir.filePath(QStringLiteral("labels.pdf"))).size() / 1024)
               .arg(pdf, 0, 'f', 1)
               .arg(basePages)
               .arg(QFileInfo(dir.filePath(QStringLiteral("labels-images.pdf"))).size() / 1024)
               .arg(pdfBase, 0, 'f', 1)
               .arg(pdfBase / pdf, 0, 'f', 1);
    return 0;
}
