#include "ui/HeaderSpans.h"

namespace zostore::ui {

QList<HeaderSpan> headerSpans(const QList<QStringList> &header) {
    QList<HeaderSpan> spans;
    const int rows = int(header.size());
    if (rows < 2)
        return spans;
    const int cols = int(header.first().size());
    QList<bool> down(cols, false);
    for (int c = 0; c < cols; ++c) {
        bool same = !header.first().value(c).isEmpty();
        for (int r = 1; r < rows && same; ++r)
            same = header.at(r).value(c) == header.first().value(c);
        down[c] = same;
    }
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols;) {
            if (down.at(c)) {
                if (r == 0)
                    spans.append({0, c, rows - 1, c});
                ++c;
                continue;
            }
            auto joins = [&](int next) {
                for (int rr = 0; rr <= r; ++rr)
                    if (header.at(rr).value(next) != header.at(rr).value(c))
                        return false;
                return true;
            };
            int end = c;
            if (!header.at(r).value(c).isEmpty())
                while (end + 1 < cols && !down.at(end + 1) && joins(end + 1))
                    ++end;
            if (end > c)
                spans.append({r, c, r, end});
            c = end + 1;
        }
    return spans;
}

} // namespace zostore::ui
