#include "reminders/PageSheet.h"

namespace zostore::reminders {

components::sheet::Sheet sheetFromPage(const ReminderPage &page) {
    components::sheet::Sheet s;
    s.title = pageCaption(page.page);
    QList<int> cols;
    for (int c = 0; c < page.columns.size(); ++c)
        if (!page.columns.at(c).hidden)
            cols << c;
    QStringList upper, lower;
    for (int c : cols) {
        upper << page.columns.at(c).upper;
        lower << page.columns.at(c).lower;
        s.numeric << page.columns.at(c).numeric;
        s.widthsTwips << 0;
    }
    s.header << upper;
    if (page.headerRows > 1)
        s.header << lower;
    for (const QStringList &r : page.rows) {
        QStringList cells;
        for (int c : cols)
            cells << r.value(c);
        s.rows << cells;
    }
    return s;
}

} // namespace zostore::reminders
