// Flat pictograms drawn with painter paths in a 100 x 100 box.
#pragma once
#include <QColor>
#include <QPainter>

namespace artwork {

// ink: the pictogram's fill; paper: the colour behind it, used for cut-outs and detail strokes
struct Ink {
    QColor ink;
    QColor paper;
};

enum class Glyph {
    Cart,
    Register,
    Warehouse,
    Coins,
    Gear,
    Clipboard,
    BoxIn,
    Invoice,
    BoxReturn,
    CashPay,
    Check,
    Truck,
    Receipt,
    Clock,
    Drawer,
    MemberCard,
    CardPlus,
    Star,
    Scale,
    Gift,
    ClipboardLock,
    Printer,
    ClipboardPen,
    Transfer,
    Calendar,
    BoxOut,
    WalletIn,
    WalletOut,
    HandCoin,
    CoinBack,
    Exchange,
    Hourglass,
    Building,
    Folder,
    PriceTag,
    PriceTagDown,
    Users,
    BarChart,
    ListChart,
    PieChart,
    Cake,
    Help
};

void drawGlyph(QPainter &p, Glyph g, const QRectF &box, const Ink &ink);

} // namespace artwork
