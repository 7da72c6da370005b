// Flat pictograms: rounded shapes in one ink colour with cut-outs in the paper colour.
#include "Glyphs.h"

#include <QPainterPath>
#include <QtMath>

namespace artwork {
namespace {

class Canvas {
public:
    Canvas(QPainter &p, const Ink &ink) : m_p(p), m_ink(ink) {}

    QColor ink() const { return m_ink.ink; }
    QColor paper() const { return m_ink.paper; }

    void rect(qreal x, qreal y, qreal w, qreal h, qreal r, const QColor &c) {
        QPainterPath path;
        path.addRoundedRect(QRectF(x, y, w, h), r, r);
        fill(path, c);
    }
    void circle(qreal cx, qreal cy, qreal r, const QColor &c) {
        QPainterPath path;
        path.addEllipse(QPointF(cx, cy), r, r);
        fill(path, c);
    }
    void ellipse(qreal cx, qreal cy, qreal rx, qreal ry, const QColor &c) {
        QPainterPath path;
        path.addEllipse(QPointF(cx, cy), rx, ry);
        fill(path, c);
    }
    void poly(std::initializer_list<QPointF> pts, const QColor &c) {
        QPainterPath path;
        bool first = true;
        for (const QPointF &pt : pts) {
            if (first)
                path.moveTo(pt);
            else
                path.lineTo(pt);
            first = false;
        }
        path.closeSubpath();
        fill(path, c);
    }
    void line(qreal x1, qreal y1, qreal x2, qreal y2, qreal w, const QColor &c) {
        m_p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        m_p.setBrush(Qt::NoBrush);
        m_p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    }
    void polyline(std::initializer_list<QPointF> pts, qreal w, const QColor &c) {
        QPainterPath path;
        bool first = true;
        for (const QPointF &pt : pts) {
            if (first)
                path.moveTo(pt);
            else
                path.lineTo(pt);
            first = false;
        }
        stroke(path, w, c);
    }
    void arc(qreal cx, qreal cy, qreal r, qreal startDeg, qreal spanDeg, qreal w, const QColor &c) {
        QPainterPath path;
        QRectF box(cx - r, cy - r, 2 * r, 2 * r);
        path.arcMoveTo(box, startDeg);
        path.arcTo(box, startDeg, spanDeg);
        stroke(path, w, c);
    }
    // Shaft from (x1,y1) to (x2,y2) with a filled head at the end.
    void arrow(qreal x1, qreal y1, qreal x2, qreal y2, qreal w, const QColor &c) {
        const qreal len = std::hypot(x2 - x1, y2 - y1);
        const qreal ux = (x2 - x1) / len, uy = (y2 - y1) / len;
        const qreal head = w * 2.4;
        line(x1, y1, x2 - ux * head * 0.8, y2 - uy * head * 0.8, w, c);
        poly({QPointF(x2, y2), QPointF(x2 - ux * head * 1.6 - uy * head, y2 - uy * head * 1.6 + ux * head),
              QPointF(x2 - ux * head * 1.6 + uy * head, y2 - uy * head * 1.6 - ux * head)},
             c);
    }
    void yuan(qreal cx, qreal cy, qreal s, qreal w, const QColor &c) {
        polyline({QPointF(cx - s * 0.55, cy - s), QPointF(cx, cy - s * 0.1), QPointF(cx + s * 0.55, cy - s)},
                 w, c);
        line(cx, cy - s * 0.1, cx, cy + s, w, c);
        line(cx - s * 0.5, cy + s * 0.05, cx + s * 0.5, cy + s * 0.05, w * 0.8, c);
        line(cx - s * 0.5, cy + s * 0.45, cx + s * 0.5, cy + s * 0.45, w * 0.8, c);
    }
    void stroke(const QPainterPath &path, qreal w, const QColor &c) {
        m_p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        m_p.setBrush(Qt::NoBrush);
        m_p.drawPath(path);
    }
    void fill(const QPainterPath &path, const QColor &c) {
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(c);
        m_p.drawPath(path);
    }

    enum class Mark { Plus, Minus, Check, Lock, Down, Percent, Up, Pen };
    // A small round badge at the lower right that qualifies the main pictogram.
    void badge(Mark mark) {
        const qreal cx = 78, cy = 78, r = 18;
        circle(cx, cy, r + 4, paper());
        circle(cx, cy, r, ink());
        const QColor c = paper();
        switch (mark) {
        case Mark::Plus:
            line(cx - 9, cy, cx + 9, cy, 5, c);
            line(cx, cy - 9, cx, cy + 9, 5, c);
            break;
        case Mark::Minus:
            line(cx - 9, cy, cx + 9, cy, 5, c);
            break;
        case Mark::Check:
            polyline({QPointF(cx - 9, cy), QPointF(cx - 2, cy + 7), QPointF(cx + 10, cy - 7)}, 5, c);
            break;
        case Mark::Lock:
            rect(cx - 9, cy - 2, 18, 13, 3, c);
            arc(cx, cy - 4, 6, 0, 180, 4, c);
            line(cx - 6, cy - 4, cx - 6, cy - 1, 4, c);
            line(cx + 6, cy - 4, cx + 6, cy - 1, 4, c);
            break;
        case Mark::Down:
            arrow(cx, cy - 10, cx, cy + 11, 5, c);
            break;
        case Mark::Up:
            arrow(cx, cy + 10, cx, cy - 11, 5, c);
            break;
        case Mark::Percent:
            line(cx + 8, cy - 9, cx - 8, cy + 9, 4, c);
            circle(cx - 6, cy - 6, 3.5, c);
            circle(cx + 6, cy + 6, 3.5, c);
            break;
        case Mark::Pen:
            line(cx - 8, cy + 8, cx + 7, cy - 7, 6, c);
            break;
        }
    }

    // Shared shapes
    void document(qreal x, qreal y, qreal w, qreal h) {
        const qreal f = w * 0.28;
        poly({QPointF(x + 4, y), QPointF(x + w - f, y), QPointF(x + w, y + f), QPointF(x + w, y + h),
              QPointF(x, y + h), QPointF(x, y + 4)},
             ink());
        poly({QPointF(x + w - f, y), QPointF(x + w - f, y + f), QPointF(x + w, y + f)}, paper().lighter(100));
        line(x + w - f, y + 2, x + w - f, y + f, 3, paper());
        line(x + w - f, y + f, x + w - 2, y + f, 3, paper());
    }
    void clipboard() {
        rect(20, 14, 60, 78, 9, ink());
        rect(34, 6, 32, 18, 6, paper());
        rect(38, 9, 24, 12, 4, ink());
    }
    void clipboardLines(int n) {
        for (int i = 0; i < n; ++i) {
            circle(32, 40 + i * 14, 3, paper());
            line(40, 40 + i * 14, 68, 40 + i * 14, 5, paper());
        }
    }
    void box(qreal dy) {
        poly({QPointF(14, 46 + dy), QPointF(50, 34 + dy), QPointF(86, 46 + dy), QPointF(50, 58 + dy)},
             ink().lighter(112));
        poly({QPointF(14, 46 + dy), QPointF(50, 58 + dy), QPointF(50, 94 + dy), QPointF(14, 80 + dy)}, ink());
        poly({QPointF(86, 46 + dy), QPointF(50, 58 + dy), QPointF(50, 94 + dy), QPointF(86, 80 + dy)},
             ink().darker(112));
        line(50, 58 + dy, 50, 94 + dy, 2.5, paper());
        line(14, 46 + dy, 50, 58 + dy, 2.5, paper());
        line(86, 46 + dy, 50, 58 + dy, 2.5, paper());
        poly({QPointF(30, 41 + dy), QPointF(66, 29 + dy), QPointF(72, 31 + dy), QPointF(36, 43 + dy)},
             paper());
    }
    void warehouse(qreal x, qreal y, qreal s) {
        auto X = [&](qreal v) { return x + v * s; };
        auto Y = [&](qreal v) { return y + v * s; };
        poly({QPointF(X(4), Y(40)), QPointF(X(50), Y(10)), QPointF(X(96), Y(40)), QPointF(X(88), Y(46)),
              QPointF(X(50), Y(21)), QPointF(X(12), Y(46))},
             ink());
        poly({QPointF(X(18), Y(44)), QPointF(X(50), Y(24)), QPointF(X(82), Y(44)), QPointF(X(82), Y(90)),
              QPointF(X(18), Y(90))},
             ink());
        rect(X(33), Y(54), 34 * s, 36 * s, 3 * s, paper());
        for (int i = 0; i < 4; ++i)
            rect(X(36), Y(58 + i * 8), 28 * s, 4.5 * s, 1.5 * s, ink());
    }
    void wallet() {
        rect(10, 28, 78, 58, 10, ink());
        rect(14, 20, 62, 14, 5, ink().lighter(115));
        rect(60, 46, 34, 24, 8, paper());
        circle(72, 58, 5, ink());
    }
    void coin(qreal cx, qreal cy, qreal r) {
        circle(cx, cy, r, ink());
        circle(cx, cy, r * 0.78, paper());
        circle(cx, cy, r * 0.66, ink());
        yuan(cx, cy, r * 0.38, r * 0.12, paper());
    }
    void card() {
        rect(8, 22, 84, 56, 9, ink());
        rect(8, 32, 84, 9, 0, paper());
        circle(26, 58, 8, paper());
        line(40, 54, 76, 54, 5, paper());
        line(40, 66, 64, 66, 5, paper());
    }
    void person(qreal cx, qreal top, qreal s, const QColor &c) {
        circle(cx, top + 13 * s, 12 * s, c);
        QPainterPath body;
        body.moveTo(cx - 24 * s, top + 62 * s);
        body.cubicTo(cx - 24 * s, top + 34 * s, cx + 24 * s, top + 34 * s, cx + 24 * s, top + 62 * s);
        body.closeSubpath();
        fill(body, c);
    }
    void tag() {
        poly({QPointF(12, 20), QPointF(52, 12), QPointF(90, 50), QPointF(56, 88), QPointF(16, 52)}, ink());
        circle(32, 32, 6, paper());
        yuan(56, 52, 12, 5, paper());
    }

private:
    QPainter &m_p;
    Ink m_ink;
};

void drawInBox(Canvas &c, Glyph g) {
    using M = Canvas::Mark;
    const QColor ink = c.ink(), paper = c.paper();
    switch (g) {
    case Glyph::Cart: {
        c.polyline({QPointF(6, 18), QPointF(18, 18), QPointF(30, 66), QPointF(80, 66)}, 7, ink);
        c.poly({QPointF(22, 28), QPointF(92, 28), QPointF(84, 58), QPointF(29, 58)}, ink);
        for (int x : {40, 54, 68})
            c.line(x, 35, x - 1, 51, 3.5, paper);
        c.circle(36, 82, 8, ink);
        c.circle(74, 82, 8, ink);
        c.circle(36, 82, 3, paper);
        c.circle(74, 82, 3, paper);
        break;
    }
    case Glyph::Register:
        c.rect(34, 40, 8, 12, 2, ink);
        c.rect(20, 14, 46, 28, 6, ink);
        c.rect(26, 20, 34, 14, 3, paper);
        c.line(31, 27, 45, 27, 3, ink);
        c.rect(8, 50, 84, 40, 8, ink);
        for (int r = 0; r < 2; ++r)
            for (int k = 0; k < 4; ++k)
                c.rect(18 + k * 12, 56 + r * 10, 8, 6, 2, paper);
        c.rect(70, 56, 14, 16, 3, paper);
        c.line(16, 81, 84, 81, 3.5, paper);
        break;
    case Glyph::Warehouse:
        c.warehouse(0, 0, 1);
        break;
    case Glyph::Coins:
        for (int i = 0; i < 4; ++i) {
            c.ellipse(30, 84 - i * 11, 22, 8, ink.darker(110));
            c.ellipse(30, 80 - i * 11, 22, 8, ink);
            c.line(12, 80 - i * 11, 48, 80 - i * 11, 0.01, paper);
        }
        c.ellipse(30, 36, 22, 8, ink);
        c.ellipse(30, 36, 15, 5, paper);
        c.coin(66, 42, 26);
        break;
    case Glyph::Gear: {
        QPainterPath teeth;
        for (int i = 0; i < 8; ++i) {
            QTransform t;
            t.translate(50, 50);
            t.rotate(i * 45);
            QPainterPath tooth;
            tooth.addRoundedRect(QRectF(-8, -44, 16, 20), 3, 3);
            teeth.addPath(t.map(tooth));
        }
        c.fill(teeth, ink);
        c.circle(50, 50, 31, ink);
        c.circle(50, 50, 13, paper);
        break;
    }
    case Glyph::Clipboard:
        c.clipboard();
        c.clipboardLines(3);
        break;
    case Glyph::BoxIn:
        c.box(4);
        c.badge(M::Down);
        break;
    case Glyph::Invoice:
        c.document(18, 8, 64, 84);
        c.yuan(50, 52, 16, 6, paper);
        break;
    case Glyph::BoxReturn:
        c.box(4);
        c.arc(68, 24, 14, 200, -250, 6, ink);
        c.poly({QPointF(44, 22), QPointF(60, 14), QPointF(58, 32)}, ink);
        break;
    case Glyph::CashPay:
        c.rect(6, 24, 80, 46, 7, ink);
        c.rect(12, 30, 68, 34, 4, paper);
        c.rect(15, 33, 62, 28, 3, ink);
        c.circle(46, 47, 10, paper);
        c.yuan(46, 47, 5, 2.6, ink);
        c.coin(76, 74, 18);
        break;
    case Glyph::Check:
        c.document(14, 6, 60, 80);
        for (int i = 0; i < 3; ++i)
            c.line(24, 40 + i * 12, 54, 40 + i * 12, 5, paper);
        c.badge(M::Check);
        break;
    case Glyph::Truck:
        c.rect(4, 26, 58, 44, 5, ink);
        c.poly({QPointF(64, 38), QPointF(82, 38), QPointF(96, 56), QPointF(96, 70), QPointF(64, 70)}, ink);
        c.poly({QPointF(70, 44), QPointF(80, 44), QPointF(88, 56), QPointF(70, 56)}, paper);
        c.line(12, 38, 40, 38, 4, paper);
        c.circle(24, 76, 10, paper);
        c.circle(80, 76, 10, paper);
        c.circle(24, 76, 7, ink);
        c.circle(80, 76, 7, ink);
        break;
    case Glyph::Receipt: {
        QPainterPath p;
        p.moveTo(20, 8);
        p.lineTo(80, 8);
        p.lineTo(80, 90);
        for (int i = 0; i < 6; ++i) {
            p.lineTo(75 - i * 10, 84);
            p.lineTo(70 - i * 10, 90);
        }
        p.lineTo(20, 90);
        p.closeSubpath();
        c.fill(p, ink);
        for (int i = 0; i < 4; ++i)
            c.line(30, 24 + i * 13, i == 3 ? 50 : 70, 24 + i * 13, 5, paper);
        break;
    }
    case Glyph::Clock:
        c.circle(44, 46, 38, ink);
        c.circle(44, 46, 30, paper);
        c.line(44, 46, 44, 26, 6, ink);
        c.line(44, 46, 58, 54, 6, ink);
        c.circle(44, 46, 5, ink);
        c.badge(M::Percent);
        break;
    case Glyph::Drawer:
        c.coin(30, 26, 14);
        c.coin(60, 22, 14);
        c.rect(6, 42, 88, 18, 5, ink.lighter(112));
        c.rect(10, 56, 80, 34, 6, ink);
        c.rect(36, 68, 28, 7, 3.5, paper);
        break;
    case Glyph::MemberCard:
        c.card();
        break;
    case Glyph::CardPlus:
        c.card();
        c.badge(M::Plus);
        break;
    case Glyph::Star: {
        QPainterPath star;
        for (int i = 0; i < 10; ++i) {
            const qreal r = (i % 2 == 0) ? 42 : 18;
            const qreal a = qDegreesToRadians(-90.0 + i * 36);
            const QPointF pt(46 + r * std::cos(a), 48 + r * std::sin(a));
            if (i == 0)
                star.moveTo(pt);
            else
                star.lineTo(pt);
        }
        star.closeSubpath();
        c.fill(star, ink);
        c.badge(M::Plus);
        break;
    }
    case Glyph::Scale:
        c.rect(12, 18, 76, 10, 5, ink);
        c.rect(44, 26, 12, 14, 2, ink);
        c.poly({QPointF(20, 40), QPointF(80, 40), QPointF(90, 90), QPointF(10, 90)}, ink);
        c.rect(30, 52, 40, 16, 3, paper);
        c.line(36, 60, 58, 60, 3, ink);
        c.circle(36, 80, 4, paper);
        c.circle(50, 80, 4, paper);
        c.circle(64, 80, 4, paper);
        break;
    case Glyph::Gift:
        c.rect(12, 36, 76, 18, 4, ink.lighter(112));
        c.rect(18, 52, 64, 38, 4, ink);
        c.rect(45, 36, 10, 54, 0, paper);
        c.ellipse(38, 28, 12, 8, ink);
        c.ellipse(62, 28, 12, 8, ink);
        c.ellipse(38, 28, 5, 3, paper);
        c.ellipse(62, 28, 5, 3, paper);
        break;
    case Glyph::ClipboardLock:
        c.clipboard();
        c.clipboardLines(2);
        c.badge(M::Lock);
        break;
    case Glyph::Printer:
        c.rect(26, 8, 48, 30, 3, ink.lighter(120));
        c.rect(8, 34, 84, 38, 9, ink);
        c.circle(78, 46, 4, paper);
        c.rect(24, 58, 52, 34, 3, paper);
        c.rect(27, 60, 46, 30, 2, ink.lighter(120));
        c.line(33, 70, 67, 70, 3.5, paper);
        c.line(33, 80, 57, 80, 3.5, paper);
        break;
    case Glyph::ClipboardPen:
        c.clipboard();
        c.clipboardLines(3);
        c.badge(M::Pen);
        break;
    case Glyph::Transfer:
        c.warehouse(0, 36, 0.52);
        c.warehouse(48, 36, 0.52);
        c.arc(50, 40, 26, 160, -140, 6, ink);
        c.poly({QPointF(70, 38), QPointF(82, 28), QPointF(84, 44)}, ink);
        break;
    case Glyph::Calendar:
        c.rect(10, 18, 80, 72, 9, ink);
        c.rect(16, 36, 68, 48, 4, paper);
        c.line(30, 10, 30, 24, 7, ink);
        c.line(70, 10, 70, 24, 7, ink);
        for (int r = 0; r < 3; ++r)
            for (int k = 0; k < 4; ++k)
                c.rect(21 + k * 16, 41 + r * 14, 10, 8, 2, ink.lighter(r == 1 && k == 2 ? 100 : 140));
        c.badge(M::Check);
        break;
    case Glyph::BoxOut:
        c.box(4);
        c.badge(M::Up);
        break;
    case Glyph::WalletIn:
        c.wallet();
        c.arrow(44, 2, 44, 40, 7, ink.darker(125));
        break;
    case Glyph::WalletOut:
        c.wallet();
        c.arrow(44, 40, 44, 2, 7, ink.darker(125));
        break;
    case Glyph::HandCoin: {
        c.coin(56, 26, 20);
        QPainterPath hand;
        hand.moveTo(6, 66);
        hand.lineTo(28, 62);
        hand.cubicTo(40, 60, 52, 66, 60, 68);
        hand.cubicTo(66, 70, 64, 78, 56, 77);
        hand.lineTo(42, 75);
        hand.lineTo(58, 80);
        hand.lineTo(84, 64);
        hand.cubicTo(92, 60, 98, 68, 90, 74);
        hand.lineTo(64, 92);
        hand.lineTo(6, 90);
        hand.closeSubpath();
        c.fill(hand, ink);
        break;
    }
    case Glyph::CoinBack:
        c.coin(50, 50, 28);
        c.arc(50, 50, 42, 120, 260, 6, ink);
        c.poly({QPointF(20, 14), QPointF(36, 22), QPointF(20, 34)}, ink);
        break;
    case Glyph::Exchange:
        c.arrow(10, 30, 90, 30, 7, ink);
        c.arrow(90, 72, 10, 72, 7, ink);
        c.coin(50, 51, 17);
        break;
    case Glyph::Hourglass:
        c.rect(18, 8, 64, 9, 4, ink);
        c.rect(18, 83, 64, 9, 4, ink);
        c.poly({QPointF(24, 17), QPointF(76, 17), QPointF(54, 50), QPointF(76, 83), QPointF(24, 83),
                QPointF(46, 50)},
               ink);
        c.poly({QPointF(34, 24), QPointF(66, 24), QPointF(50, 44)}, paper);
        c.poly({QPointF(50, 60), QPointF(64, 78), QPointF(36, 78)}, paper);
        break;
    case Glyph::Building:
        c.poly({QPointF(8, 30), QPointF(50, 8), QPointF(92, 30)}, ink);
        c.rect(12, 32, 76, 6, 1, ink);
        for (int k = 0; k < 4; ++k)
            c.rect(18 + k * 18, 42, 10, 36, 2, ink);
        c.rect(8, 80, 84, 10, 2, ink);
        c.circle(50, 22, 4, paper);
        break;
    case Glyph::Folder:
        c.poly({QPointF(8, 22), QPointF(38, 22), QPointF(46, 30), QPointF(92, 30), QPointF(92, 84),
                QPointF(8, 84)},
               ink.darker(108));
        c.rect(8, 38, 84, 48, 6, ink);
        c.line(22, 54, 56, 54, 5, paper);
        c.line(22, 68, 44, 68, 5, paper);
        break;
    case Glyph::PriceTag:
        c.tag();
        break;
    case Glyph::PriceTagDown:
        c.tag();
        c.badge(M::Down);
        break;
    case Glyph::Users:
        c.person(64, 14, 0.9, ink.lighter(125));
        c.person(40, 22, 1.1, ink);
        break;
    case Glyph::BarChart:
        c.rect(14, 56, 16, 32, 3, ink);
        c.rect(40, 34, 16, 54, 3, ink);
        c.rect(66, 14, 16, 74, 3, ink);
        c.line(8, 92, 92, 92, 5, ink);
        break;
    case Glyph::ListChart:
        for (int i = 0; i < 4; ++i) {
            c.rect(10, 14 + i * 20, 14, 12, 3, ink);
            c.rect(32, 16 + i * 20, i % 2 ? 44 : 58, 8, 4, ink);
        }
        break;
    case Glyph::PieChart: {
        c.circle(48, 52, 38, ink);
        QPainterPath slice;
        slice.moveTo(52, 48);
        slice.arcTo(QRectF(14, 10, 76, 76), 90, -90);
        slice.closeSubpath();
        QTransform t;
        t.translate(4, -4);
        c.fill(t.map(slice), ink.lighter(130));
        c.line(48, 52, 48, 14, 3, paper);
        c.line(48, 52, 86, 52, 3, paper);
        break;
    }
    case Glyph::Cake:
        for (int x : {32, 50, 68}) {
            c.rect(x - 3, 14, 6, 18, 2, ink.lighter(125));
            c.ellipse(x, 10, 4, 6, QColor(0xF2, 0xA5, 0x41));
        }
        c.rect(14, 34, 72, 24, 6, ink.lighter(112));
        c.rect(8, 58, 84, 32, 6, ink);
        c.polyline({QPointF(14, 66), QPointF(24, 72), QPointF(34, 66), QPointF(44, 72), QPointF(54, 66),
                    QPointF(64, 72), QPointF(74, 66), QPointF(86, 72)},
                   4, paper);
        break;
    case Glyph::Help: {
        c.circle(50, 50, 44, ink);
        QPainterPath q;
        q.moveTo(36, 38);
        q.cubicTo(36, 22, 64, 22, 64, 38);
        q.cubicTo(64, 48, 50, 50, 50, 62);
        c.stroke(q, 10, paper);
        c.circle(50, 76, 6, paper);
        break;
    }
    }
}

} // namespace

void drawGlyph(QPainter &p, Glyph g, const QRectF &box, const Ink &ink) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(box.topLeft());
    p.scale(box.width() / 100.0, box.height() / 100.0);
    Canvas c(p, ink);
    drawInBox(c, g);
    p.restore();
}

} // namespace artwork
