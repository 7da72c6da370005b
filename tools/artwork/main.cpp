// Draws the main window's pictures into a picture folder: zostore-artwork <folder>.
#include "Glyphs.h"
#include "shell/MainLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>

using namespace artwork;
namespace L = zostore::shell::layout;

namespace {

constexpr qreal Scale = 2.0; // pictures are stored at twice their logical size for HiDPI screens

const QColor Content(0xF2, 0xF4, 0xF8);
const QColor Card(0xFF, 0xFF, 0xFF);
const QColor Sidebar(0xFF, 0xFF, 0xFF);
const QColor TextDark(0x2E, 0x37, 0x45);
const QColor BannerTop(0x1F, 0x4E, 0x79);
const QColor BannerBottom(0x2C, 0x6E, 0x9E);

struct Module {
    QColor colour;
    QString name;
    Glyph glyph;
};

const Module Modules[5] = {
    {QColor(0x3B, 0x7D, 0xD8), QStringLiteral("采购管理"), Glyph::Cart},
    {QColor(0xE0, 0x7A, 0x5F), QStringLiteral("前台与会员"), Glyph::Register},
    {QColor(0x2A, 0x9D, 0x8F), QStringLiteral("仓库管理"), Glyph::Warehouse},
    {QColor(0xC9, 0x93, 0x2C), QStringLiteral("资金费用"), Glyph::Coins},
    {QColor(0x7A, 0x6F, 0xD0), QStringLiteral("基础资料"), Glyph::Gear},
};

// Function pictograms by module and button (button 7 of module 1 exists although never shown)
const QList<Glyph> Buttons[5] = {
    {Glyph::Clipboard, Glyph::BoxIn, Glyph::Invoice, Glyph::BoxReturn, Glyph::CashPay, Glyph::Check,
     Glyph::Truck},
    {Glyph::Receipt, Glyph::Clock, Glyph::Drawer, Glyph::MemberCard, Glyph::CardPlus, Glyph::Star,
     Glyph::Scale, Glyph::Gift},
    {Glyph::ClipboardLock, Glyph::Printer, Glyph::ClipboardPen, Glyph::Transfer, Glyph::Calendar,
     Glyph::BoxIn, Glyph::BoxOut},
    {Glyph::WalletIn, Glyph::WalletOut, Glyph::Receipt, Glyph::HandCoin, Glyph::CoinBack, Glyph::Exchange,
     Glyph::Hourglass, Glyph::Building},
    {Glyph::Folder, Glyph::PriceTag, Glyph::PriceTagDown, Glyph::Gear, Glyph::Users},
};

QColor tint(const QColor &c, qreal amount) {
    // amount 0 gives white, 1 the colour itself
    return QColor::fromRgbF(1 - (1 - c.redF()) * amount, 1 - (1 - c.greenF()) * amount,
                            1 - (1 - c.blueF()) * amount);
}

QFont uiFont(qreal pixels, bool bold = false) {
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(qRound(pixels));
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QImage canvas(qreal twipsW, qreal twipsH, const QColor &fill, qreal scale = Scale) {
    QImage img(qRound(twipsW / L::TwipsPerPixel * scale), qRound(twipsH / L::TwipsPerPixel * scale),
               QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

void begin(QPainter &p, QImage &img, qreal scale = Scale) {
    p.begin(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
}

bool save(const QImage &img, const QString &path) {
    QDir().mkpath(QFileInfo(path).path());
    if (!img.save(path, "JPG", 95)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

void softShadow(QPainter &p, const QRectF &r, qreal radius) {
    for (int i = 6; i >= 1; --i) {
        QPainterPath path;
        path.addRoundedRect(r.adjusted(-i, -i + 2, i, i + 2), radius + i, radius + i);
        p.fillPath(path, QColor(30, 50, 80, 5));
    }
}

void roundedCard(QPainter &p, const QRectF &r, qreal radius, const QColor &c) {
    softShadow(p, r, radius);
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    p.fillPath(path, c);
}

QImage pictureButton(const Module &m, Glyph g) {
    QImage img = canvas(L::ButtonSize, L::ButtonSize, Card);
    QPainter p;
    begin(p, img);
    const qreal s = L::ButtonSize / qreal(L::TwipsPerPixel);
    QRectF tile(4, 4, s - 8, s - 8);
    QLinearGradient grad(tile.topLeft(), tile.bottomLeft());
    grad.setColorAt(0, tint(m.colour, 0.16));
    grad.setColorAt(1, tint(m.colour, 0.26));
    QPainterPath path;
    path.addRoundedRect(tile, 18, 18);
    p.fillPath(path, grad);
    drawGlyph(p, g, tile.adjusted(15, 15, -15, -15), {m.colour, tint(m.colour, 0.2)});
    p.end();
    return img;
}

// state 0 normal, 1 pointer over, 2 current
QImage moduleImage(const Module &m, int state) {
    QImage img = canvas(L::ModuleWidth, L::ModuleHeight, Sidebar);
    QPainter p;
    begin(p, img);
    const qreal w = L::ModuleWidth / qreal(L::TwipsPerPixel), h = L::ModuleHeight / qreal(L::TwipsPerPixel);
    QRectF r(1, 1, w - 2, h - 2);
    QPainterPath body;
    body.addRoundedRect(r, 10, 10);
    QColor text = TextDark, iconInk = m.colour, iconPaper = tint(m.colour, 0.15);
    if (state == 1) {
        p.fillPath(body, tint(m.colour, 0.12));
    } else if (state == 2) {
        QLinearGradient grad(r.topLeft(), r.topRight());
        grad.setColorAt(0, m.colour);
        grad.setColorAt(1, m.colour.lighter(118));
        p.fillPath(body, grad);
        text = Qt::white;
        iconInk = Qt::white;
        iconPaper = m.colour;
    }
    QRectF iconTile(8, (h - 34) / 2, 34, 34);
    QPainterPath tile;
    tile.addRoundedRect(iconTile, 9, 9);
    p.fillPath(tile, state == 2 ? m.colour.darker(112) : tint(m.colour, 0.15));
    drawGlyph(p, m.glyph, iconTile.adjusted(5, 5, -5, -5),
              {iconInk, state == 2 ? m.colour.darker(112) : iconPaper});
    p.setPen(text);
    p.setFont(uiFont(15, state == 2));
    p.drawText(QRectF(52, 0, w - 60, h), Qt::AlignVCenter | Qt::AlignLeft, m.name);
    if (state == 2) {
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const qreal x = w - 18, y = h / 2;
        p.drawPolyline(QPolygonF({QPointF(x - 3, y - 5), QPointF(x + 2, y), QPointF(x - 3, y + 5)}));
    }
    p.end();
    return img;
}

void drawBanner(QPainter &p, qreal width) {
    const qreal h = L::BannerHeight / qreal(L::TwipsPerPixel);
    QLinearGradient grad(0, 0, 0, h);
    grad.setColorAt(0, BannerTop);
    grad.setColorAt(1, BannerBottom);
    p.fillRect(QRectF(0, 0, width, h), grad);
}

QImage background() {
    const qreal w = 2560, h = 1600;
    QImage img(int(w), int(h), QImage::Format_RGB32);
    img.fill(Content);
    QPainter p;
    begin(p, img, 1.0);
    const qreal tp = L::TwipsPerPixel;
    drawBanner(p, w);
    const qreal bh = L::BannerHeight / tp;
    // Quiet decoration on the banner: large translucent rings
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        QRadialGradient rg(QPointF(360 + i * 420, bh * (i % 2 ? 1.2 : -0.3)), 150 + 30 * (i % 3));
        rg.setColorAt(0, QColor(255, 255, 255, 22));
        rg.setColorAt(1, QColor(255, 255, 255, 0));
        p.setBrush(rg);
        p.drawEllipse(QPointF(360 + i * 420, bh * (i % 2 ? 1.2 : -0.3)), 180, 180);
    }
    // Product mark and title
    QRectF mark(24, 44, 52, 52);
    QPainterPath markPath;
    markPath.addRoundedRect(mark, 14, 14);
    p.fillPath(markPath, QColor(255, 255, 255, 235));
    drawGlyph(p, Glyph::Cart, mark.adjusted(9, 9, -9, -9), {BannerTop, Qt::white});
    p.setPen(Qt::white);
    p.setFont(uiFont(26, true));
    p.drawText(QPointF(92, 76), QStringLiteral("ZoStore 商业管理系统"));
    p.setPen(QColor(255, 255, 255, 190));
    p.setFont(uiFont(13));
    p.drawText(QPointF(94, 100), QStringLiteral("采购 · 门店 · 仓库 · 资金 · 会员  一体化后台"));

    // Sidebar that carries the module images
    p.fillRect(QRectF(0, bh, L::SidebarWidth / tp, h - bh), Sidebar);
    p.fillRect(QRectF(L::SidebarWidth / tp - 1, bh, 1, h - bh), QColor(0xE1, 0xE6, 0xEE));
    p.setPen(QColor(0x8A, 0x96, 0xA8));
    p.setFont(uiFont(12));
    p.drawText(QPointF(L::ModuleLeft / tp + 6, (L::ModuleTop - 260) / tp), QStringLiteral("功能模块"));

    // Cards behind the picture buttons and the report panel
    roundedCard(p,
                QRectF(L::CardLeft / tp, L::CardTop / tp, (L::CardRight - L::CardLeft) / tp,
                       (L::CardBottom - L::CardTop) / tp),
                14, Card);
    // A quiet watermark on the wide-screen side, beyond the report panel
    const QColor faint(0xE8, 0xEC, 0xF2);
    const struct {
        Glyph g;
        qreal x, y, size;
    } marks[] = {{Glyph::Warehouse, 1200, 560, 150}, {Glyph::Truck, 1390, 620, 120},
                 {Glyph::Register, 1250, 760, 110},  {Glyph::Cart, 1420, 800, 120},
                 {Glyph::Coins, 1640, 560, 130},     {Glyph::MemberCard, 1800, 640, 130},
                 {Glyph::Scale, 1660, 780, 120},     {Glyph::Gift, 1850, 810, 110},
                 {Glyph::Clipboard, 2050, 580, 130}, {Glyph::PriceTag, 2230, 650, 120},
                 {Glyph::BoxIn, 2070, 780, 120},     {Glyph::Users, 2260, 820, 110}};
    for (const auto &m : marks)
        drawGlyph(p, m.g, QRectF(m.x, m.y, m.size, m.size), {faint, Content});
    p.end();
    return img;
}

QImage helpImage() {
    QImage img = canvas(L::HelpWidth, L::HelpHeight, BannerTop);
    QPainter p;
    begin(p, img);
    const qreal tp = L::TwipsPerPixel;
    const qreal w = L::HelpWidth / tp, h = L::HelpHeight / tp;
    // Repeats the banner's vertical gradient so the picture sits seamlessly on it
    const qreal bh = L::BannerHeight / tp, top = L::HelpTop / tp;
    QLinearGradient grad(0, -top, 0, bh - top);
    grad.setColorAt(0, BannerTop);
    grad.setColorAt(1, BannerBottom);
    p.fillRect(QRectF(0, 0, w, h), grad);
    QRectF pill(1, 4, w - 2, h - 8);
    QPainterPath path;
    path.addRoundedRect(pill, pill.height() / 2, pill.height() / 2);
    p.fillPath(path, QColor(255, 255, 255, 40));
    p.setPen(QPen(QColor(255, 255, 255, 120), 1));
    p.drawPath(path);
    drawGlyph(p, Glyph::Help, QRectF(8, 10, h - 20, h - 20), {Qt::white, BannerBottom});
    p.setPen(Qt::white);
    p.setFont(uiFont(14, true));
    p.drawText(QRectF(h - 6, 0, w - h, h), Qt::AlignCenter, QStringLiteral("帮助 F1"));
    p.end();
    return img;
}

QImage separatorImage() {
    QImage img = canvas(L::SepWidth, L::SepHeight, Card);
    QPainter p;
    begin(p, img);
    const qreal tp = L::TwipsPerPixel;
    const qreal w = L::SepWidth / tp, h = L::SepHeight / tp;
    const QColor accent(0x2C, 0x6E, 0x9E);
    drawGlyph(p, Glyph::BarChart, QRectF(4, 2, h - 6, h - 6), {accent, Card});
    p.setPen(TextDark);
    p.setFont(uiFont(14, true));
    p.drawText(QRectF(h + 4, 0, w, h - 3), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("常用报表"));
    p.fillRect(QRectF(0, h - 1.5, w, 1.5), QColor(0xE1, 0xE6, 0xEE));
    p.fillRect(QRectF(0, h - 2.5, 70, 2.5), accent);
    p.end();
    return img;
}

QImage reportHeader(Glyph g, const QColor &c) {
    QImage img = canvas(L::ReportHeaderWidth, L::ReportHeaderHeight, Card);
    QPainter p;
    begin(p, img);
    const qreal tp = L::TwipsPerPixel;
    const qreal w = L::ReportHeaderWidth / tp, h = L::ReportHeaderHeight / tp;
    QRectF pill(1, 2, w - 2, h - 4);
    QPainterPath path;
    path.addRoundedRect(pill, 6, 6);
    p.fillPath(path, tint(c, 0.16));
    drawGlyph(p, g, QRectF((w - (h - 8)) / 2, 4, h - 8, h - 8), {c, tint(c, 0.16)});
    p.end();
    return img;
}

QImage orderImage() {
    QImage img = canvas(L::OrderSize, L::OrderSize, Card);
    QPainter p;
    begin(p, img);
    const qreal s = L::OrderSize / qreal(L::TwipsPerPixel);
    const QColor c(0xE0, 0x6C, 0x8C);
    QPainterPath path;
    path.addRoundedRect(QRectF(2, 2, s - 4, s - 4), 12, 12);
    p.fillPath(path, tint(c, 0.15));
    drawGlyph(p, Glyph::Cake, QRectF(8, 8, s - 16, s - 16), {c, tint(c, 0.15)});
    p.end();
    return img;
}

// Every small picture on one page, for reviewing the set at a glance
bool contactSheet(const QString &dir, const QString &out) {
    QImage sheet(1400, 1150, QImage::Format_RGB32);
    sheet.fill(Content);
    QPainter p(&sheet);
    qreal y = 10;
    for (int m = 1; m <= 5; ++m) {
        qreal x = 10;
        for (int i = 1; QFile::exists(QStringLiteral("%1/%2/%3.jpg").arg(dir).arg(m).arg(i)); ++i) {
            QImage img(QStringLiteral("%1/%2/%3.jpg").arg(dir).arg(m).arg(i));
            p.drawImage(QPointF(x, y), img);
            x += img.width() + 8;
        }
        y += 170;
    }
    for (int m = 1; m <= 5; ++m) {
        qreal x = 10;
        for (int s = 0; s < 3; ++s) {
            QImage img(QStringLiteral("%1/%2-%3.jpg").arg(dir).arg(m).arg(s));
            p.drawImage(QPointF(x, y), img);
            x += img.width() + 8;
        }
        y += 100;
    }
    y -= 480;
    qreal x = 1000;
    for (const char *name : {"Report_1", "Report_2", "Report_3", "Sep", "Help", "Order"}) {
        QImage img(QStringLiteral("%1/%2.jpg").arg(dir, QLatin1String(name)));
        p.drawImage(QPointF(x, y), img);
        y += img.height() + 8;
    }
    p.end();
    return sheet.save(out);
}

} // namespace

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: zostore-artwork <picture folder> [contact sheet.png]\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    bool ok = save(background(), dir + QStringLiteral("/Background.jpg"));
    for (int m = 1; m <= 5; ++m) {
        for (int state = 0; state < 3; ++state)
            ok &= save(moduleImage(Modules[m - 1], state),
                       QStringLiteral("%1/%2-%3.jpg").arg(dir).arg(m).arg(state));
        const QList<Glyph> &glyphs = Buttons[m - 1];
        for (int i = 1; i <= glyphs.size(); ++i)
            ok &= save(pictureButton(Modules[m - 1], glyphs[i - 1]),
                       QStringLiteral("%1/%2/%3.jpg").arg(dir).arg(m).arg(i));
    }
    ok &=
        save(reportHeader(Glyph::BarChart, QColor(0x3B, 0x7D, 0xD8)), dir + QStringLiteral("/Report_1.jpg"));
    ok &=
        save(reportHeader(Glyph::ListChart, QColor(0x2A, 0x9D, 0x8F)), dir + QStringLiteral("/Report_2.jpg"));
    ok &=
        save(reportHeader(Glyph::PieChart, QColor(0xC9, 0x93, 0x2C)), dir + QStringLiteral("/Report_3.jpg"));
    ok &= save(separatorImage(), dir + QStringLiteral("/Sep.jpg"));
    ok &= save(helpImage(), dir + QStringLiteral("/Help.jpg"));
    ok &= save(orderImage(), dir + QStringLiteral("/Order.jpg"));
    if (argc == 3)
        ok &= contactSheet(dir, QString::fromLocal8Bit(argv[2]));
    return ok ? 0 : 1;
}
