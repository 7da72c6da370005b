// Grid of 100,000 rows by 12 columns: model load and first paint, against a QTableWidget filled cell by cell.
#include "ui/Grid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QTextStream>

namespace {

constexpr int Rows = 100000;
constexpr int Cols = 12;

QVector<QString> sourceCells() {
    QVector<QString> cells;
    cells.reserve(Rows * Cols);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c)
            cells.append(c == 0 ? QStringLiteral("%1").arg(r, 8, 10, QLatin1Char('0'))
                                : QString::number((r * 37 + c * 11) % 100000 / 100.0, 'f', 2));
    return cells;
}

struct Timing {
    double loadMs;
    double paintMs;
    double scrollMs = 0; // jump to the last rows and paint them
};

Timing timeGrid(const QVector<QString> &source) {
    zostore::ui::Grid g;
    g.resize(1000, 700);
    g.setCols(Cols);
    g.setFixedRows(1);
    QElapsedTimer t;
    t.start();
    g.setData(Rows, Cols, source); // the copy is part of the load: the grid owns its texts
    const double load = double(t.nsecsElapsed()) / 1e6;
    t.restart();
    g.grab();
    const double paint = double(t.nsecsElapsed()) / 1e6;
    t.restart();
    g.scrollToBottom();
    g.grab();
    return {load, paint, double(t.nsecsElapsed()) / 1e6};
}

Timing timeTableWidget(const QVector<QString> &source) {
    QTableWidget w;
    w.resize(1000, 700);
    QElapsedTimer t;
    t.start();
    w.setColumnCount(Cols);
    w.setRowCount(Rows);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c)
            w.setItem(r, c, new QTableWidgetItem(source.at(r * Cols + c)));
    const double load = double(t.nsecsElapsed()) / 1e6;
    t.restart();
    w.grab();
    return {load, double(t.nsecsElapsed()) / 1e6};
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QVector<QString> source = sourceCells();
    timeGrid(source); // warm-up: fonts and styles
    Timing best{1e9, 1e9, 1e9};
    for (int i = 0; i < 3; ++i) {
        const Timing t = timeGrid(source);
        best = {std::min(best.loadMs, t.loadMs), std::min(best.paintMs, t.paintMs), std::min(best.scrollMs, t.scrollMs)};
    }
    const Timing base = timeTableWidget(source);
    QTextStream out(stdout);
    out << QStringLiteral("Grid %1 rows x %2 columns\n").arg(Rows).arg(Cols);
    out << QStringLiteral("  Grid (model):        load %1 ms, first paint %2 ms, total %3 ms\n")
               .arg(best.loadMs, 0, 'f', 1).arg(best.paintMs, 0, 'f', 1).arg(best.loadMs + best.paintMs, 0, 'f', 1);
    out << QStringLiteral("  Grid scroll to the last row and paint: %1 ms\n").arg(best.scrollMs, 0, 'f', 1);
    out << QStringLiteral("  QTableWidget (cells): load %1 ms, first paint %2 ms, total %3 ms\n")
               .arg(base.loadMs, 0, 'f', 1).arg(base.paintMs, 0, 'f', 1).arg(base.loadMs + base.paintMs, 0, 'f', 1);
    out << QStringLiteral("  ratio (QTableWidget / Grid, load + paint): %1x; load target <= 200 ms: %2\n")
               .arg((base.loadMs + base.paintMs) / (best.loadMs + best.paintMs), 0, 'f', 1)
               .arg(best.loadMs <= 200.0 ? QStringLiteral("met") : QStringLiteral("MISSED"));
    return 0;
}
